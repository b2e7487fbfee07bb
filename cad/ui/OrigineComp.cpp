#include "cad/ui/OrigineComp.h"

#include <QButtonGroup>
#include <QFrame>
#include <QRadioButton>

namespace {

// The centre lines are 8 pixels thick strips; the line runs along their
// middle.
constexpr int LineStrip = 8;

QFrame* Bevel(QWidget* parent, QFrame::Shape shape, const QRect& geometry)
{
    auto* bevel = new QFrame(parent);
    bevel->setFrameShape(shape);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(geometry);
    bevel->show();
    return bevel;
}

} // namespace

TOrigineComp::TOrigineComp(QWidget* owner) : m_Owner(owner) {}

TOrigineComp::~TOrigineComp()
{
    // The buttons' click handlers point at this object.
    delete m_Group;
    for (QPointer<QRadioButton>& b : m_Buttons)
        delete b;
    for (QPointer<QFrame>& b : m_Bevels)
        delete b;
}

void TOrigineComp::Build(int left, int top, int right, int bottom, QWidget* parent)
{
    if (m_Group)
        return;
    const int cx = (left + right) / 2;
    const int cy = (top + bottom) / 2;
    m_Bevels[0] = Bevel(parent, QFrame::Box, QRect(left, top, right - left, bottom - top));
    m_Bevels[1] = Bevel(parent, QFrame::HLine, QRect(left, cy - LineStrip / 2, right - left, LineStrip));
    m_Bevels[2] = Bevel(parent, QFrame::VLine, QRect(cx - LineStrip / 2, top, LineStrip, bottom - top));

    const std::array<QPoint, PositionCount> at{
        QPoint(left - 5, bottom - 8), // bottom-left
        QPoint(left - 5, top - 6),    // top-left
        QPoint(right - 8, top - 6),   // top-right
        QPoint(right - 8, bottom - 8), // bottom-right
        QPoint(cx - 5, cy - 6),       // centre
    };
    m_Group = new QButtonGroup(parent);
    for (int p = 0; p < PositionCount; ++p) {
        auto* button = new QRadioButton(parent);
        button->setObjectName(QStringLiteral("rbtOrigin%1").arg(p));
        button->setProperty("Tag", p);
        button->resize(button->sizeHint());
        // The point given is where the button's indicator begins.
        button->move(at[static_cast<size_t>(p)]);
        button->show();
        m_Group->addButton(button, p);
        m_Buttons[static_cast<size_t>(p)] = button;
        QObject::connect(button, &QRadioButton::clicked, button, [this, button] { RadioClick(button); });
    }
    m_Buttons[0]->setChecked(true);
}

void TOrigineComp::SetPosition(int32_t position)
{
    if (!m_Group)
        return;
    if (position >= 0 && position < PositionCount) {
        m_Buttons[static_cast<size_t>(position)]->setChecked(true);
        return;
    }
    m_Group->setExclusive(false);
    for (QPointer<QRadioButton>& b : m_Buttons)
        b->setChecked(false);
    m_Group->setExclusive(true);
}

int32_t TOrigineComp::Position() const
{
    return m_Group ? m_Group->checkedId() : -1;
}

void TOrigineComp::RadioClick(QAbstractButton* sender)
{
    if (OnOriginClick && sender)
        OnOriginClick(nullptr, sender->property("Tag").toInt());
}

QRadioButton* TOrigineComp::Button(int position) const
{
    return position >= 0 && position < PositionCount ? m_Buttons[static_cast<size_t>(position)].data() : nullptr;
}
