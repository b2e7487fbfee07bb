#pragma once
// TGRBLCont: the controls the machine link adds to the machine-control
// window while it lives: the six work-offset buttons "G54" to "G59" on the
// manual-data group and the six macro edits with their send buttons on the
// macro group. The macros come from the settings file when the controls are
// made and go back into it when they are removed, only if an edit changed
// meanwhile.

#include "nc/grbl/GRBLMacros.h"

#include <array>
#include <string>

class QLineEdit;
class QPushButton;
class QWidget;
class TGRBLCnc;

class TGRBLCont {
public:
    // Builds the eighteen controls on the two groups, reads the macros of
    // settingsFile; MacrosModified is false afterwards.
    TGRBLCont(QWidget& mdiGroup, QWidget& macroGroup, std::string settingsFile, TGRBLCnc& link);
    // Saves the macros when MacrosModified, removes the controls. A failed
    // save goes to stderr.
    ~TGRBLCont();
    TGRBLCont(const TGRBLCont&) = delete;
    TGRBLCont& operator=(const TGRBLCont&) = delete;

    std::array<QPushButton*, 6> WcsButtons{};
    std::array<QLineEdit*, GrblMacroCount> MacroEdits{};
    std::array<QPushButton*, GrblMacroCount> MacroButtons{};
    bool MacrosModified = false;

    void WcsButtonClick(int tag);
    // Presses the button of work coordinate system index alone.
    void ShowWcs(int index);
    void MacroSendClick(int tag);
    void MacroEditChange(int tag);
    // The macro send buttons, off during a run.
    void SetMacroSendEnabled(bool enabled);

private:
    std::string m_SettingsFile;
    TGRBLCnc& m_Link;
};
