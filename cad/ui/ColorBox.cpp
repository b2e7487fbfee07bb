#include "cad/ui/ColorBox.h"

#include "core/model/UserNotifier.h"

#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

#include <array>

namespace {

struct TNamedColor {
    const char* Name;
    uint32_t Color; // 0x00BBGGRR
};

// The standard colours, then the extended ones.
constexpr std::array<TNamedColor, 20> NamedColors{{
    {"Black", 0x000000},       {"Maroon", 0x000080},    {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},        {"Purple", 0x800080},    {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},      {"Red", 0x0000FF},       {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},        {"Fuchsia", 0xFF00FF},   {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6}, {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
}};

QIcon Swatch(uint32_t color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(TColorBox::ToQColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

} // namespace

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent)
{
    addItem(Swatch(0), QStringLiteral("Custom..."), QVariant::fromValue<uint>(0));
    for (const TNamedColor& c : NamedColors)
        addItem(Swatch(c.Color), QString::fromLatin1(c.Name), QVariant::fromValue<uint>(c.Color));
    SetSelected(0);
    connect(this, &QComboBox::activated, this, [this](int index) { Chosen(index); });
}

QColor TColorBox::ToQColor(uint32_t color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

uint32_t TColorBox::FromQColor(const QColor& color)
{
    return static_cast<uint32_t>(color.red()) | static_cast<uint32_t>(color.green()) << 8
           | static_cast<uint32_t>(color.blue()) << 16;
}

uint32_t TColorBox::Selected() const
{
    return currentIndex() < 0 ? 0 : currentData().toUInt();
}

void TColorBox::SetSelected(uint32_t color)
{
    const QSignalBlocker blocker(this);
    int index = -1;
    for (int i = CustomIndex + 1; i < count() && index < 0; ++i)
        if (itemData(i).toUInt() == color)
            index = i;
    if (index < 0) {
        SetCustomColor(color);
        index = CustomIndex;
    }
    setCurrentIndex(index);
    m_LastIndex = index;
}

void TColorBox::SetCustomColor(uint32_t color)
{
    setItemData(CustomIndex, QVariant::fromValue<uint>(color));
    setItemIcon(CustomIndex, Swatch(color));
}

void TColorBox::Chosen(int index)
{
    if (index == CustomIndex) {
        const uint32_t current = m_LastIndex >= 0 ? itemData(m_LastIndex).toUInt() : 0;
        std::optional<uint32_t> picked;
        if (PickCustomColor) {
            picked = PickCustomColor(current);
        } else {
            picked = UserNotifier().AskColor(current);
        }
        if (!picked) {
            const QSignalBlocker blocker(this);
            setCurrentIndex(m_LastIndex);
            return;
        }
        SetCustomColor(*picked);
    }
    m_LastIndex = index;
    if (OnChange)
        OnChange();
}
