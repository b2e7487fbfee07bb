#pragma once
// The G-code editor's small windows: find, replace, go to line, the about
// box and the keyboard shortcut list. Their buttons call handlers tests can
// call too; find and replace are modeless, the others modal.

#include "nc/editor/NodraText.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QsciScintilla;
class TNodraFrmMain;

class TNodraFindDialog : public QDialog {
public:
    explicit TNodraFindDialog(TNodraFrmMain& editor);
    QLineEdit* FindEdit() const { return m_Find; }
    QCheckBox* WholeWordBox() const { return m_WholeWord; }
    // Find Next: the dialog closes and the editor searches.
    void FindClicked();

private:
    TNodraFrmMain& m_Editor;
    QLineEdit* m_Find;
    QCheckBox* m_WholeWord;
    QCheckBox* m_MatchCase;
};

class TNodraReplaceDialog : public QDialog {
public:
    explicit TNodraReplaceDialog(TNodraFrmMain& editor);
    QLineEdit* FindEdit() const { return m_Find; }
    QLineEdit* ReplaceEdit() const { return m_Replace; }
    QCheckBox* WholeWordBox() const { return m_WholeWord; }
    QCheckBox* MatchCaseBox() const { return m_MatchCase; }
    // Opens over the current editor, remembering its selection.
    void Open();
    void FindNextClicked();
    void ReplaceClicked();
    void ReplaceAllClicked();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    TSearchOptions Options() const;
    bool FindNext(QsciScintilla& edit);

    TNodraFrmMain& m_Editor;
    QLineEdit* m_Find;
    QLineEdit* m_Replace;
    QCheckBox* m_WholeWord;
    QCheckBox* m_MatchCase;
    TReplaceSearch m_Search;
    int m_SavedStart = 0, m_SavedEnd = 0;
    bool m_Saved = false;
};

class TNodraFrmGoLine : public QDialog {
public:
    explicit TNodraFrmGoLine(QWidget* parent);
    QLineEdit* LineEdit() const { return m_Line; }
    QPushButton* OkButton() const { return m_Ok; }
    // Empties and focuses the edit, as every opening does.
    void Reset();

private:
    QLineEdit* m_Line;
    QPushButton* m_Ok;
};

class TNodraFrmAbout : public QDialog {
public:
    explicit TNodraFrmAbout(QWidget* parent);
};

class TNodraFrmKList : public QDialog {
public:
    explicit TNodraFrmKList(QWidget* parent);
};

// Byte positions of a QScintilla selection (anchor order ignored).
int SelectionStart(const QsciScintilla& edit);
int SelectionEnd(const QsciScintilla& edit);
void SelectBytes(QsciScintilla& edit, int start, int end);
