#pragma once
// The Draw commands of the main window: each starts an interactive drawing
// state of the interaction program with its parameter and a prototype
// entity at the origin (ID -1), after showing the command's page of the
// properties panel and switching object snap on.
//
// Promises:
// - A command running when one of these starts is ended first (the
//   program's StartOperation does that).
// - Each records itself on the recent-commands toolbar (RecordRecent) with
//   its recent id, its image of the Create list and its hint, before its
//   state starts.
// - The rectangle keeps the program's ortho switch through SaveOrtho (when
//   set) and draws with ortho off; the end of the command restores it.
// Main thread only.

#include <cstdint>
#include <functional>
#include <string_view>

class TQV_00Prog;

class TDrawCommands;

// A command's entry on the recent-commands toolbar: its recent id, image
// index (Create list), the key of its hint in section "frmMain", and its
// start handler, which the toolbar's button calls again.
struct TRecentEntry {
    int32_t Id;
    int32_t Image;
    std::string_view HintKey;
    bool (TDrawCommands::*Start)();
};

class TDrawCommands {
public:
    explicit TDrawCommands(TQV_00Prog& prg);

    // Shows the given page of the properties panel; may be empty.
    std::function<void(int32_t page)> ShowCommandPage;
    // Keeps the ortho switch for the end of the rectangle command and
    // switches it off; may be empty (then ortho is only switched off).
    std::function<void()> SaveOrtho;
    // Records the command on the recent-commands toolbar; may be empty.
    std::function<void(const TRecentEntry& entry)> RecordRecent;

    // The start handlers; each returns true when the state started.
    bool MyPuntoClick();
    bool MySubLineClick();
    bool sbtRectangleClick();
    bool MyArcClick();
    bool mnuEllipseCloseClick();
    bool sbtPolyClick();
    bool sbtSplineClick();
    bool MyArcCtPtSaEaClick();
    bool MyArc3PtClick();
    bool MyCircle3PtClick();

private:
    void Prepare(int32_t page, const TRecentEntry& entry);

    TQV_00Prog& m_Prg;
};
