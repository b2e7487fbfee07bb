#pragma once
// Menu items made at run time (CreaItemMenu): the Machining submenu of the
// File toolbar. Each item is named (its language key), captioned from the
// language table ("<name>.Caption" of section "frmMain"), shows its image,
// runs its handler inside the event guard, and belongs to its menu. An item
// without a handler is shown disabled: its command is not there yet.

#include "app/mainwin/ImageLists.h"

#include <functional>

class QAction;
class QMenu;

QAction* CreaItemMenu(const char* name, QMenu& parent, std::function<void()> handler, int imageIndex,
                      TImageList images);

// The Machining submenu's items, in order: name and image of the File list.
struct TMenuItemSpec {
    const char* Name;
    int Image;
};
inline constexpr TMenuItemSpec MachiningMenuItems[] = {
    {"mnuCncNew", 0},   {"mnuCncContour", 10},  {"mnuCncPocket", 11}, {"mnuCncDrill", 12},
    {"mnuCncWrite", 38}, {"mnuCncParallel", 29}, {"mnuEditNc", 13},    {"mnuCncGrbl", 36},
};
