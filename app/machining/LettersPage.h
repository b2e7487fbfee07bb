#pragma once
// The letters page (tabLetters) of the tool window: the label editors
// (cad/ui/LabelEditor.h) of the label it serves, for two commands.
//
// - A letters operation (kind 12): its page set is tool, letters, contour.
//   The letters tab serves the current operation's label (its parameters'
//   Labels), made (detached) at the first visit when the operation has
//   none. The editors are built once per page set: a later visit finds them
//   standing with what was typed. Apply turns the texts into the
//   operation's chains.
// - The label command (mnuTextLabel, page set "twSLabel", 348 x 476): one
//   shared label, made at the first run and kept until the program ends,
//   whose outlines Apply puts into the drawing as one container.
// While the label command's page is up the page serves its label only, so
// an operation that is still current (calculated before) is neither given
// a label nor has its chains replaced.
//
// The editors go (rows and command controls) whenever the window hides,
// before the window's other hide work frees a new operation, and after the
// pages of a letters operation were read for its Calculate; a later visit
// of the tab builds them again. The label, the program and the window
// must outlive the page's use of them. Main thread only.

#include <QPointer>

#include <memory>

class QWidget;
class TEtichetta;
class TfrmToolWin;
class TLabelEditor;
class TQV_00CADProg;

class TLettersPage {
public:
    // Registers tabLetters on the window; program (may be null) serves the
    // position buttons.
    TLettersPage(TfrmToolWin& window, TQV_00CADProg* program);
    ~TLettersPage();
    TLettersPage(const TLettersPage&) = delete;
    TLettersPage& operator=(const TLettersPage&) = delete;

    // The tab's click: client width 348, then the served label's editors
    // unless they stand.
    void tabLettersClick();
    // The label command: the shared label (made once) on its own page set.
    // Nothing while the window is up.
    void mnuTextLabelClick();

    // The command controls of label (the editor widget, no rows yet);
    // those of another label go first. The label's font, when the picker
    // lists it, becomes the converter's font.
    void BuildCommandControls(TEtichetta& label);
    // The editor widget with its rows; nothing when none stands.
    void FreeCommandControls();
    // The rows of the label whose command controls stand.
    void BuildLabelEditors();
    void FreeLabelEditors();

    // The editor standing, or null.
    TLabelEditor* Editor() const;
    // The label command's label; null before its first run.
    TEtichetta* SharedLabel() const { return m_SharedLabel.get(); }

private:
    // The label the tab serves now; a letters operation without one gets
    // its label here. Null: none.
    TEtichetta* ServedLabel();
    void FormHide();

    TfrmToolWin& m_Window;
    TQV_00CADProg* m_Program;
    QWidget* m_Sheet = nullptr; // owned by the window's tab control
    QPointer<TLabelEditor> m_Editor;
    std::unique_ptr<TEtichetta> m_SharedLabel;
    bool m_LabelCommand = false;
};
