#include "app/toolwin/LaserToolPage.h"

#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolLibraryPage.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "core/settings/AppConfig.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

using toolwin::Button;
using toolwin::Make;
using toolwin::NumberEdit;

namespace {

constexpr int kLaserPageWidth = 494;

TFileRequest LaserFileRequest()
{
    return toolwin::LibraryFileRequest(AppConfig().LaserLib, "LaserLib files", "llb");
}

} // namespace

TLaserToolPage::TLaserToolPage(TfrmToolWin& window) : QObject(&window), m_Window(window)
{
    QWidget* sheet = BuildSheet();
    m_Page = std::make_unique<TWidgetToolPage>(*sheet, window);
    window.AddPage("tabLaserLib", sheet, [this] { m_Window.resize(kLaserPageWidth, m_Window.height()); });
    toolwin::InstallLibraryViews(*m_lsvLaser, *m_Page, toolwin::LaserViews);
    chkLaserGasClick();
}

TLaserToolPage::~TLaserToolPage()
{
    Detach();
}

void TLaserToolPage::Detach()
{
    if (!m_lsvLaser)
        return;
    toolwin::DetachLibraryViews(*m_lsvLaser, toolwin::LaserViews);
    m_lsvLaser->BeforeGone = nullptr;
    m_lsvLaser = nullptr;
}

QWidget* TLaserToolPage::BuildSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetLaserLib");
    auto* layout = new QHBoxLayout(sheet);

    auto* info = Make<QGroupBox>(sheet, "grpLaserInfo", QStringLiteral("Laser"));
    auto* form = new QGridLayout(info);
    int row = 0;
    const auto add = [&](const char* label, const char* labelText, QWidget* field) {
        form->addWidget(Make<QLabel>(info, label, QString::fromLatin1(labelText)), row, 0);
        form->addWidget(field, row, 1);
        ++row;
    };
    auto* number = Make<QSpinBox>(info, "sedLasNum");
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    add("lblLasNum", "Number", number);
    add("lblLaser1", "Name", Make<QLineEdit>(info, "txtLasName"));
    add("lblLaser2", "Feed", NumberEdit(info, "txtLasFeedrate", "100", &DecimalKeyFilter));
    add("lblLaser3", "Feed 2", NumberEdit(info, "txtLasFeedrate2", "100", &DecimalKeyFilter));
    add("lblLaser4", "Power", NumberEdit(info, "txtLasPower", "50", &DecimalKeyFilter));
    add("lblLaser5", "Minimum power", NumberEdit(info, "txtLasPowerMin", "0", &DecimalKeyFilter));
    add("lblLaser6", "Dwell on", NumberEdit(info, "txtLasDwell1", "50", &DecimalKeyFilter));
    add("lblLaser7", "Dwell off", NumberEdit(info, "txtLasDwell2", "50", &DecimalKeyFilter));
    m_txtLasDiametro = NumberEdit(info, "txtLasDiametro", "4", &DecimalKeyFilter);
    add("lblLaser8", "Beam diameter", m_txtLasDiametro);
    auto* gas = Make<QCheckBox>(info, "chkLaserGas", QStringLiteral("Gas"));
    form->addWidget(gas, row++, 0, 1, 2);
    add("lblLaser9", "Gas value", NumberEdit(info, "txtLasGasValue", "50", &DecimalKeyFilter));
    add("lblLaser10", "Gas delay", NumberEdit(info, "txtLasGasDelay", "50", &DecimalKeyFilter));
    QPushButton* addSetting = Button(info, "sbtAddLasSet", "Add");
    QPushButton* modify = Button(info, "sbtModifyLas", "Change");
    form->addWidget(addSetting, row, 0);
    form->addWidget(modify, row++, 1);
    add("lblOpCommentLa", "Comment", Make<QLineEdit>(info, "txtOpCommentLa"));
    layout->addWidget(info);

    auto* list = Make<QGroupBox>(sheet, "grpLaserList", QStringLiteral("Library"));
    auto* listLayout = new QVBoxLayout(list);
    m_lsvLaser = toolwin::MakeLibraryList(list, "lsvLaser");
    m_lsvLaser->BeforeGone = [this] { Detach(); };
    listLayout->addWidget(m_lsvLaser);
    auto* files = new QHBoxLayout;
    QPushButton* save = Button(list, "sbtSaveLasLib", "Save");
    QPushButton* open = Button(list, "sbtOpenLasLib", "Open");
    files->addWidget(save);
    files->addWidget(open);
    listLayout->addLayout(files);
    auto* name = Make<QLabel>(list, "lblLaserLibName");
    name->setWordWrap(true);
    listLayout->addWidget(name);
    layout->addWidget(list);

    const auto bind = [this](auto* sender, auto signal, void (TLaserToolPage::*handler)()) {
        connect(sender, signal, this, [this, handler] { GuardedCall([this, handler] { (this->*handler)(); }); });
    };
    bind(addSetting, &QPushButton::clicked, &TLaserToolPage::sbtAddLasSetClick);
    bind(modify, &QPushButton::clicked, &TLaserToolPage::sbtModifyLasClick);
    bind(m_txtLasDiametro, &QLineEdit::textChanged, &TLaserToolPage::txtLasDiametroChange);
    // Also when a setting fills the page.
    bind(gas, &QCheckBox::toggled, &TLaserToolPage::chkLaserGasClick);
    bind(open, &QPushButton::clicked, &TLaserToolPage::sbtOpenLasLibClick);
    bind(save, &QPushButton::clicked, &TLaserToolPage::sbtSaveLasLibClick);
    return sheet;
}

void TLaserToolPage::sbtAddLasSetClick()
{
    toolwin::AddRecordFromPage();
}

void TLaserToolPage::sbtModifyLasClick()
{
    if (m_lsvLaser)
        toolwin::ModifySelectedRecord(*m_lsvLaser, *m_Page);
}

void TLaserToolPage::txtLasDiametroChange()
{
    // A text that is not (yet) a number changes nothing.
    const std::optional<double> diameter = ParseDecimal(QStringToAnsi(m_txtLasDiametro->text()));
    if (!diameter)
        return;
    if (auto* offset = m_Window.findChild<QLineEdit*>(QStringLiteral("txtCCOffset")))
        offset->setText(AnsiToQString(FormatCoord(*diameter / 2)));
}

void TLaserToolPage::chkLaserGasClick()
{
    const bool on = m_Page->Checked("chkLaserGas");
    for (const char* name : {"lblLaser9", "lblLaser10", "txtLasGasValue", "txtLasGasDelay"})
        m_Page->SetEnabled(name, on);
}

void TLaserToolPage::sbtOpenLasLibClick()
{
    toolwin::OpenLibraryFile(LaserFileRequest());
}

void TLaserToolPage::sbtSaveLasLibClick()
{
    toolwin::SaveLibraryFile(LaserFileRequest());
}
