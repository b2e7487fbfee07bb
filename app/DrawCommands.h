#pragma once
// The Draw commands of the main window: each starts an interactive drawing
// state of the interaction program with its parameter and a prototype
// entity at the origin (ID -1), after showing the command's page of the
// properties panel and switching object snap on.
//
// Promises:
// - A command running when one of these starts is ended first (the
//   program's StartOperation does that).
// - The rectangle keeps the program's ortho switch through SaveOrtho (when
//   set) and draws with ortho off; the end of the command restores it.
// Main thread only.

#include <cstdint>
#include <functional>

class TQV_00Prog;

class TDrawCommands {
public:
    explicit TDrawCommands(TQV_00Prog& prg);

    // Shows the given page of the properties panel; may be empty.
    std::function<void(int32_t page)> ShowCommandPage;
    // Keeps the ortho switch for the end of the rectangle command and
    // switches it off; may be empty (then ortho is only switched off).
    std::function<void()> SaveOrtho;

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
    void Prepare(int32_t page);

    TQV_00Prog& m_Prg;
};
