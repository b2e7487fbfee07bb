#include "app/mainwin/frmCoord.h"

#include "cad/ui/CharKeyFilter.h"
#include "cad/ui/FormTranslate.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

namespace {

constexpr int EditWidth = 81;

} // namespace

TfrmCoord::TfrmCoord(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCoord"));
    setWindowTitle(QStringLiteral("Enter coordinate...."));
    setWindowFlag(Qt::Tool);
    setFixedSize(265, 105);

    m_lblCoordX = new QLabel(QStringLiteral("X:"), this);
    m_lblCoordX->setObjectName(QStringLiteral("lblCoordX"));
    m_lblCoordY = new QLabel(QStringLiteral("Y:"), this);
    m_lblCoordY->setObjectName(QStringLiteral("lblCoordY"));
    m_txtCoordX = new QLineEdit(this);
    m_txtCoordX->setObjectName(QStringLiteral("txtCoordX"));
    m_txtCoordY = new QLineEdit(this);
    m_txtCoordY->setObjectName(QStringLiteral("txtCoordY"));
    for (QLineEdit* edit : {m_txtCoordX, m_txtCoordY}) {
        edit->setFixedWidth(EditWidth);
        TCharKeyFilter::Install(*edit, &SignedDecimalKeyFilter);
    }
    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(m_btnOk, &QPushButton::clicked, this, [this] { done(ResultOk); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { done(ResultCancel); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_lblCoordX, 0, 0);
    grid->addWidget(m_txtCoordX, 0, 1);
    grid->addWidget(m_btnOk, 0, 2);
    grid->addWidget(m_lblCoordY, 1, 0);
    grid->addWidget(m_txtCoordY, 1, 1);
    grid->addWidget(m_btnCancel, 1, 2);
}

void TfrmCoord::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    TranslateForms({this}, LanguageIni());
    if (m_Held) {
        m_lblCoordX->setText(m_HeldX);
        m_lblCoordY->setText(m_HeldY);
    }
    m_txtCoordX->setFocus();
    m_txtCoordX->selectAll();
}

void TfrmCoord::HoldAxisCaptions(const QString& x, const QString& y)
{
    if (!m_Held) {
        m_OwnX = m_lblCoordX->text();
        m_OwnY = m_lblCoordY->text();
    }
    m_Held = true;
    m_HeldX = x;
    m_HeldY = y;
    m_lblCoordX->setText(x);
    m_lblCoordY->setText(y);
}

void TfrmCoord::ReleaseAxisCaptions()
{
    if (!m_Held)
        return;
    m_Held = false;
    m_lblCoordX->setText(m_OwnX);
    m_lblCoordY->setText(m_OwnY);
}

double CoordFromText(const std::string& text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        throw std::invalid_argument("'" + text + "' is not a valid floating point value");
    return *value;
}
