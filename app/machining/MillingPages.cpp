#include "app/machining/MillingPages.h"

#include "app/machining/MachiningContext.h"
#include "app/machining/PageGrid.h"
#include "app/machining/PageParams.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cam/ops/OpManager.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

using toolwin::Make;
using toolwin::TPageGrid;
using toolwin::ToggleButton;

// The summary labels, the picture and the buttons under a page's group.
void PageFooter(TPageGrid& grid, const char* image, const char* summary1, const char* summary2,
                const char* calculate, const char* cancel)
{
    QWidget* group = grid.Group();
    grid.Span(PictureLabel(group, image, 0));
    grid.Span(Make<QLabel>(group, summary1));
    grid.Span(Make<QLabel>(group, summary2));
    auto* buttons = new QWidget(group);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Make<QPushButton>(buttons, calculate, QStringLiteral("Calculate")));
    row->addWidget(Make<QPushButton>(buttons, cancel, QStringLiteral("Cancel")));
    grid.Span(buttons);
}

bool Usable(const std::string& text)
{
    return !text.empty() && text != "." && text != "-";
}

// Moves a page's picture into a third column right of the (narrow) fields
// of the rows [0, rows) and lets every later row reach across that column;
// the labels take no more width than they need.
void PictureBeside(TPageGrid& grid, const char* image, int rows)
{
    auto* layout = static_cast<QGridLayout*>(grid.Group()->layout());
    QWidget* picture = grid.Field(image);
    layout->removeWidget(picture);
    std::vector<std::pair<QWidget*, QPoint>> widen;
    for (int i = 0; i < layout->count(); ++i) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        layout->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        QWidget* widget = layout->itemAt(i)->widget();
        if (widget && row >= rows && column + columnSpan == 2)
            widen.emplace_back(widget, QPoint(column, row));
    }
    for (const auto& [widget, at] : widen) {
        layout->removeWidget(widget);
        layout->addWidget(widget, at.y(), at.x(), 1, 3 - at.x());
    }
    picture->setFixedSize(ToolWinPictureWidth, ToolWinPictureHeight);
    layout->addWidget(picture, 0, 2, rows, 1, Qt::AlignTop | Qt::AlignRight);
    layout->setColumnStretch(1, 1);
}

} // namespace

TMillingPages::TMillingPages(TfrmToolWin& window)
    : m_Window(window), m_Page(std::make_unique<TWidgetToolPage>(window, window))
{
    m_Window.AddPage("tabContour", BuildContourPage(), [this] { tabContourClick(); });
    m_Window.AddPage("tabPocket", BuildPocketPage(), [this] { tabPocketClick(); });
    m_Window.AddPage("tabDrill", BuildDrillPage(), [this] { tabDrillClick(); });
    InitOperationCombos();
    cboPocTypeChange();
    cboCycleChange();
}

TMillingPages::~TMillingPages() = default;

QWidget* TMillingPages::BuildContourPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetContour"));
    TPageGrid grid(sheet, "grpContour");
    QWidget* group = grid.Group();
    grid.Edit("lblConZRapid", "txtConZRapid", "2", SignedDecimalKeyFilter);
    grid.Edit("lblConTopStock", "txtConTopStock", "0", SignedDecimalKeyFilter);
    grid.Edit("lblConZDepthTot", "txtConZDepthTot", "-1", SignedDecimalKeyFilter);
    grid.Edit("lblConIncPassZ", "txtConIncPassZ", "1", DecimalKeyFilter);
    grid.Retract("chkConRetr", "lblContourAA", "txtConZRetr");
    QLineEdit* stock = grid.Edit("lblConStockXY", "txtConStockXY", "0", SignedDecimalKeyFilter);
    QSpinBox* rough = grid.Spin("lblConNRough", "speConNRoughCuts", 1, 99, 1);
    QLineEdit* roughSize = grid.Edit("lblConRoughSize", "txtConRoughSize", "0", DecimalKeyFilter);
    QSpinBox* finish = grid.Spin("lblConNFinish", "speConNFinishCuts", 0, 99, 0);
    QLineEdit* finishSize = grid.Edit("lblConFinishSize", "txtConFinishSize", "0", DecimalKeyFilter);
    QComboBox* method = grid.Combo("lblMethod", "cboMethod", {});
    grid.Combo("lblDepthCutOrder", "cboDepthCutOrder", {});
    grid.Combo("lblCutRules", "cboCutRules", {});
    auto* tabs = Make<QCheckBox>(group, "chkMakeTab", QStringLiteral("Holding tabs"));
    auto* tabButton = Make<QPushButton>(group, "sbtCncTab", QStringLiteral("Tabs..."));
    tabButton->setEnabled(false);
    grid.Row(nullptr, tabs);
    grid.Row(nullptr, tabButton);
    auto* xform = ToggleButton(group, "sbtConXform", "Step and repeat");
    grid.Row(nullptr, xform);
    grid.Row(nullptr, ToggleButton(group, "sbtConEntExi", "Lead-in and lead-out"));
    PageFooter(grid, "imgContour", "lblConNumDCuts", "lblConNumFCuts", "sbtConCalculate", "sbtConCancel");
    PictureBeside(grid, "imgContour", 11);

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    BindZFields(*group, true);
    QObject::connect(rough, &QSpinBox::valueChanged, group, guarded([this] { speConNRoughCutsChange(); }));
    QObject::connect(finish, &QSpinBox::valueChanged, group, guarded([this] { speConNFinishCutsChange(); }));
    QObject::connect(method, &QComboBox::activated, group, guarded([this] { cboMethodChange(); }));
    QObject::connect(tabs, &QCheckBox::clicked, group, guarded([this] { chkMakeTabClick(); }));
    QObject::connect(tabButton, &QPushButton::clicked, group, guarded([this] {
                         if (ShowTabWindow)
                             ShowTabWindow();
                     }));
    QObject::connect(xform, &QToolButton::clicked, group, guarded([this] { ToggleTransformGroup(1); }));
    BindPicture(*grid.Field("txtConZRetr"), "imgContour", 40, 2);
    BindPicture(*stock, "imgContour", 4, 0);
    BindPicture(*rough, "imgContour", 5, 0);
    BindPicture(*finish, "imgContour", 5, 0);
    BindPicture(*roughSize, "imgContour", 6, 0);
    BindPicture(*finishSize, "imgContour", 6, 0);
    return sheet;
}

QWidget* TMillingPages::BuildPocketPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetPocket"));
    TPageGrid grid(sheet, "grpPocket");
    QWidget* group = grid.Group();
    grid.Edit("lblPocZRapid", "txtPocZRapid", "2", SignedDecimalKeyFilter);
    grid.Edit("lblPocTopStock", "txtPocTopStock", "0", SignedDecimalKeyFilter);
    grid.Edit("lblPocZDepthTot", "txtPocZDepthTot", "-1", SignedDecimalKeyFilter);
    grid.Edit("lblPocIncPassZ", "txtPocIncPassZ", "1", DecimalKeyFilter);
    grid.Retract("chkPocRetr", "lblPocketAA", "txtPocZRetr");
    QLineEdit* stock = grid.Edit("lblPocStockXY", "txtPocStockXY", "0", SignedDecimalKeyFilter);
    QSpinBox* finish = grid.Spin("lblPocNFinish", "spePocNFinishCuts", 0, 99, 0);
    QLineEdit* finishSize = grid.Edit("lblPocFinishSize", "txtPocFinishSize", "0", DecimalKeyFilter);
    QComboBox* type = grid.Combo("lblPocType", "cboPocType", {QStringLiteral("Zig-zag"), QStringLiteral("Offset")});
    QLineEdit* angle = grid.Edit("lblAngZigZag", "txtAngZigZag", "0", SignedDecimalKeyFilter);
    auto* spiral = Make<QCheckBox>(group, "chkPocSpiralInOut", QStringLiteral("Spiral in to out"));
    spiral->setChecked(true);
    grid.Row(nullptr, spiral);
    QLineEdit* stepOver = grid.Edit("lblPocStepOverPer", "txtPocStepOverPer", "60", DecimalKeyFilter);
    auto* keepDown = Make<QCheckBox>(group, "chkKeepToolDown", QStringLiteral("Keep tool down"));
    keepDown->setChecked(true);
    grid.Row(nullptr, keepDown);
    grid.Combo("lblPocketEntry", "cboPocketEntry", {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
    auto* xform = ToggleButton(group, "sbtPocXform", "Step and repeat");
    grid.Row(nullptr, xform);
    grid.Row(nullptr, ToggleButton(group, "sbtPocEntExi", "Lead-in and lead-out"));
    PageFooter(grid, "imgPocket", "lblPocNumDCuts", "lblPocNumFCuts", "sbtPocCalculate", "sbtPocCancel");
    PictureBeside(grid, "imgPocket", 9);

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    BindZFields(*group, false);
    QObject::connect(type, &QComboBox::activated, group, guarded([this] { cboPocTypeChange(); }));
    QObject::connect(xform, &QToolButton::clicked, group, guarded([this] { ToggleTransformGroup(2); }));
    BindPicture(*grid.Field("txtPocZRetr"), "imgPocket", 40, 2);
    BindPicture(*stock, "imgPocket", 4, 0);
    BindPicture(*angle, "imgPocket", 4, 0);
    BindPicture(*finish, "imgPocket", 5, 0);
    BindPicture(*finishSize, "imgPocket", 6, 0);
    BindPicture(*stepOver, "imgPocket", 8, 0);
    return sheet;
}

QWidget* TMillingPages::BuildDrillPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetDrill"));
    TPageGrid grid(sheet, "grpDrill");
    QWidget* group = grid.Group();
    QLineEdit* rapid = grid.Edit("lblDriZRapid", "txtDriZRapid", "2", SignedDecimalKeyFilter);
    QLineEdit* top = grid.Edit("lblDriTopStock", "txtDriTopStock", "0", SignedDecimalKeyFilter);
    QLineEdit* depth = grid.Edit("lblDriZDepthTot", "txtDriZDepthTot", "-1", SignedDecimalKeyFilter);
    grid.Retract("chkDriRetr", "lblDrillAA", "txtDriZRetr");
    QComboBox* cycle = grid.Combo("lblCycle", "cboCycle",
                                  {QStringLiteral("Drill"), QStringLiteral("Peck"), QStringLiteral("Tap")});
    grid.Edit("lblCycleInc", "txtDriIncPassZ", "1", DecimalKeyFilter);
    grid.Span(Make<QLineEdit>(group, "dri_txtPasso", QStringLiteral("1")));
    TCharKeyFilter::Install(*static_cast<QLineEdit*>(grid.Field("dri_txtPasso")), SignedDecimalKeyFilter);
    QLabel* picture = PictureLabel(group, "imgDrill", 0);
    picture->setFixedSize(ToolWinPictureWidth, ToolWinPictureHeight);
    grid.Span(picture);
    auto* buttons = new QWidget(group);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Make<QPushButton>(buttons, "sbtDriCalculate", QStringLiteral("Calculate")));
    row->addWidget(Make<QPushButton>(buttons, "sbtDriCancel", QStringLiteral("Cancel")));
    grid.Span(buttons);

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    QObject::connect(cycle, &QComboBox::activated, group, guarded([this] { cboCycleChange(); }));
    auto* retract = static_cast<QCheckBox*>(grid.Field("chkDriRetr"));
    QObject::connect(retract, &QCheckBox::clicked, group, guarded([this] {
                         const bool on = m_Page->Checked("chkDriRetr");
                         m_Page->SetEnabled("txtDriZRetr", on);
                         m_Page->SetEnabled("lblDrillAA", on);
                     }));
    BindPicture(*rapid, "imgDrill", 0, 0);
    BindPicture(*top, "imgDrill", 1, 0);
    BindPicture(*depth, "imgDrill", 2, 0);
    BindPicture(*grid.Field("txtDriZRetr"), "imgDrill", 40, 0);
    return sheet;
}

void TMillingPages::BindZFields(QWidget& group, bool contour)
{
    const auto field = [&group](const char* name) { return group.findChild<QLineEdit*>(QString::fromLatin1(name)); };
    const auto bind = [&field](const char* name, std::function<void()> change) {
        QLineEdit* edit = field(name);
        QObject::connect(edit, &QLineEdit::textChanged, edit, [change] { GuardedCall(change); });
    };
    const char* const rapid = contour ? "txtConZRapid" : "txtPocZRapid";
    const char* const top = contour ? "txtConTopStock" : "txtPocTopStock";
    bind(contour ? "txtConIncPassZ" : "txtPocIncPassZ", [this, contour] { IncPassChange(contour); });
    bind(contour ? "txtConZDepthTot" : "txtPocZDepthTot", [this, contour] { DepthChange(contour); });
    bind(top, [this, contour, top] { TopOrRapidChange(contour, top); });
    bind(rapid, [this, contour, rapid] { TopOrRapidChange(contour, rapid); });
    // The pictures of the four Z fields, with the summary.
    const char* const image = contour ? "imgContour" : "imgPocket";
    const char* const names[] = {rapid, top, contour ? "txtConZDepthTot" : "txtPocZDepthTot",
                                 contour ? "txtConIncPassZ" : "txtPocIncPassZ"};
    for (int i = 0; i < 4; ++i)
        BindPicture(*field(names[i]), image, i, 1);

    auto* check = group.findChild<QCheckBox*>(QString::fromLatin1(contour ? "chkConRetr" : "chkPocRetr"));
    auto* edit = field(contour ? "txtConZRetr" : "txtPocZRetr");
    QObject::connect(check, &QCheckBox::clicked, check, [this, contour] {
        GuardedCall([this, contour] {
            const bool on = m_Page->Checked(contour ? "chkConRetr" : "chkPocRetr");
            m_Page->SetEnabled(contour ? "txtConZRetr" : "txtPocZRetr", on);
            m_Page->SetEnabled(contour ? "lblContourAA" : "lblPocketAA", on);
        });
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [this, contour] { GuardedCall([this, contour] { RetractChange(contour); }); });
}

void TMillingPages::BindPicture(QWidget& field, const char* image, int index, int summary)
{
    const std::string picture = image;
    toolwin::OnEnter(field, [this, picture, index, summary, &field] {
        // Z fields of an "LPJ_Post" show the one picture of its own.
        const bool zField = summary == 1;
        SetPicture(picture.c_str(), zField && PostInfo().LPJPost() ? 7 : index);
        const bool contour = picture == "imgContour";
        if (summary != 0) {
            ShowSummary(contour);
        } else if (picture != "imgDrill") {
            m_Page->SetText(contour ? "lblConNumDCuts" : "lblPocNumDCuts", std::string());
            m_Page->SetText(contour ? "lblConNumFCuts" : "lblPocNumFCuts", std::string());
        }
        (void)field;
    });
}

void TMillingPages::SetPicture(const char* image, int index)
{
    SetPagePicture(*m_Page, image, index);
}

// --- Lists and enabling rules -----------------------------------------------------

void TMillingPages::InitOperationCombos()
{
    m_Page->SetItemIndex("cboCycle", 0);
    m_Page->SetItemIndex("cboPocType", 0);
    m_Page->SetItemIndex("cboLasPocType", 0);
    const auto refill = [this](const char* name, std::initializer_list<const char*> keys, int selected) {
        auto* combo = qobject_cast<QComboBox*>(m_Page->Find(name));
        if (!combo)
            return;
        combo->clear();
        for (const char* key : keys)
            combo->addItem(AnsiToQString(LangToolWinText(key)));
        combo->setCurrentIndex(selected);
    };
    refill("cboMethod", {"cboMethod0", "cboMethod1", "cboMethod2"}, 0);
    refill("cboDepthCutOrder", {"cboDepthCutOrder0", "cboDepthCutOrder1"}, 1);
    refill("cboCutRules", {"cboCutRules0"}, 0);
    refill("cboLasCutMethod", {"cboMethod0", "cboMethod1", "cboMethod2"}, 0);
    refill("cboLasCutRules", {"cboCutRules0"}, 0);
}

void TMillingPages::cboCCDirChange()
{
    const bool on = m_Page->ItemIndex("cboCCDir") >= 1;
    if (!on) {
        m_Page->SetText("speConNRoughCuts", "1");
        m_Page->SetText("speConNFinishCuts", "0");
    }
    m_Page->SetEnabled("chkG41G42", on);
    m_Page->SetEnabled("sbtConEntExi", on);
    speConNRoughCutsChange();
    m_Page->SetEnabled("speConNRoughCuts", on);
    m_Page->SetEnabled("lblConNRough", on);
    speConNFinishCutsChange();
    m_Page->SetEnabled("speConNFinishCuts", on);
    m_Page->SetEnabled("lblConNFinish", on);
    TMachiningContext* context = MachiningContext();
    if (TOpManagerField* op = context ? context->CurrentOperation() : nullptr)
        op->Chains.DrawArrows(m_Page->ItemIndex("cboCCDir"), true);
}

void TMillingPages::speConNRoughCutsChange()
{
    const bool many = ParseInteger(m_Page->Text("speConNRoughCuts")).value_or(0) > 1;
    m_Page->SetEnabled("txtConRoughSize", many);
    m_Page->SetEnabled("lblConRoughSize", many);
    if (!many)
        m_Page->SetText("txtConRoughSize", "0.0");
}

void TMillingPages::speConNFinishCutsChange()
{
    const bool any = m_Page->Text("speConNFinishCuts") != "0";
    m_Page->SetEnabled("txtConFinishSize", any);
    m_Page->SetEnabled("lblConFinishSize", any);
    if (!any)
        m_Page->SetText("txtConFinishSize", "0.0");
}

void TMillingPages::cboMethodChange()
{
    const int method = m_Page->ItemIndex("cboMethod");
    const bool free = method != 1;
    for (const char* name : {"cboDepthCutOrder", "lblDepthCutOrder", "sbtConEntExi", "chkMakeTab"})
        m_Page->SetEnabled(name, free);
    if (free) {
        m_Page->SetItemIndex("cboDepthCutOrder", RememberedDepthOrder);
    } else {
        if (m_Page->Checked("chkMakeTab")) {
            m_Page->SetChecked("chkMakeTab", false);
            chkMakeTabClick();
        }
        RememberedDepthOrder = m_Page->ItemIndex("cboDepthCutOrder");
        m_Page->SetItemIndex("cboDepthCutOrder", 0);
    }
    toolwin::OfferCutRules(*m_Page, "cboCutRules", !free);
}

void TMillingPages::cboPocTypeChange()
{
    toolwin::ApplyPocketType(*m_Page,
                             {"cboPocType", "lblAngZigZag", "txtAngZigZag", "chkPocSpiralInOut", "spePocNFinishCuts"});
}

void TMillingPages::cboCycleChange()
{
    const int cycle = m_Page->ItemIndex("cboCycle");
    m_Page->SetVisible("txtDriIncPassZ", cycle == 1);
    m_Page->SetVisible("dri_txtPasso", cycle == 2);
    m_Page->SetVisible("lblCycleInc", cycle == 1 || cycle == 2);
    m_Page->SetText("lblCycleInc",
                    LangText(cycle == 2 ? LangKeys::String::CyclePitch : LangKeys::String::CycleIncrement));
}

void TMillingPages::chkMakeTabClick()
{
    m_Page->SetEnabled("sbtCncTab", m_Page->Checked("chkMakeTab"));
}

// --- Z fields -------------------------------------------------------------------------

void TMillingPages::ShowSummary(bool contour)
{
    TMachiningContext* context = MachiningContext();
    TOpManagerField* op = context ? context->CurrentOperation() : nullptr;
    if (!op)
        return;
    m_Page->SetText(contour ? "lblConNumDCuts" : "lblPocNumDCuts", op->DepthPassText1);
    m_Page->SetText(contour ? "lblConNumFCuts" : "lblPocNumFCuts", op->DepthPassText2);
}

namespace {

struct TZFields {
    const char* Rapid;
    const char* Top;
    const char* Depth;
    const char* Step;
    const char* Retract;
};
constexpr TZFields ContourZ{"txtConZRapid", "txtConTopStock", "txtConZDepthTot", "txtConIncPassZ", "txtConZRetr"};
constexpr TZFields PocketZ{"txtPocZRapid", "txtPocTopStock", "txtPocZDepthTot", "txtPocIncPassZ", "txtPocZRetr"};

TOpManagerField* EditedOperation()
{
    TMachiningContext* context = MachiningContext();
    return context ? context->CurrentOperation() : nullptr;
}

void Compute(const TWidgetToolPage& page, TOpManagerField& op, const TZFields& z)
{
    op.ComputeDepthPasses(page.Text(z.Rapid), page.Text(z.Top), page.Text(z.Depth), page.Text(z.Step));
}

// a < b when both texts are numbers; none when one is not.
std::optional<bool> Below(const std::string& a, const std::string& b)
{
    const auto x = ParseDecimal(a);
    const auto y = ParseDecimal(b);
    if (!x || !y)
        return std::nullopt;
    return *x < *y;
}

} // namespace

void TMillingPages::ComputeDepthPasses(TOpManagerField& op)
{
    if (op.Kind == OpKind::Contour || op.Kind == OpKind::Letters)
        Compute(*m_Page, op, ContourZ);
    else if (op.Kind == OpKind::Pocket)
        Compute(*m_Page, op, PocketZ);
}

void TMillingPages::IncPassChange(bool contour)
{
    TOpManagerField* op = EditedOperation();
    if (!op)
        return;
    Compute(*m_Page, *op, contour ? ContourZ : PocketZ);
    ShowSummary(contour);
}

void TMillingPages::DepthChange(bool contour)
{
    TOpManagerField* op = EditedOperation();
    if (!op)
        return;
    const TZFields& z = contour ? ContourZ : PocketZ;
    if (Usable(m_Page->Text(z.Depth))) {
        Compute(*m_Page, *op, z);
        if (Below(m_Page->Text(z.Top), m_Page->Text(z.Depth)).value_or(false))
            op->DepthPassText2 = LangText(LangKeys::String::ZTopBelowDepth);
    }
    ShowSummary(contour);
}

void TMillingPages::TopOrRapidChange(bool contour, const char* field)
{
    TOpManagerField* op = EditedOperation();
    if (!op)
        return;
    const TZFields& z = contour ? ContourZ : PocketZ;
    if (Usable(m_Page->Text(field))) {
        const std::optional<bool> below = Below(m_Page->Text(z.Top), m_Page->Text(z.Rapid));
        if (below.value_or(false))
            Compute(*m_Page, *op, z);
        else if (below)
            op->DepthPassText2 = LangText(LangKeys::String::ZTopNotBelowRapid);
    }
    ShowSummary(contour);
}

void TMillingPages::RetractChange(bool contour)
{
    TOpManagerField* op = EditedOperation();
    if (!op)
        return;
    const TZFields& z = contour ? ContourZ : PocketZ;
    if (Usable(m_Page->Text(z.Retract))) {
        const std::optional<bool> below = Below(m_Page->Text(z.Top), m_Page->Text(z.Retract));
        if (below.value_or(false)) {
            Compute(*m_Page, *op, z);
        } else if (below) {
            if (contour)
                op->DepthPassText1.clear();
            op->DepthPassText2 = LangText(LangKeys::String::ZTopNotBelowRapid);
        }
    }
    ShowSummary(contour);
}

// --- Step and repeat --------------------------------------------------------------------

void TMillingPages::ToggleTransformGroup(int kind)
{
    // The page and its button: contour and letters, pocket, laser cut and
    // laser pocket.
    const char* tab = "tabContour";
    const char* button = "sbtConXform";
    if (kind == OpKind::Pocket) {
        tab = "tabPocket";
        button = "sbtPocXform";
    } else if (kind == OpKind::LaserCut) {
        tab = "tabLaserCut";
        button = "sbtLasCutXform";
    } else if (kind == OpKind::LaserPocket) {
        tab = "tabLaserPocket";
        button = "sbtLasPocXform";
    }
    QWidget* sheet = m_Window.Sheet(tab);
    TOpManagerField* op = EditedOperation();
    // While the pages are being put up (hidden) a page's tab handler may run
    // before the operation's values fill the button: the switch it stores
    // is left alone then, and the group follows once the page is clicked.
    if (!sheet || !op || !m_Window.isVisible())
        return;
    TParametriOperazione& p = *op->Parameters;
    const bool down = m_Page->Checked(button);
    auto* existing = sheet->findChild<QGroupBox*>(QStringLiteral("grpCncXform"));
    if (down && !existing) {
        m_Window.resize(m_Window.width() + 160, m_Window.height());
        auto* group = new QGroupBox(AnsiToQString(LangToolWinCaption("grpCncXform")), sheet);
        group->setObjectName(QStringLiteral("grpCncXform"));
        group->setGeometry(360, 8, 140, 258);
        const char* const labels[] = {"lblCncXformXStep", "lblCncXformXDelta", "lblCncXformYStep",
                                      "lblCncXformYDelta"};
        const int tops[] = {24, 48, 80, 104};
        const std::string values[] = {std::to_string(p.StepCountX), FormatCoord(p.StepX),
                                      std::to_string(p.StepCountY), FormatCoord(p.StepY)};
        const char* const* names = TransformEditNames(kind);
        for (int i = 0; i < 4; ++i) {
            auto* label = Make<QLabel>(group, labels[i], AnsiToQString(LangToolWinCaption(labels[i])));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setGeometry(8, tops[i], 60, 13);
            auto* edit = Make<QLineEdit>(group, names[i], AnsiToQString(values[i]));
            edit->setGeometry(68, tops[i], 60, 21);
            TCharKeyFilter::Install(*edit, i % 2 == 0 ? DigitKeyFilter : SignedDecimalKeyFilter);
        }
        group->show();
        p.XformOn = 1;
    } else if (down) {
        // Shown again with its page (the page set its own width first).
        m_Window.resize(m_Window.width() + 160, m_Window.height());
    } else if (!down && p.XformOn) {
        m_Window.resize(m_Window.width() - 160, m_Window.height());
        delete existing;
        p.XformOn = 0;
    }
}

// --- Tabs -------------------------------------------------------------------------------

void TMillingPages::tabContourClick()
{
    if (m_Window.ShowStatusMessage)
        m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusParameterPage));
    m_Window.resize(348, m_Window.height());
    ToggleTransformGroup(1);
    IncPassChange(true);
}

void TMillingPages::tabPocketClick()
{
    if (m_Window.ShowStatusMessage)
        m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusParameterPage));
    m_Window.resize(348, m_Window.height());
    ToggleTransformGroup(2);
    IncPassChange(false);
}

void TMillingPages::tabDrillClick()
{
    if (m_Window.ShowStatusMessage)
        m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusParameterPage));
    m_Window.resize(348, m_Window.height());
}
