#include "app/toolwin/MillToolPage.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolLibraryPage.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/CurrentToolLibrary.h"
#include "cam/tools/LibreriaUtBase.h"
#include "core/model/UserNotifier.h"
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

constexpr int kToolPageWidth = 494;
constexpr int kPictureSize = 64;

// The open and save dialogs of the library: mill library files, starting at
// the "ToolsLib" file.
TFileRequest MillFileRequest()
{
    return toolwin::LibraryFileRequest(AppConfig().ToolsLib, "Tool files", "tlb");
}

} // namespace

TMillToolPage::TMillToolPage(TfrmToolWin& window) : QObject(&window), m_Window(window)
{
    QWidget* sheet = BuildSheet();
    m_Page = std::make_unique<TWidgetToolPage>(*sheet, window);
    m_Page->OnToolTypeChanged = [this] { cboToolTypeChange(); };
    window.AddPage("tabTool", sheet, [this] {
        if (m_Window.ShowStatusMessage)
            m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusToolPage));
        m_Window.resize(kToolPageWidth, m_Window.height());
    });
    toolwin::InstallLibraryViews(*m_lsvTools, *m_Page, toolwin::MillViews);
}

TMillToolPage::~TMillToolPage()
{
    Detach();
}

void TMillToolPage::Detach()
{
    if (!m_lsvTools)
        return;
    toolwin::DetachLibraryViews(*m_lsvTools, toolwin::MillViews);
    m_lsvTools->BeforeGone = nullptr;
    m_lsvTools = nullptr;
}

QWidget* TMillToolPage::BuildSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetTool");
    auto* layout = new QHBoxLayout(sheet);

    auto* info = Make<QGroupBox>(sheet, "grpToolInfo", QStringLiteral("Tool"));
    toolwin::TRecordRows rows(info);
    rows.Add("lblUtName", "Name", Make<QLineEdit>(info, "txtUtName"));
    auto* number = Make<QSpinBox>(info, "sedToolNum");
    // Any number a library holds, so that reading the page back keeps it.
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    rows.Add("lblToolNum", "Number", number);
    rows.Add("lblGiri", "Speed", NumberEdit(info, "txtGiri", "300", &DecimalKeyFilter));
    auto* spindle = Make<QComboBox>(info, "cboSpindle");
    spindle->addItems({QStringLiteral("spindle CW"), QStringLiteral("spindle CCW"), QStringLiteral("spindle Off")});
    rows.Add("lblSpindle", "Spindle", spindle);
    rows.Add("lblFeedrate", "Feed", NumberEdit(info, "txtFeedrate", "100", &DecimalKeyFilter));
    rows.Add("lblPlungeRate", "Plunge", NumberEdit(info, "txtPlungeRate", "50", &DecimalKeyFilter));
    rows.Span(Make<QCheckBox>(info, "chkCoolant", QStringLiteral("Coolant")));
    m_cboToolType = Make<QComboBox>(info, "cboToolType");
    m_cboToolType->addItems({QStringLiteral("Flat"), QStringLiteral("Toro"), QStringLiteral("Sferico"),
                             QStringLiteral("Conico"), QStringLiteral("Punta"), QStringLiteral("Undefined")});
    rows.Add("lblToolType", "Type", m_cboToolType);
    m_imgTool = Make<QLabel>(info, "imgTool");
    m_imgTool->setFixedSize(kPictureSize, kPictureSize);
    rows.Grid().addWidget(m_imgTool, 0, 2, 4, 1);
    m_txtDiametro = NumberEdit(info, "txtDiametro", "4", &DecimalKeyFilter);
    rows.Add("lblDiametro", "Diameter", m_txtDiametro);
    m_txtC_Raggio = NumberEdit(info, "txtC_Raggio", "0", &DecimalKeyFilter);
    rows.Add("lblC_Raggio", "Corner radius", m_txtC_Raggio);
    rows.Add("lblAngolo", "Angle", NumberEdit(info, "txtAngolo", "0", &DecimalKeyFilter));
    rows.Add("lblDiamFlat", "Tip diameter", NumberEdit(info, "txtDiamFlat", "0", &DecimalKeyFilter));
    rows.Add("lblPassZ", "Z step", NumberEdit(info, "txtPassZ", "1", &DecimalKeyFilter));
    rows.Add("lblTLength", "Length", NumberEdit(info, "txtTLength", "0", &DecimalKeyFilter));
    QPushButton* addTool = Button(info, "sbtAddTool", "Add");
    QPushButton* modify = Button(info, "sbtModifyTool", "Change");
    rows.Pair(addTool, modify);
    rows.Add("lblOpComment", "Comment", Make<QLineEdit>(info, "txtOpComment"));
    layout->addWidget(info);

    const toolwin::TLibraryListGroup list =
        toolwin::MakeLibraryListGroup(*sheet, "grpToolList", "lsvTools", "sbtSaveLib", "sbtOpenLib", "lblToolsLibName");
    m_lsvTools = list.List;
    m_lsvTools->ItemImage = [](int type) { return ToolShapePixmap(type, 16); };
    m_lsvTools->BeforeGone = [this] { Detach(); };
    QPushButton* save = list.Save;
    QPushButton* open = list.Open;

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
    return toolwin::EditedToolLibrary();
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
    TDatiUtBase* record = toolwin::ModifySelectedRecord(*m_lsvTools, *m_Page);
    if (!record)
        return;
    QListWidgetItem* item = m_lsvTools->currentItem();
    item->setData(Qt::UserRole, record->ToolType);
    item->setIcon(QIcon(ToolShapePixmap(record->ToolType, 16)));
}

void TMillToolPage::mnuToolDeleteClick()
{
    toolwin::DeleteSelectedRecord();
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
    toolwin::OpenLibraryFile(MillFileRequest());
}

void TMillToolPage::sbtSaveLibClick()
{
    toolwin::SaveLibraryFile(MillFileRequest());
}

void TMillToolPage::lsvToolsDragDrop(int from, int to)
{
    toolwin::MoveLibraryRecord(*m_lsvTools, from, to);
}
