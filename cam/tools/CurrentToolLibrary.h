#pragma once
// The tool library of the operation being edited, and the tool window's
// lists and pages that a newly made current library binds to.
//
// The tool window installs its three library lists and pages at start-up
// ("lsvTools" on the mill tool page, "lsvLatheTools" on the lathe tool page,
// "lsvLaser" on the laser page) and frees the current library when it
// hides. Until then (and in tests) the views are null: a library made current
// still loads its file, headless. Main thread only.

#include "cam/tools/LibreriaUtBase.h"

#include <memory>

class TToolListView;
class TToolPage;

struct TToolLibraryViews {
    TToolListView* MillList = nullptr;
    TToolPage* MillPage = nullptr;
    TToolListView* LatheList = nullptr;
    TToolPage* LathePage = nullptr;
    TToolListView* LaserList = nullptr;
    TToolPage* LaserPage = nullptr;
};

// Views not owned; they must outlive every library made current with them.
void SetToolLibraryViews(const TToolLibraryViews& views);
const TToolLibraryViews& ToolLibraryViews();

// Null when there is none.
TLibreriaUtBase* CurrentToolLibrary();
// Frees the current library (clearing its list) and takes library (may be
// null).
void SetCurrentToolLibrary(std::unique_ptr<TLibreriaUtBase> library);
