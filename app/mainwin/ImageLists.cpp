#include "app/mainwin/ImageLists.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <array>
#include <map>
#include <string_view>
#include <utility>

namespace {

constexpr int IconSize = 24;
constexpr const char* IndexProperty = "ImageIndex";

// The glyph of each image: a short text drawn on the tile.
const std::map<std::pair<TImageList, int>, std::string_view>& Glyphs()
{
    static const std::map<std::pair<TImageList, int>, std::string_view> glyphs = {
        // File toolbar, machining menu and operations popup.
        {{TImageList::File, 0}, "New"}, {{TImageList::File, 1}, "Opn"}, {{TImageList::File, 2}, "Mrg"},
        {{TImageList::File, 3}, "Sav"}, {{TImageList::File, 4}, "Vec"}, {{TImageList::File, 5}, "Cnc"},
        {{TImageList::File, 6}, "Ext"}, {{TImageList::File, 10}, "Ctr"}, {{TImageList::File, 11}, "Pkt"},
        {{TImageList::File, 12}, "Drl"}, {{TImageList::File, 13}, "Ed"}, {{TImageList::File, 15}, "Pst"},
        {{TImageList::File, 16}, "Del"}, {{TImageList::File, 17}, "Sim"}, {{TImageList::File, 18}, "Nci"},
        {{TImageList::File, 19}, "I/O"}, {{TImageList::File, 20}, "All"}, {{TImageList::File, 21}, "On"},
        {{TImageList::File, 22}, "Lay"}, {{TImageList::File, 23}, "One"}, {{TImageList::File, 28}, "Del"},
        {{TImageList::File, 29}, "3D"}, {{TImageList::File, 36}, "Mac"}, {{TImageList::File, 37}, "SvA"},
        {{TImageList::File, 38}, "Wrt"},
        // View toolbar.
        {{TImageList::View, 0}, "Z+"}, {{TImageList::View, 1}, "Zx"}, {{TImageList::View, 2}, "Z-"},
        {{TImageList::View, 3}, "Zw"}, {{TImageList::View, 4}, "Pan"}, {{TImageList::View, 5}, "Rd"},
        {{TImageList::View, 6}, "Top"}, {{TImageList::View, 7}, "Frt"}, {{TImageList::View, 8}, "Sid"},
        {{TImageList::View, 9}, "Iso"},
        // Create toolbar and recent drawing commands.
        {{TImageList::Create, 0}, "Pt"}, {{TImageList::Create, 1}, "Grd"}, {{TImageList::Create, 2}, "Blt"},
        {{TImageList::Create, 3}, "PtA"}, {{TImageList::Create, 4}, "Ln"}, {{TImageList::Create, 5}, "LnP"},
        {{TImageList::Create, 6}, "Ln\u22a5"}, {{TImageList::Create, 7}, "LnT"}, {{TImageList::Create, 8}, "LnA"},
        {{TImageList::Create, 9}, "Rct"}, {{TImageList::Create, 10}, "Cir"}, {{TImageList::Create, 11}, "CiD"},
        {{TImageList::Create, 12}, "Arc"}, {{TImageList::Create, 13}, "ArP"}, {{TImageList::Create, 14}, "AT1"},
        {{TImageList::Create, 15}, "AT2"}, {{TImageList::Create, 16}, "Ell"}, {{TImageList::Create, 17}, "ElO"},
        {{TImageList::Create, 18}, "Ply"}, {{TImageList::Create, 19}, "Spl"}, {{TImageList::Create, 20}, "Lbl"},
        {{TImageList::Create, 21}, "TT"},
        {{TImageList::Create, 22}, "SL"}, {{TImageList::Create, 23}, "A3"}, {{TImageList::Create, 24}, "C3"},
        // Edit toolbar and recent edit commands.
        {{TImageList::Modify, 0}, "Del"}, {{TImageList::Modify, 1}, "DlW"}, {{TImageList::Modify, 2}, "DlS"},
        {{TImageList::Modify, 3}, "Fil"}, {{TImageList::Modify, 4}, "Trm"}, {{TImageList::Modify, 5}, "Brk"},
        {{TImageList::Modify, 6}, "Div"}, {{TImageList::Modify, 7}, "Jn"}, {{TImageList::Modify, 8}, "Ext"},
        {{TImageList::Modify, 9}, "Exp"}, {{TImageList::Modify, 10}, "Nod"}, {{TImageList::Modify, 11}, "Lay"},
        {{TImageList::Modify, 12}, "Smp"}, {{TImageList::Modify, 13}, "Mov"}, {{TImageList::Modify, 14}, "Rot"},
        {{TImageList::Modify, 15}, "Mir"}, {{TImageList::Modify, 16}, "Scl"}, {{TImageList::Modify, 17}, "Off"},
        {{TImageList::Modify, 18}, "Inf"}, {{TImageList::Modify, 19}, "Dst"}, {{TImageList::Modify, 20}, "EnP"},
        {{TImageList::Modify, 21}, "Und"}, {{TImageList::Modify, 22}, "Sel"},
        // Status bar: snap modes, then the same with grid snap, then the switches.
        {{TImageList::Status, 0}, "-"}, {{TImageList::Status, 1}, "End"}, {{TImageList::Status, 2}, "Mid"},
        {{TImageList::Status, 3}, "Cen"}, {{TImageList::Status, 4}, "Pt"}, {{TImageList::Status, 5}, "Aut"},
        {{TImageList::Status, 6}, "#"}, {{TImageList::Status, 7}, "#E"}, {{TImageList::Status, 8}, "#M"},
        {{TImageList::Status, 9}, "#C"}, {{TImageList::Status, 10}, "#P"}, {{TImageList::Status, 11}, "#A"},
        {{TImageList::Status, 12}, "Ort"}, {{TImageList::Status, 13}, "Win"}, {{TImageList::Status, 14}, "Axs"},
        {{TImageList::Status, 15}, "Grd"}, {{TImageList::Status, 16}, "\u2715"}, {{TImageList::Status, 17}, "\u2713"},
    };
    return glyphs;
}

QColor TileColor(TImageList list)
{
    switch (list) {
    case TImageList::File:
        return QColor(0x3d, 0x6f, 0xb4);
    case TImageList::View:
        return QColor(0x2f, 0x8f, 0x6f);
    case TImageList::Create:
        return QColor(0xb5, 0x6a, 0x1f);
    case TImageList::Modify:
        return QColor(0x8c, 0x3f, 0x9a);
    case TImageList::Status:
        return QColor(0x55, 0x5f, 0x6b);
    case TImageList::Cnc:
        return QColor(0x9a, 0x3a, 0x3a);
    }
    return Qt::gray;
}

} // namespace

QIcon ListImage(TImageList list, int index)
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TileColor(list));
    painter.drawRoundedRect(QRectF(1, 1, IconSize - 2, IconSize - 2), 4, 4);
    const auto found = Glyphs().find({list, index});
    const QString glyph = found != Glyphs().end() ? QString::fromUtf8(found->second.data(), found->second.size())
                                                  : QString::number(index);
    QFont font = painter.font();
    font.setPixelSize(glyph.size() > 2 ? 8 : 11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    painter.end();
    return QIcon(pixmap);
}

void SetImage(QObject& target, TImageList list, int index)
{
    const QIcon icon = ListImage(list, index);
    if (auto* action = qobject_cast<QAction*>(&target))
        action->setIcon(icon);
    else if (auto* button = qobject_cast<QToolButton*>(&target))
        button->setIcon(icon);
    target.setProperty(IndexProperty, index);
}

int ImageIndex(const QObject& target)
{
    const QVariant index = target.property(IndexProperty);
    return index.isValid() ? index.toInt() : -1;
}
