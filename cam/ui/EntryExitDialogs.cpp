#include "cam/ui/EntryExitDialogs.h"

#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string_view>

namespace {

namespace LS = LangKeys::String;

QString Text(std::string_view key)
{
    return AnsiToQString(LangText(key));
}

std::string Trimmed(const QLineEdit& edit)
{
    return QStringToAnsi(edit.text().trimmed());
}

QLabel* RightLabel(QWidget* parent, std::string_view key, int x, int y, int w, int h)
{
    auto* label = new QLabel(Text(key), parent);
    label->setGeometry(x, y, w, h);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit* DecimalEdit(QWidget* parent, int x, int y, int w)
{
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(x, y, w, 21);
    TCharKeyFilter::Install(*edit, DecimalKeyFilter);
    return edit;
}

// The edit's number when it holds a complete one (see TLatToolGeoDef).
std::optional<double> CompleteNumber(const QLineEdit& edit)
{
    const std::string text = Trimmed(edit);
    if (text.empty() || text.back() == '.')
        return std::nullopt;
    return ParseDecimal(text);
}

constexpr double kDegree = std::numbers::pi / 180.0;

} // namespace

double EditNumber(const QLineEdit& edit)
{
    const std::string text = Trimmed(edit);
    if (const std::optional<double> v = ParseDecimal(text))
        return *v;
    throw EConvertError("'" + text + "' is not a valid floating point value");
}

// ---- frame ------------------------------------------------------------------

TBaseEntryExit::TBaseEntryExit(QWidget* owner, int width, int height) : QDialog(owner)
{
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    setFixedSize(width, height);
    if (owner)
        move(owner->geometry().left() + 10, owner->geometry().top() + 10);
    m_CloseButton = new QPushButton(Text(LS::DialogClose), this);
    connect(m_CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TBaseEntryExit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        OnShowDialog();
}

// ---- mill -------------------------------------------------------------------

TFresaEntryExit::TFresaEntryExit(const TParametriOperazione& params, QWidget* owner) : TBaseEntryExit(owner, 380, 180)
{
    setWindowTitle(Text(LS::LeadTitle));
    for (int i = 0; i < 2; ++i) {
        const std::string_view caption = i == 0 ? LS::LeadEntry : LS::LeadExit;
        auto* group = new QGroupBox(Text(caption), this);
        group->setGeometry(8 + 198 * i, 16, 160, 80);
        RightLabel(group, caption, 8, 16, 60, 13);
        auto* kind = new QComboBox(group);
        kind->setGeometry(72, 12, 80, 21);
        kind->addItems({Text(LS::LeadNone), Text(LS::LeadLine), Text(LS::LeadArc)});
        RightLabel(group, LS::LeadLength, 36, 40, 60, 13);
        m_Kind[static_cast<size_t>(i)] = kind;
        m_Length[static_cast<size_t>(i)] = DecimalEdit(group, 100, 36, 52);
    }
    m_Length[0]->setText(AnsiToQString(FormatCoord(params.LeadInLength)));
    m_Length[1]->setText(AnsiToQString(FormatCoord(params.LeadOutLength)));
    m_Kind[0]->setCurrentIndex(std::clamp(params.LeadInKind, 0, 2));
    m_Kind[1]->setCurrentIndex(std::clamp(params.LeadOutKind, 0, 2));
    m_Copy = new QPushButton(QStringLiteral("->"), this);
    m_Copy->setGeometry(175, 40, 25, 23);
    connect(m_Copy, &QPushButton::clicked, this, [this] { CopyClick(); });
    CloseButton().move(width() - 100, height() - 40);
}

int TFresaEntryExit::GetKind(int which) const
{
    return KindCombo(which).currentIndex();
}

double TFresaEntryExit::GetLength(int which) const
{
    return EditNumber(LengthEdit(which));
}

void TFresaEntryExit::CopyClick()
{
    m_Length[1]->setText(m_Length[0]->text());
    m_Kind[1]->setCurrentIndex(m_Kind[0]->currentIndex());
}

// ---- lathe vectors ------------------------------------------------------------

namespace {
constexpr int kCentreX = 250 / 2 - 20;
constexpr int kCentreY = 250 / 2;
} // namespace

TLatEntryExit::TLatEntryExit(QWidget* owner, const std::string& caption, const std::string& lengthLabel, double x,
                             double z)
    : TBaseEntryExit(owner, 250, 250)
{
    setWindowTitle(AnsiToQString(caption));
    auto* length = new QLabel(AnsiToQString(lengthLabel), this);
    length->setGeometry(16, 16, 112, 13);
    length->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RightLabel(this, LS::LatheAngle, 16, 40, 112, 13);
    m_Length = DecimalEdit(this, 140, 12, 57);
    m_Angle = DecimalEdit(this, 140, 36, 57);
    m_Angle->setEnabled(false);
    for (int i = 0; i < 8; ++i) {
        auto* button = new QRadioButton(this);
        const double a = 45.0 * i * kDegree;
        button->move(static_cast<int>(std::nearbyint(kCentreX + 50 * std::cos(a))),
                     static_cast<int>(std::nearbyint(kCentreY - 50 * std::sin(a))));
        button->resize(17, 17);
        button->setProperty("tag", i);
        connect(button, &QRadioButton::clicked, this, [this, i] { DirectionClick(i); });
        m_Buttons[static_cast<size_t>(i)] = button;
    }
    CloseButton().move(kCentreX + 52, 2 * kCentreY - 60);

    const double angle = std::atan2(z, x) / kDegree;
    m_Length->setText(AnsiToQString(FormatCoordSpacedTrim(std::hypot(x, z))));
    m_Angle->setText(AnsiToQString(FormatCoordSpacedTrim(angle)));
    int degrees = static_cast<int>(std::nearbyint(angle)) % 360;
    if (degrees < 0)
        degrees += 360;
    Direction = degrees / 45;
}

void TLatEntryExit::OnShowDialog()
{
    m_Buttons[static_cast<size_t>(std::clamp(Direction, 0, 7))]->click();
}

void TLatEntryExit::DirectionClick(int index)
{
    Direction = index;
    m_Buttons[static_cast<size_t>(index)]->setChecked(true);
    m_Angle->setText(QString::number(index * 45));
    update();
}

TVector2D TLatEntryExit::GetVector() const
{
    const double length = EditNumber(*m_Length);
    const double angle = EditNumber(*m_Angle) * kDegree;
    return TVector2D{length * std::cos(angle), length * std::sin(angle)};
}

void TLatEntryExit::paintEvent(QPaintEvent* event)
{
    TBaseEntryExit::paintEvent(event);
    QPainter painter(this);
    const double a = Direction * 45.0 * kDegree;
    const QPointF origin(kCentreX + 6, kCentreY + 8);
    auto at = [&](double distance, double angle) {
        return QPointF(origin.x() + distance * std::cos(angle), origin.y() - distance * std::sin(angle));
    };
    const QPointF tip = at(40, a);
    const QPointF points[] = {origin, tip, at(30, a + 0.1), at(30, a - 0.1), tip};
    painter.drawPolyline(points, 5);
}

TLatEntry::TLatEntry(const TParametriOperazione& params, QWidget* owner)
    : TLatEntryExit(owner, LangText(LS::LatheEntryTitle), LangText(LS::LatheEntryLength), params.LatheEntry.X,
                    params.LatheEntry.Z)
{
}

TLatExit::TLatExit(const TParametriOperazione& params, QWidget* owner)
    : TLatEntryExit(owner, LangText(LS::LatheExitTitle), LangText(LS::LatheExitLength), params.LatheExit.X,
                    params.LatheExit.Z)
{
}

// ---- lathe insert -------------------------------------------------------------

TLatToolGeoDef::TLatToolGeoDef(TParametriOperazione& params, QWidget* owner)
    : TBaseEntryExit(owner, 300, 400), m_Tool(params.ToolData.get())
{
    setWindowTitle(Text(LS::LatheGeoTitle));
    (new QLabel(Text(LS::LatheGeoName), this))->move(34, 12);
    m_Name = new QLineEdit(this);
    m_Name->setGeometry(135, 8, 155, 21);
    (new QLabel(Text(LS::LatheGeoType), this))->move(34, 36);
    m_Type = new QComboBox(this);
    m_Type->setGeometry(135, 32, 155, 21);
    m_Type->addItems({Text(LS::LatheInsertType0), Text(LS::LatheInsertType1)});
    (new QLabel(Text(LS::LatheGeoRadius), this))->move(133, 60);
    m_Radius = DecimalEdit(this, 235, 56, 55);
    const std::string_view labels[4] = {LS::LatheGeoEdge1, LS::LatheGeoAngle2, LS::LatheGeoEdge2, LS::LatheGeoAngle1};
    for (int k = 0; k < 2; ++k)
        for (int r = 0; r < 2; ++r) {
            const int index = 2 * k + r;
            RightLabel(this, labels[index], 8 + 145 * k, 84 + 24 * r, 80, 13);
            m_Values[static_cast<size_t>(index)] = DecimalEdit(this, 90 + 145 * k, 80 + 24 * r, 55);
        }
    (new QLabel(Text(LS::LatheGeoVariant), this))->move(65, 148);
    m_Variant[0] = new QRadioButton(this);
    m_Variant[0]->move(180, 146);
    m_Variant[1] = new QRadioButton(this);
    m_Variant[1]->move(240, 146);

    connect(m_Name, &QLineEdit::textChanged, this, [this] { NameChange(); });
    connect(m_Type, &QComboBox::currentIndexChanged, this, [this] { TypeChange(); });
    connect(m_Radius, &QLineEdit::textChanged, this, [this] { RadiusChange(); });
    for (int i = 0; i < 4; ++i)
        connect(m_Values[static_cast<size_t>(i)], &QLineEdit::textChanged, this, [this, i] { ValueChange(i); });
    for (QRadioButton* button : m_Variant)
        connect(button, &QRadioButton::clicked, this, [this] { VariantClick(); });

    if (m_Tool) {
        m_Name->setText(AnsiToQString(m_Tool->ToolName));
        m_Type->setCurrentIndex(std::clamp(m_Tool->ToolType, 0, 1));
        m_Radius->setText(AnsiToQString(FormatToolSize(m_Tool->Diameter)));
        const double values[4] = {m_Tool->CornerRadius, m_Tool->ToolAngle, m_Tool->EdgeLength2, m_Tool->EdgeAngle1};
        for (int i = 0; i < 4; ++i)
            m_Values[static_cast<size_t>(i)]->setText(AnsiToQString(FormatCoordSpacedTrim(values[i])));
        m_Variant[(m_Tool->LatheFlags & kLatheGeometryVariant) ? 1 : 0]->setChecked(true);
    }
    CloseButton().move(width() - 90, height() - 35);
    Ready = true;
}

void TLatToolGeoDef::NameChange()
{
    if (!Ready || !m_Tool)
        return;
    m_Tool->ToolName = QStringToAnsi(m_Name->text()).substr(0, kToolNameMax);
}

void TLatToolGeoDef::TypeChange()
{
    if (!Ready || !m_Tool)
        return;
    m_Tool->ToolType = m_Type->currentIndex();
    update();
}

void TLatToolGeoDef::RadiusChange()
{
    if (!Ready || !m_Tool)
        return;
    if (const std::optional<double> v = CompleteNumber(*m_Radius)) {
        m_Tool->Diameter = *v;
        update();
    }
}

void TLatToolGeoDef::ValueChange(int index)
{
    if (!Ready || !m_Tool)
        return;
    const std::optional<double> v = CompleteNumber(*m_Values[static_cast<size_t>(index)]);
    if (!v)
        return;
    switch (index) {
    case 0: m_Tool->CornerRadius = *v; break;
    case 1: m_Tool->ToolAngle = *v; break;
    case 2: m_Tool->EdgeLength2 = static_cast<float>(*v); break;
    default: m_Tool->EdgeAngle1 = static_cast<float>(*v); break;
    }
    update();
}

void TLatToolGeoDef::VariantClick()
{
    if (!Ready || !m_Tool)
        return;
    if (m_Variant[0]->isChecked())
        m_Tool->LatheFlags &= ~kLatheGeometryVariant;
    else
        m_Tool->LatheFlags |= kLatheGeometryVariant;
    update();
}

void TLatToolGeoDef::paintEvent(QPaintEvent* event)
{
    TBaseEntryExit::paintEvent(event);
    if (!m_Tool)
        return;
    // The nose-radius strokes and the edge captions in the insert's frame.
    const double side = std::max({m_Tool->CornerRadius, static_cast<double>(m_Tool->EdgeLength2), 1.0});
    const double scale = side > 0.0 ? 120.0 / side : 1.875;
    const double s = 0.3 * side;
    const double n = (m_Tool->LatheFlags & kLatheGeometryVariant) ? 0.0 : m_Tool->Diameter;
    const bool turned = m_Tool->ToolType == 1;
    const QPointF offset(40, turned ? 200 : 300);
    auto map = [&](double x, double y) {
        if (turned) { // turned by -90 degrees, then mirrored in Y
            const double tx = y;
            const double ty = -x;
            x = tx;
            y = -ty;
        }
        return QPointF(offset.x() + x * scale, offset.y() - y * scale);
    };
    QPainter painter(this);
    painter.setPen(Qt::blue);
    painter.drawLine(map(-s, -n), map(s, -n));
    painter.drawLine(map(-n, -s), map(-n, s));
    painter.setPen(Qt::black);
    painter.drawText(map(s, -0.3 * s), QStringLiteral("(w1-a1)"));
    painter.drawText(map(-0.5 * s, 1.5 * s), QStringLiteral("(w2-a2)"));
}
