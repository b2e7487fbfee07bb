#pragma once
// The key filters of numeric fields (core/NumberText.h) on Qt line edits:
// each typed character goes through the filter, which lets it pass, drops
// it, or puts another in its place ("," typed as "."). Keys that type no
// character (arrows, Delete, Enter, Esc, Tab) and shortcuts with Ctrl, Alt
// or Meta pass untouched. Pasted text is not filtered: the conversion of the
// finished text judges it, as it judges a misplaced "-".

#include <QObject>

class QComboBox;
class QLineEdit;

class TCharKeyFilter : public QObject {
public:
    using TFilter = char (*)(char key);

    // The filter belongs to the edit (Qt parent) and lives as long as it.
    static void Install(QLineEdit& edit, TFilter filter);
    // The line edit of an editable combo box; nothing for another.
    static void Install(QComboBox& combo, TFilter filter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TCharKeyFilter(TFilter filter, QObject* parent) : QObject(parent), m_Filter(filter) {}

    TFilter m_Filter;
};
