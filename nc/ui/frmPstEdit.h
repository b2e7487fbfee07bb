#pragma once
// The post-processor editor: the current post file section by section in a
// grid, the descriptions of its keys, the writer's template variables, a
// test program, Save and Save As. Built in code; texts from the language
// file's "PstEdit" section. Edits live in memory until a save.

#include "nc/post/PstEditModel.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QGroupBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTableWidget;

class TfrmPstEdit : public QDialog {
public:
    // Writes a test program with the post file and returns the written
    // file's name (empty: nothing written). cycle: a drilling program, else
    // a contour. The default writes WritePostTestProgram's into the
    // temporary folder.
    using TTestProgram = std::function<std::string(bool cycle)>;

    // Edits "<configFolder>/pst/<postName>.pst".
    TfrmPstEdit(std::string configFolder, std::string postName, QWidget* parent = nullptr);
    ~TfrmPstEdit() override;

    void SetTestProgram(TTestProgram test) { m_TestProgram = std::move(test); }

    // Handlers, as the controls call them.
    void PstTabItemClick(int index);
    void SalvaSezione();
    void SbtPstTestClick();
    void sbtPstSaveClick();
    void sbtPstSaveAsClick();
    void mnuEdPstInsClick();
    void mnuEdPstDelClick();

    QTabBar* Tabs() const { return m_Tabs; }
    QTableWidget* Grid() const { return m_Grid; }
    QPlainTextEdit* Memo() const { return m_Memo; }
    const TPstEditModel& Model() const { return *m_Model; }
    bool Changed() const { return m_Changed; }
    const std::string& PostName() const { return m_PostName; }

private:
    void FormShow();
    void CellChanged();
    void SetChanged();

    std::string m_ConfigFolder;
    std::string m_PostName;
    std::unique_ptr<TPstEditModel> m_Model;
    TTestProgram m_TestProgram;
    QTabBar* m_Tabs = nullptr;
    QGroupBox* grpBtn = nullptr;
    QTableWidget* m_Grid = nullptr;
    QPlainTextEdit* m_Memo = nullptr;
    QListWidget* m_Variables = nullptr;
    QPushButton *sbtPstTest = nullptr, *sbtPstSave = nullptr, *sbtPstSaveAs = nullptr;
    std::string m_Section;
    bool m_Numbered = false;
    bool m_Cycle = false;
    bool m_Changed = false;
    bool m_Filling = false;
};
