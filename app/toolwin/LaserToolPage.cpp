#include "app/toolwin/LaserToolPage.h"

#include "app/toolwin/LibraryPageActions.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cam/tools/LibreriaUtBase.h"
#include "core/settings/AppConfig.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <limits>

using toolwin::Button;
using toolwin::Make;
using toolwin::NumberEdit;

namespace {

constexpr int kLaserPageWidth = 494;

const toolwin::TLibraryFiles kLaserFiles{"LaserLib files", "llb", &TAppConfig::LaserLib};

} // namespace

TLaserToolPage::TLaserToolPage(TfrmToolWin& window) : QObject(&window), m_Window(window)
{
    QWidget* sheet = BuildSheet();
    m_Page = std::make_unique<TWidgetToolPage>(*sheet, window);
    window.AddPage("tabLaserLib", sheet, [this] { m_Window.resize(kLaserPageWidth, m_Window.height()); });
    toolwin::InstallLibraryViews(&TToolLibraryViews::LaserList, &TToolLibraryViews::LaserPage, m_lsvLaser,
                                 m_Page.get());
    chkLaserGasClick();
}

TLaserToolPage::~TLaserToolPage()
{
    Detach();
}

void TLaserToolPage::Detach()
{
    toolwin::ReleaseLibraryViews(&TToolLibraryViews::LaserList, &TToolLibraryViews::LaserPage, m_lsvLaser);
}

QWidget* TLaserToolPage::BuildSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetLaserLib");
    auto* layout = new QHBoxLayout(sheet);

    auto* info = Make<QGroupBox>(sheet, "grpLaserInfo", QStringLiteral("Laser"));
    toolwin::TFormRows rows(info);
    auto* number = Make<QSpinBox>(info, "sedLasNum");
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    rows.Add("lblLasNum", "Number", number);
    rows.Add("lblLaser1", "Name", Make<QLineEdit>(info, "txtLasName"));
    rows.Add("lblLaser2", "Feed", NumberEdit(info, "txtLasFeedrate", "100", &DecimalKeyFilter));
    rows.Add("lblLaser3", "Feed 2", NumberEdit(info, "txtLasFeedrate2", "100", &DecimalKeyFilter));
    rows.Add("lblLaser4", "Power", NumberEdit(info, "txtLasPower", "50", &DecimalKeyFilter));
    rows.Add("lblLaser5", "Minimum power", NumberEdit(info, "txtLasPowerMin", "0", &DecimalKeyFilter));
    rows.Add("lblLaser6", "Dwell on", NumberEdit(info, "txtLasDwell1", "50", &DecimalKeyFilter));
    rows.Add("lblLaser7", "Dwell off", NumberEdit(info, "txtLasDwell2", "50", &DecimalKeyFilter));
    m_txtLasDiametro = NumberEdit(info, "txtLasDiametro", "4", &DecimalKeyFilter);
    rows.Add("lblLaser8", "Beam diameter", m_txtLasDiametro);
    auto* gas = Make<QCheckBox>(info, "chkLaserGas", QStringLiteral("Gas"));
    rows.Span(gas);
    rows.Add("lblLaser9", "Gas value", NumberEdit(info, "txtLasGasValue", "50", &DecimalKeyFilter));
    rows.Add("lblLaser10", "Gas delay", NumberEdit(info, "txtLasGasDelay", "50", &DecimalKeyFilter));
    QPushButton* addSetting = Button(info, "sbtAddLasSet", "Add");
    QPushButton* modify = Button(info, "sbtModifyLas", "Change");
    rows.Pair(addSetting, modify);
    rows.Add("lblOpCommentLa", "Comment", Make<QLineEdit>(info, "txtOpCommentLa"));
    layout->addWidget(info);

    const toolwin::TLibraryListGroup list = toolwin::MakeLibraryListGroup(
        sheet, {"grpLaserList", "lsvLaser", "sbtSaveLasLib", "sbtOpenLasLib", "lblLaserLibName"});
    m_lsvLaser = list.List;
    m_lsvLaser->OnMove = [this](int from, int to) {
        if (m_lsvLaser)
            toolwin::MoveRecord(*m_lsvLaser, from, to);
    };
    m_lsvLaser->BeforeGone = [this] { Detach(); };
    layout->addWidget(list.Group);
    toolwin::AddDeleteMenu(*m_lsvLaser);
    QPushButton* save = list.Save;
    QPushButton* open = list.Open;

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
    // The mill rule without an image: "name(<752> diameter)".
    const int index = m_lsvLaser ? toolwin::SelectedRecord(*m_lsvLaser) : -1;
    if (index < 0)
        return;
    TLibreriaUtBase& library = *toolwin::PageLibrary();
    TDatiUtBase& record = library.Record(index);
    if (record.FromPage(*m_Page))
        m_lsvLaser->item(index)->setText(AnsiToQString(library.ItemCaption(record)));
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
    toolwin::OpenLibraryFile(kLaserFiles);
}

void TLaserToolPage::sbtSaveLasLibClick()
{
    toolwin::SaveLibraryFile(kLaserFiles);
}
