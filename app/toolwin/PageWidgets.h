#pragma once
// Small makers of the tool window's page controls: each widget gets its
// component name as objectName (the language keys and the pages' own
// look-ups go by it).

#include "cad/ui/CharKeyFilter.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

namespace toolwin {

template <typename T, typename... Args>
T* Make(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new T(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QPushButton* Button(QWidget* parent, const char* name, const char* text, bool checkable = false)
{
    auto* button = Make<QPushButton>(parent, name, QString::fromLatin1(text));
    button->setCheckable(checkable);
    return button;
}

inline QLineEdit* NumberEdit(QWidget* parent, const char* name, const char* text, TCharKeyFilter::TFilter filter)
{
    auto* edit = Make<QLineEdit>(parent, name, QString::fromLatin1(text));
    TCharKeyFilter::Install(*edit, filter);
    return edit;
}

// The rows of a page's group in a grid: a label and its field, a control
// over both columns, or two side by side.
class TFormRows {
public:
    explicit TFormRows(QWidget* group) : m_Group(group), m_Grid(new QGridLayout(group)) {}
    QGridLayout& Grid() const { return *m_Grid; }
    int Row() const { return m_Row; }
    void Add(const char* label, const char* text, QWidget* field)
    {
        m_Grid->addWidget(Make<QLabel>(m_Group, label, QString::fromLatin1(text)), m_Row, 0);
        m_Grid->addWidget(field, m_Row++, 1);
    }
    void Span(QWidget* control) { m_Grid->addWidget(control, m_Row++, 0, 1, 2); }
    void Pair(QWidget* left, QWidget* right)
    {
        m_Grid->addWidget(left, m_Row, 0);
        m_Grid->addWidget(right, m_Row++, 1);
    }

private:
    QWidget* m_Group;
    QGridLayout* m_Grid;
    int m_Row = 0;
};

// Runs enter each time the field gets the focus (a page's "Enter" event);
// what enter raises is turned into a message.
void OnEnter(QWidget& field, std::function<void()> enter);

} // namespace toolwin
