#pragma once
// What the grid dialog does to the scene view's grid, the interaction
// program's grid snap and the settings, without its widgets: the dialog
// hands each typed or chosen text to one of these calls.
//
// Promises:
// - Texts are read with "." as decimal separator whatever the locale. A
//   text that is not a number (what a field holds while the user is still
//   typing: "", ".", "-") changes nothing and returns false; so does a
//   negative grid size or a subdivision count that is not a whole number.
// - Rebuilds of the grid are held back while several values change and
//   done once afterwards, when something that shapes the grid changed; the
//   view's GridEnabled is always left as it was found, also when a call
//   fails.
// - The view, program and settings are not owned; the program may be null
//   (the snap steps then go nowhere).

#include <cstdint>
#include <string_view>

class TAppConfig;
class TQVScene;
class TQV_00CADProg;

class TGridDialogModel {
public:
    TGridDialogModel(TQVScene& view, TQV_00CADProg* program, TAppConfig& config);

    // Puts the settings on the view and the program: grid size, origin,
    // steps, subdivision counts and visibility on the view (the grid button
    // of the main window follows the visibility), the snap steps on the
    // program. The grid is rebuilt when its shape changed, or always with
    // forceRebuild. The dialog calls it when shown (the settings are what
    // it shows) and when cancelled (the settings are what it takes back).
    void ApplySettings(bool forceRebuild);

    // The width or height of the grid rectangle; no rebuild (the lines
    // follow at the next rebuild, at the latest when the dialog closes).
    bool SetGridSizeX(std::string_view text);
    bool SetGridSizeY(std::string_view text);
    // Where the drawing origin lies on the grid rectangle (0..4); no rebuild.
    void SetGridOrigin(int32_t position);
    // A grid step, with linked the other direction's too.
    bool SetGridStepX(std::string_view text, bool linked);
    bool SetGridStepY(std::string_view text, bool linked);
    // A subdivision count, with linked the other direction's too.
    bool SetGridSubdivisionsX(std::string_view text, bool linked);
    bool SetGridSubdivisionsY(std::string_view text, bool linked);
    // The program's snap step, with linked the other direction's too.
    bool SetSnapX(std::string_view text, bool linked);
    bool SetSnapY(std::string_view text, bool linked);
    // The main window's grid button and the view's grid visibility.
    void SetGridVisible(bool visible);

    // Stores what the view and the program now hold into the settings
    // (origin, size, steps, subdivision counts, visibility, snap steps) and
    // the snap-to-grid flag, then rebuilds the grid.
    void StoreSettings(bool snapToGrid);

private:
    template <class F> void ChangeGrid(F&& change, bool forceRebuild = false);

    TQVScene& m_View;
    TQV_00CADProg* m_Program;
    TAppConfig& m_Config;
};
