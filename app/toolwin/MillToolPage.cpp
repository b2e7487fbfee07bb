#include "app/toolwin/MillToolPage.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/LibraryPageActions.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/CurrentToolLibrary.h"
#include "cam/tools/LibreriaUtBase.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
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

constexpr int kPictureSize = 64;

// The open and save dialogs: mill library files, starting at "ToolsLib".
const toolwin::TLibraryFiles kMillFiles{"Tool files", "tlb", &TAppConfig::ToolsLib};

} // namespace

TMillToolPage::TMillToolPage(TfrmToolWin& window) : QObject(&window), m_Window(window)
{
    QWidget* sheet = BuildSheet();
    m_Page = std::make_unique<TWidgetToolPage>(*sheet, window);
    m_Page->OnToolTypeChanged = [this] { cboToolTypeChange(); };
    toolwin::AddToolLibraryPage(window, "tabTool", sheet);
    toolwin::InstallLibraryViews(&TToolLibraryViews::MillList, &TToolLibraryViews::MillPage, m_lsvTools, m_Page.get());
}

TMillToolPage::~TMillToolPage()
{
    Detach();
}

void TMillToolPage::Detach()
{
    toolwin::ReleaseLibraryViews(&TToolLibraryViews::MillList, &TToolLibraryViews::MillPage, m_lsvTools);
}

QWidget* TMillToolPage::BuildSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetTool");
    auto* layout = new QHBoxLayout(sheet);

    auto* info = Make<QGroupBox>(sheet, "grpToolInfo", QStringLiteral("Tool"));
    toolwin::TFormRows form(info);
    const auto add = [&form](const char* label, const char* text, QWidget* field) { form.Add(label, text, field); };
    add("lblUtName", "Name", Make<QLineEdit>(info, "txtUtName"));
    auto* number = Make<QSpinBox>(info, "sedToolNum");
    // Any number a library holds, so that reading the page back keeps it.
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    add("lblToolNum", "Number", number);
    add("lblGiri", "Speed", NumberEdit(info, "txtGiri", "300", &DecimalKeyFilter));
    auto* spindle = Make<QComboBox>(info, "cboSpindle");
    spindle->addItems({QStringLiteral("spindle CW"), QStringLiteral("spindle CCW"), QStringLiteral("spindle Off")});
    add("lblSpindle", "Spindle", spindle);
    add("lblFeedrate", "Feed", NumberEdit(info, "txtFeedrate", "100", &DecimalKeyFilter));
    add("lblPlungeRate", "Plunge", NumberEdit(info, "txtPlungeRate", "50", &DecimalKeyFilter));
    form.Span(Make<QCheckBox>(info, "chkCoolant", QStringLiteral("Coolant")));
    m_cboToolType = Make<QComboBox>(info, "cboToolType");
    m_cboToolType->addItems({QStringLiteral("Flat"), QStringLiteral("Toro"), QStringLiteral("Sferico"),
                             QStringLiteral("Conico"), QStringLiteral("Punta"), QStringLiteral("Undefined")});
    add("lblToolType", "Type", m_cboToolType);
    m_imgTool = Make<QLabel>(info, "imgTool");
    m_imgTool->setFixedSize(kPictureSize, kPictureSize);
    form.Grid().addWidget(m_imgTool, 0, 2, 4, 1);
    m_txtDiametro = NumberEdit(info, "txtDiametro", "4", &DecimalKeyFilter);
    add("lblDiametro", "Diameter", m_txtDiametro);
    m_txtC_Raggio = NumberEdit(info, "txtC_Raggio", "0", &DecimalKeyFilter);
    add("lblC_Raggio", "Corner radius", m_txtC_Raggio);
    add("lblAngolo", "Angle", NumberEdit(info, "txtAngolo", "0", &DecimalKeyFilter));
    add("lblDiamFlat", "Tip diameter", NumberEdit(info, "txtDiamFlat", "0", &DecimalKeyFilter));
    add("lblPassZ", "Z step", NumberEdit(info, "txtPassZ", "1", &DecimalKeyFilter));
    add("lblTLength", "Length", NumberEdit(info, "txtTLength", "0", &DecimalKeyFilter));
    QPushButton* addTool = Button(info, "sbtAddTool", "Add");
    QPushButton* modify = Button(info, "sbtModifyTool", "Change");
    form.Pair(addTool, modify);
    add("lblOpComment", "Comment", Make<QLineEdit>(info, "txtOpComment"));
    layout->addWidget(info);

    const toolwin::TLibraryListGroup list = toolwin::MakeLibraryListGroup(
        sheet, {"grpToolList", "lsvTools", "sbtSaveLib", "sbtOpenLib", "lblToolsLibName"});
    m_lsvTools = list.List;
    m_lsvTools->ItemImage = [](int type) { return ToolShapePixmap(type, 16); };
    m_lsvTools->OnMove = [this](int from, int to) { lsvToolsDragDrop(from, to); };
    m_lsvTools->BeforeGone = [this] { Detach(); };
    layout->addWidget(list.Group);
    QPushButton* save = list.Save;
    QPushButton* open = list.Open;

    toolwin::AddDeleteMenu(*m_lsvTools);

    const auto bind = [this](auto* sender, auto signal, void (TMillToolPage::*handler)()) {
        connect(sender, signal, this, [this, handler] { GuardedCall([this, handler] { (this->*handler)(); }); });
    };
    bind(m_lsvTools, &QListWidget::itemClicked, &TMillToolPage::lsvToolsClick);
    bind(addTool, &QPushButton::clicked, &TMillToolPage::sbtAddToolClick);
    bind(modify, &QPushButton::clicked, &TMillToolPage::sbtModifyToolClick);
    bind(m_cboToolType, &QComboBox::activated, &TMillToolPage::cboToolTypeChange);
    bind(m_txtDiametro, &QLineEdit::textChanged, &TMillToolPage::txtDiametroChange);
    bind(open, &QPushButton::clicked, &TMillToolPage::sbtOpenLibClick);
    bind(save, &QPushButton::clicked, &TMillToolPage::sbtSaveLibClick);
    m_imgTool->setPixmap(ToolShapePixmap(0, kPictureSize));
    return sheet;
}

TLibreriaUtBase* TMillToolPage::Library()
{
    return toolwin::PageLibrary();
}

void TMillToolPage::lsvToolsClick()
{
    TLibreriaUtBase* library = Library();
    const int index = m_lsvTools->currentRow();
    if (library && index >= 0 && index < library->Count())
        library->Record(index).ToPage(*m_Page);
}

void TMillToolPage::sbtAddToolClick()
{
    toolwin::AddRecordFromPage();
}

void TMillToolPage::sbtModifyToolClick()
{
    TLibreriaUtBase* library = Library();
    const int index = m_lsvTools->currentRow();
    if (!library || index < 0 || index >= library->Count())
        return;
    TDatiUtBase& record = library->Record(index);
    if (!record.FromPage(*m_Page))
        return;
    QListWidgetItem* item = m_lsvTools->item(index);
    item->setText(AnsiToQString(library->ItemCaption(record)));
    item->setData(Qt::UserRole, record.ToolType);
    item->setIcon(QIcon(ToolShapePixmap(record.ToolType, 16)));
}

void TMillToolPage::mnuToolDeleteClick()
{
    toolwin::DeleteSelectedRecord(*m_lsvTools);
}

void TMillToolPage::cboToolTypeChange()
{
    m_imgTool->setPixmap(ToolShapePixmap(m_cboToolType->currentIndex(), kPictureSize));
    if (TLibreriaUtBase* library = Library())
        library->TypeChanged(m_cboToolType->currentIndex());
}

void TMillToolPage::txtDiametroChange()
{
    // A text that is not (yet) a number changes nothing.
    const std::optional<double> diameter = ParseDecimal(QStringToAnsi(m_txtDiametro->text()));
    if (!diameter)
        return;
    const QString half = AnsiToQString(FormatCoord(*diameter / 2));
    if (auto* offset = m_Window.findChild<QLineEdit*>(QStringLiteral("txtCCOffset")))
        offset->setText(half);
    if (m_cboToolType->currentIndex() == kToolSferico)
        m_txtC_Raggio->setText(half);
}

void TMillToolPage::sbtOpenLibClick()
{
    toolwin::OpenLibraryFile(kMillFiles);
}

void TMillToolPage::sbtSaveLibClick()
{
    toolwin::SaveLibraryFile(kMillFiles);
}

void TMillToolPage::lsvToolsDragDrop(int from, int to)
{
    toolwin::MoveRecord(*m_lsvTools, from, to);
}
