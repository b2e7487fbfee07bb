#pragma once
// Controls built in code at their design places: a widget of type T on the
// parent at (x, y) with the size w x h, its component name as objectName
// (the language file's keys are built from it).

#include <QString>
#include <QWidget>

#include <string_view>

template <typename T>
T* PlaceWidget(QWidget* parent, std::string_view name, int x, int y, int w, int h)
{
    auto* widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name.data(), qsizetype(name.size())));
    widget->setGeometry(x, y, w, h);
    return widget;
}
