#include "core/settings/CADPrompts.h"

#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

std::array<std::string, CADPromptCount> CADPrompts;

// The slots are not in key order: slot 7 is "482", and "477A" and "477B"
// came last.
const std::array<std::string_view, CADPromptCount> CADPromptKeys = {
    LangKeys::String::PromptSelect,       // 470
    LangKeys::String::PromptDragArea,     // 471
    LangKeys::String::PromptPan,          // 472
    LangKeys::String::PromptPlace,        // 473
    LangKeys::String::PromptDrawPoints,   // 474
    LangKeys::String::PromptArcCentre,    // 475
    LangKeys::String::PromptArcEnds,      // 476
    LangKeys::String::PromptEllipseBox,   // 482
    LangKeys::String::PromptBasePoint,    // 478
    LangKeys::String::PromptSelectOne,    // 477
    LangKeys::String::PromptTargetPoint,  // 479
    LangKeys::String::PromptEditPick,     // 480
    LangKeys::String::PromptEditDrag,     // 481
    LangKeys::String::PromptPickPoint,    // 483
    LangKeys::String::PromptFirstPoint,   // 484
    LangKeys::String::PromptSecondPoint,  // 485
    LangKeys::String::PromptSelectMany,   // 477A
    LangKeys::String::PromptSelectSecond, // 477B
};

void LoadCADPrompts()
{
    for (size_t i = 0; i < CADPromptCount; ++i)
        CADPrompts[i] = LangText(CADPromptKeys[i]);
}
