#include "app/toolwin/LatheToolPage.h"

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
#include "cam/ui/EntryExitDialogs.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <limits>

using toolwin::Button;
using toolwin::Make;
using toolwin::NumberEdit;

namespace {

// The open and save dialogs start at "LatheLib"; they name the files apart.
const toolwin::TLibraryFiles kLatheOpenFiles{"LatheLib files", "rlb", &TAppConfig::LatheLib};
const toolwin::TLibraryFiles kLatheSaveFiles{"Tool files", "rlb", &TAppConfig::LatheLib};

// The lathe tool of the operation being edited, or null.
TDatiUtTornio* OperationLatheTool()
{
    TMachiningContext* context = MachiningContext();
    TOpManagerField* op = context ? context->CurrentOperation() : nullptr;
    return op && op->Parameters ? dynamic_cast<TDatiUtTornio*>(op->Parameters->ToolData.get()) : nullptr;
}

} // namespace

TLatheToolPage::TLatheToolPage(TfrmToolWin& window) : QObject(&window), m_Window(window)
{
    QWidget* sheet = BuildSheet();
    m_Page = std::make_unique<TWidgetToolPage>(*sheet, window);
    toolwin::AddToolLibraryPage(window, "tabLatheTool", sheet);
    toolwin::InstallLibraryViews(&TToolLibraryViews::LatheList, &TToolLibraryViews::LathePage, m_lsvLatheTools,
                                 m_Page.get());
}

TLatheToolPage::~TLatheToolPage()
{
    Detach();
}

void TLatheToolPage::Detach()
{
    toolwin::ReleaseLibraryViews(&TToolLibraryViews::LatheList, &TToolLibraryViews::LathePage, m_lsvLatheTools);
}

QWidget* TLatheToolPage::BuildSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetLatheTool");
    auto* layout = new QHBoxLayout(sheet);

    auto* info = Make<QGroupBox>(sheet, "grpLatheT2", QStringLiteral("Tool"));
    toolwin::TFormRows form(info);
    const auto add = [&form](const char* label, const char* text, QWidget* field) { form.Add(label, text, field); };
    auto* number = Make<QSpinBox>(info, "sedLatheToolNum");
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    add("lblLatheToolNum", "Number", number);
    add("lblLatheGiri", "Speed", NumberEdit(info, "txtLatheGiri", "300", &DecimalKeyFilter));
    auto* spindle = Make<QComboBox>(info, "cboLatheSpindle");
    spindle->addItems({QStringLiteral("Off"), QStringLiteral("CW RPM"), QStringLiteral("CW CSS"),
                       QStringLiteral("CCW RPM"), QStringLiteral("CCW CSS")});
    add("lblLatheSpindle", "Spindle", spindle);
    add("lblLatheFeedrate", "Feed", NumberEdit(info, "txtLatheFeedrate", "100", &DecimalKeyFilter));
    auto* units = new QHBoxLayout;
    auto* perMinute = Make<QRadioButton>(info, "rbtLatheUMin", QStringLiteral("mm/min"));
    auto* perRev = Make<QRadioButton>(info, "rbtLatheURev", QStringLiteral("mm/rev"));
    perRev->setChecked(true);
    units->addWidget(perMinute);
    units->addWidget(perRev);
    auto* unitRow = new QWidget(info);
    unitRow->setLayout(units);
    units->setContentsMargins(0, 0, 0, 0);
    form.Pair(new QWidget(info), unitRow);
    form.Span(Make<QCheckBox>(info, "chkLCoolant", QStringLiteral("Coolant")));
    QPushButton* addTool = Button(info, "sbtLAddTool", "Add");
    QPushButton* modify = Button(info, "sbtLModifyTool", "Change");
    form.Pair(addTool, modify);
    QPushButton* geometry = Button(info, "sbtToolGeo", "Insert geometry");
    geometry->setMinimumHeight(96);
    form.Span(geometry);
    form.Grid().setRowStretch(form.Row(), 1);
    layout->addWidget(info);

    const toolwin::TLibraryListGroup list = toolwin::MakeLibraryListGroup(
        sheet, {"grpLatheToolList", "lsvLatheTools", "sbtLatheSaveLib", "sbtLatheOpenLib", "lblLatheToolsLibName"});
    m_lsvLatheTools = list.List;
    m_lsvLatheTools->OnMove = [this](int from, int to) { lsvLatheToolsDragDrop(from, to); };
    m_lsvLatheTools->BeforeGone = [this] { Detach(); };
    layout->addWidget(list.Group);
    QPushButton* save = list.Save;
    QPushButton* open = list.Open;
    toolwin::AddDeleteMenu(*m_lsvLatheTools);

    const auto bind = [this](auto* sender, auto signal, void (TLatheToolPage::*handler)()) {
        connect(sender, signal, this, [this, handler] { GuardedCall([this, handler] { (this->*handler)(); }); });
    };
    bind(addTool, &QPushButton::clicked, &TLatheToolPage::sbtLAddToolClick);
    bind(modify, &QPushButton::clicked, &TLatheToolPage::sbtLModifyToolClick);
    bind(geometry, &QPushButton::clicked, &TLatheToolPage::sbtToolGeoClick);
    bind(open, &QPushButton::clicked, &TLatheToolPage::sbtLatheOpenLibClick);
    bind(save, &QPushButton::clicked, &TLatheToolPage::sbtLatheSaveLibClick);
    return sheet;
}

void TLatheToolPage::sbtLAddToolClick()
{
    toolwin::AddRecordFromPage();
}

void TLatheToolPage::sbtLModifyToolClick()
{
    const int index = toolwin::SelectedRecord(*m_lsvLatheTools);
    if (index < 0)
        return;
    TLibreriaUtBase& library = *toolwin::PageLibrary();
    auto* record = dynamic_cast<TDatiUtTornio*>(&library.Record(index));
    if (!record)
        return;
    // The insert geometry edited for the operation comes along.
    if (const TDatiUtTornio* tool = OperationLatheTool())
        record->Assign(*tool);
    if (!record->FromPage(*m_Page))
        return;
    m_lsvLatheTools->item(index)->setText(AnsiToQString(library.ItemCaption(*record)));
}

void TLatheToolPage::sbtToolGeoClick()
{
    TMachiningContext* context = MachiningContext();
    TOpManagerField* op = context ? context->CurrentOperation() : nullptr;
    if (!op || !op->Parameters)
        return;
    auto dialog = std::make_unique<TLatToolGeoDef>(*op->Parameters, &m_Window);
    dialog->setObjectName(QStringLiteral("TLatToolGeoDef"));
    UserNotifier().RunDialog("TLatToolGeoDef", [&dialog] { return dialog->Execute(); });
    if (const TDatiUtTornio* tool = OperationLatheTool())
        tool->ShowOnButton(*m_Page);
}

void TLatheToolPage::sbtLatheOpenLibClick()
{
    toolwin::OpenLibraryFile(kLatheOpenFiles);
}

void TLatheToolPage::sbtLatheSaveLibClick()
{
    toolwin::SaveLibraryFile(kLatheSaveFiles);
}

void TLatheToolPage::lsvLatheToolsDragDrop(int from, int to)
{
    toolwin::MoveRecord(*m_lsvLatheTools, from, to);
}
