#include "app/mainwin/MenuItems.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "core/settings/Language.h"

#include <QAction>
#include <QMenu>

QAction* CreaItemMenu(const char* name, QMenu& parent, std::function<void()> handler, int imageIndex,
                      TImageList images)
{
    auto* item = new QAction(AnsiToQString(LangMainCaption(name)), &parent);
    item->setObjectName(QString::fromLatin1(name));
    SetImage(*item, images, imageIndex);
    item->setEnabled(static_cast<bool>(handler));
    if (handler)
        QObject::connect(item, &QAction::triggered, &parent,
                         [handler = std::move(handler)] { GuardedCall([&] { handler(); }); });
    parent.addAction(item);
    return item;
}
