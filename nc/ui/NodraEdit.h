#pragma once
// One tab's text control of the G-code editor: plain text without wrap,
// Tab typed as text, the selection kept visible without focus. Enter
// inserts the text's own line end and the current line's leading blanks;
// Space in a read-only control pages down; Ctrl+Tab moves to the next tab.

#include "nc/editor/TextSimulation.h"

#include <Qsci/qsciscintilla.h>

#include <string>

class TNodraFrmMain;

class TNodraEdit : public QsciScintilla {
public:
    TNodraEdit(TNodraFrmMain& frame, QWidget* parent);
    // Replaces the text with a file's bytes, keeping its line ends.
    void SetFileText(const QByteArray& bytes);
    void SetEditorFont(const QFont& font);
    const std::string& LineEnd() const { return m_LineEnd; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TNodraFrmMain& m_Frame;
    std::string m_LineEnd = "\r\n";
};

// The current tab as the simulator reads it.
class TNodraTextSource : public TGCodeTextSource {
public:
    explicit TNodraTextSource(TNodraFrmMain& frame) : m_Frame(frame) {}
    int LineCount() const override;
    std::string LineText(int line) const override;
    void SelectLine(int line) override;
    void ScrollLines(int lines) override;
    int CaretLine() const override;
    void MoveCaretToStart() override;
    void Focus() override;
    void ShowCurrentZ(double z) override;

private:
    TNodraFrmMain& m_Frame;
};
