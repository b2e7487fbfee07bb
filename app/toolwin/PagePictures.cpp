#include "app/toolwin/PagePictures.h"

#include "app/toolwin/ToolPageWidgets.h"

#include <QLabel>
#include <QPainter>

#include <array>

namespace {

constexpr int PictureWidth = 200;
constexpr int PictureHeight = 120;

QPixmap DrawPicture(int index)
{
    QPixmap pixmap(PictureWidth, PictureHeight);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, PictureWidth - 1, PictureHeight - 1);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(index));
    return pixmap;
}

} // namespace

QPixmap ToolWinPicture(int index)
{
    if (index < 0 || index >= ToolWinPictureCount)
        return QPixmap();
    static std::array<QPixmap, ToolWinPictureCount> cache;
    if (cache[index].isNull())
        cache[index] = DrawPicture(index);
    return cache[index];
}

void SetPagePicture(TWidgetToolPage& page, const char* image, int index)
{
    page.SetImageIndex(image, index);
    if (auto* label = qobject_cast<QLabel*>(page.Find(image)))
        label->setPixmap(ToolWinPicture(index));
}
