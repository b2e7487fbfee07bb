#pragma once
// Small makers of the tool window's page controls: each widget gets its
// component name as objectName (the language keys and the pages' own
// look-ups go by it).

#include "cad/ui/CharKeyFilter.h"

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

// Runs enter each time the field gets the focus (a page's "Enter" event);
// what enter raises is turned into a message.
void OnEnter(QWidget& field, std::function<void()> enter);

} // namespace toolwin
