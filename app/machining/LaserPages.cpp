#include "app/machining/LaserPages.h"

#include "app/machining/MillingPages.h"
#include "app/machining/PageGrid.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "core/entities/Bitmap2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

using toolwin::BindEnterPicture;
using toolwin::Make;
using toolwin::TPageGrid;
using toolwin::ToggleButton;

namespace {

constexpr int kParameterPageWidth = 348;

// A picture label spanning the grid.
void AddPicture(TPageGrid& grid, const char* image)
{
    grid.Span(PictureLabel(grid.Group(), image, 0));
}

// The Calculate and Cancel buttons under a page's group.
void AddButtons(TPageGrid& grid, const char* calculate, const char* cancel)
{
    auto* buttons = new QWidget(grid.Group());
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Make<QPushButton>(buttons, calculate, QStringLiteral("Calculate")));
    row->addWidget(Make<QPushButton>(buttons, cancel, QStringLiteral("Cancel")));
    grid.Span(buttons);
}

// Two radio buttons side by side, the first ticked; they exclude each
// other only.
std::pair<QRadioButton*, QRadioButton*> RadioPair(QWidget* parent, const char* first, const char* firstText,
                                                  const char* second, const char* secondText)
{
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* a = Make<QRadioButton>(box, first, QString::fromLatin1(firstText));
    auto* b = Make<QRadioButton>(box, second, QString::fromLatin1(secondText));
    a->setChecked(true);
    row->addWidget(a);
    row->addWidget(b);
    return {a, b};
}

double Length(const TVector3D& v)
{
    return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
}

} // namespace

std::string LaserPixelSizeText(const TBitmap2D* bitmap)
{
    if (!bitmap || bitmap->Bitmap().width() <= 0 || bitmap->Bitmap().height() <= 0)
        return {};
    const TScenePlane plane = bitmap->ScenePlane();
    // The plane's axes carry the entity's scale.
    const double width = std::abs(plane.Width) * Length(plane.AxisX);
    const double height = std::abs(plane.Height) * Length(plane.AxisY);
    return LangToolWinText(LangKeys::frmToolWin::strPixelDim) + " X=" + FormatCoord(width / bitmap->Bitmap().width()) +
           ", Y=" + FormatCoord(height / bitmap->Bitmap().height());
}

TLaserPages::TLaserPages(TfrmToolWin& window, TMillingPages& milling)
    : m_Window(window), m_Milling(milling), m_Page(milling.Page())
{
    m_Window.AddPage("tabLaserEng", BuildEngravePage(), [this] { tabLaserEngClick(); });
    m_Window.AddPage("tabLaserCut", BuildCutPage(), [this] { tabLaserCutClick(); });
    m_Window.AddPage("tabLaserPocket", BuildPocketPage(), [this] { tabLaserPocketClick(); });
    rbtLasRasMetClick();
    cboLasCutMethodChange();
    cboLasPocTypeChange();
}

// --- Pages ----------------------------------------------------------------------------

QWidget* TLaserPages::BuildEngravePage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetLaserEng"));
    TPageGrid grid(sheet, "grpLaserEng");
    QWidget* group = grid.Group();
    AddPicture(grid, "imgLaser");
    QLineEdit* plane = grid.Edit("lblLaserPlane", "txtLaserPlane", "2", SignedDecimalKeyFilter);
    QComboBox* method = grid.Combo("lblLaserCM", "cboLaserCM", {QStringLiteral("Zig-zag"), QStringLiteral("One way")});
    const auto [dot, join] = RadioPair(group, "rbtLaserDot", "Dots", "rbtLaserJoin", "Joined");
    grid.Span(dot->parentWidget());
    const auto [raster, vector] = RadioPair(group, "rbtLasRasMet", "Raster", "rbtLasVecMet", "Vector");
    grid.Span(raster->parentWidget());

    auto* rasterGroup = Make<QGroupBox>(group, "grpLasRasMet", QStringLiteral("Raster"));
    auto* rasterRow = new QHBoxLayout(rasterGroup);
    auto* horizontal = Make<QRadioButton>(rasterGroup, "rbtLasHor", QStringLiteral("Horizontal"));
    auto* vertical = Make<QRadioButton>(rasterGroup, "rbtLasVer", QStringLiteral("Vertical"));
    horizontal->setChecked(true);
    rasterRow->addWidget(horizontal);
    rasterRow->addWidget(vertical);
    grid.Span(rasterGroup);

    auto* vectorGroup = Make<QGroupBox>(group, "grpLasVecMet", QStringLiteral("Vector"));
    auto* vectorForm = new QGridLayout(vectorGroup);
    const auto vectorEdit = [&](int row, const char* label, const char* labelText, const char* name,
                                const char* text, TCharKeyFilter::TFilter filter) {
        vectorForm->addWidget(Make<QLabel>(vectorGroup, label, QString::fromLatin1(labelText)), row, 0);
        QLineEdit* edit = toolwin::NumberEdit(vectorGroup, name, text, filter);
        edit->setMaximumWidth(70);
        vectorForm->addWidget(edit, row, 1);
        return edit;
    };
    QLineEdit* angle = vectorEdit(0, "lblLaserAngle", "Angle", "txtLaserAngle", "0", SignedDecimalKeyFilter);
    QLineEdit* stepOver = vectorEdit(1, "lblLasStepOv", "Step over", "txtLasStepOv", "0.3", DecimalKeyFilter);
    QLineEdit* stepAlong = vectorEdit(2, "lblLasStepAl", "Step along", "txtLasStepAl", "0.3", DecimalKeyFilter);
    grid.Span(vectorGroup);

    grid.Row(nullptr, Make<QCheckBox>(group, "chkLasGrey", QStringLiteral("Grey levels")));
    auto* pixel = Make<QLineEdit>(group, "txtLasPixDim");
    pixel->setReadOnly(true);
    grid.Span(pixel);
    AddButtons(grid, "sbtLasEngCal", "sbtLasEngCancel");

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    for (QRadioButton* button : {raster, vector})
        QObject::connect(button, &QRadioButton::clicked, group, guarded([this] { rbtLasRasMetClick(); }));
    QObject::connect(method, &QComboBox::activated, group, guarded([this] { cboLaserCMChange(); }));
    toolwin::OnEnter(*method, [this] { cboLaserCMChange(); });
    const std::pair<QRadioButton*, int> clickPictures[] = {{vertical, 26}, {horizontal, 20}, {dot, 27}, {join, 28}};
    for (const auto& [button, index] : clickPictures)
        QObject::connect(button, &QRadioButton::clicked, group,
                         guarded([this, index] { SetPicture("imgLaser", index); }));
    BindEnterPicture(*plane, m_Page, "imgLaser", 22);
    BindEnterPicture(*angle, m_Page, "imgLaser", 23);
    BindEnterPicture(*stepOver, m_Page, "imgLaser", 24);
    BindEnterPicture(*stepAlong, m_Page, "imgLaser", 25);
    return sheet;
}

QWidget* TLaserPages::BuildCutPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetLaserCut"));
    TPageGrid grid(sheet, "grpLaserCut");
    QWidget* group = grid.Group();
    AddPicture(grid, "imgLasCut");
    QLineEdit* feed = grid.Edit("lblLasCutFeedPlane", "txtLasCutFeedPlane", "0", SignedDecimalKeyFilter);
    QLineEdit* safe = grid.Edit("lblLasCutZSafe", "txtLasCutZSafe", "2", SignedDecimalKeyFilter);
    QLineEdit* stock = grid.Edit("lblLasCutStockXY", "txtLasCutStockXY", "0", SignedDecimalKeyFilter);
    grid.Spin("lblLaserCutNPasses", "sedLaserCutNPasses", 1, 99, 1);
    QComboBox* method = grid.Combo("lblLasCutMethod", "cboLasCutMethod", {});
    grid.Combo("lblLasCutRules", "cboLasCutRules", {});
    auto* tabs = Make<QCheckBox>(group, "chkLasMakeTab", QStringLiteral("Holding tabs"));
    auto* tabButton = Make<QPushButton>(group, "sbtLasCncTab", QStringLiteral("Tabs..."));
    tabButton->setEnabled(false);
    grid.Row(nullptr, tabs);
    grid.Row(nullptr, tabButton);
    auto* xform = ToggleButton(group, "sbtLasCutXform", "Step and repeat");
    grid.Row(nullptr, xform);
    grid.Row(nullptr, ToggleButton(group, "sbtCutEntExi", "Lead-in and lead-out"));
    AddButtons(grid, "sbtlasCutCalculate", "sbtLasCutCancel");

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    QObject::connect(method, &QComboBox::activated, group, guarded([this] { cboLasCutMethodChange(); }));
    QObject::connect(tabs, &QCheckBox::clicked, group, guarded([this] { chkLasMakeTabClick(); }));
    QObject::connect(tabButton, &QPushButton::clicked, group, guarded([this] {
                         if (m_Milling.ShowTabWindow)
                             m_Milling.ShowTabWindow();
                     }));
    QObject::connect(xform, &QToolButton::clicked, group, guarded([this] { sbtLasCutXformClick(); }));
    BindEnterPicture(*feed, m_Page, "imgLasCut", 39);
    BindEnterPicture(*safe, m_Page, "imgLasCut", 22);
    BindEnterPicture(*stock, m_Page, "imgLasCut", 4);
    return sheet;
}

QWidget* TLaserPages::BuildPocketPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetLaserPocket"));
    TPageGrid grid(sheet, "grpLasPocket");
    QWidget* group = grid.Group();
    AddPicture(grid, "imgLasPoc");
    QLineEdit* feed = grid.Edit("lblLasPocFeedPlane", "txtLasPocFeedPlane", "0", SignedDecimalKeyFilter);
    QLineEdit* safe = grid.Edit("lblLasPocZSafe", "txtLasPocZSafe", "2", SignedDecimalKeyFilter);
    QLineEdit* stock = grid.Edit("lblLasPocStockXY", "txtLasPocStockXY", "0", SignedDecimalKeyFilter);
    QSpinBox* finish = grid.Spin("lblLasPocNFinish", "speLasPocNFinishCuts", 0, 99, 0);
    QLineEdit* finishSize = grid.Edit("lblLasPocFinishSize", "txtLasPocFinishSize", "0", DecimalKeyFilter);
    QComboBox* type = grid.Combo("lblLasPocType", "cboLasPocType", {QStringLiteral("Zig-zag"), QStringLiteral("Offset")});
    grid.Edit("lblLasAngZigZag", "txtLasAngZigZag", "0", SignedDecimalKeyFilter);
    auto* spiral = Make<QCheckBox>(group, "chkLasPocSpiralInOut", QStringLiteral("Spiral in to out"));
    spiral->setChecked(true);
    grid.Row(nullptr, spiral);
    auto* keepDown = Make<QCheckBox>(group, "chkLasKeepToolDown", QStringLiteral("Keep the laser on"));
    keepDown->setChecked(true);
    grid.Row(nullptr, keepDown);
    QLineEdit* stepOver = grid.Edit("lblLasPocStepOverPer", "txtLasPocStepOverPer", "60", DecimalKeyFilter);
    auto* xform = ToggleButton(group, "sbtLasPocXform", "Step and repeat");
    grid.Row(nullptr, xform);
    grid.Row(nullptr, ToggleButton(group, "sbtLasPocEntExi", "Lead-in and lead-out"));
    // Kept hidden: depth, increment and entry as the milling pocket has them.
    QLineEdit* depth = grid.Edit(nullptr, "SpTBXEdit4", "-1", SignedDecimalKeyFilter);
    QLineEdit* increment = grid.Edit(nullptr, "SpTBXEdit5", "1", DecimalKeyFilter);
    QComboBox* entry = grid.Combo(nullptr, "SpTBXComboBox3", {});
    for (QWidget* hidden : std::initializer_list<QWidget*>{depth, increment, entry})
        hidden->hide();
    AddButtons(grid, "sbtLasPocCalculate", "sbtLasPocCancel");

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    QObject::connect(type, &QComboBox::activated, group, guarded([this] { cboLasPocTypeChange(); }));
    QObject::connect(xform, &QToolButton::clicked, group, guarded([this] { sbtLasPocXformClick(); }));
    QObject::connect(depth, &QLineEdit::textChanged, group, guarded([this] { m_Milling.DepthChange(false); }));
    QObject::connect(increment, &QLineEdit::textChanged, group, guarded([this] { m_Milling.IncPassChange(false); }));
    BindEnterPicture(*feed, m_Page, "imgLasPoc", 39);
    BindEnterPicture(*safe, m_Page, "imgLasPoc", 22);
    BindEnterPicture(*stock, m_Page, "imgLasPoc", 4);
    BindEnterPicture(*stepOver, m_Page, "imgLasPoc", 8);
    BindEnterPicture(*finish, m_Page, "imgLasPoc", 5);
    BindEnterPicture(*finishSize, m_Page, "imgLasPoc", 6);
    return sheet;
}

void TLaserPages::SetPicture(const char* image, int index)
{
    SetPagePicture(m_Page, image, index);
}

// --- Engraving --------------------------------------------------------------------------

void TLaserPages::tabLaserEngClick()
{
    m_Window.resize(kParameterPageWidth, m_Window.height());
    SetPicture("imgLaser", 22);
    const bool raster = m_Page.Checked("rbtLasRasMet");
    m_Page.SetVisible("grpLasRasMet", raster);
    m_Page.SetVisible("grpLasVecMet", !raster);
}

void TLaserPages::rbtLasRasMetClick()
{
    const bool raster = m_Page.Checked("rbtLasRasMet");
    m_Page.SetVisible("grpLasRasMet", raster);
    m_Page.SetVisible("grpLasVecMet", !raster);
    SetPicture("imgLaser", raster ? 29 : 30);
}

void TLaserPages::cboLaserCMChange()
{
    SetPicture("imgLaser", m_Page.ItemIndex("cboLaserCM") == 1 ? 21 : 20);
}

// --- Cut --------------------------------------------------------------------------------

void TLaserPages::ParameterTabClick(int kind)
{
    if (m_Window.ShowStatusMessage)
        m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusParameterPage));
    m_Window.resize(kParameterPageWidth, m_Window.height());
    m_Milling.ToggleTransformGroup(kind);
}

void TLaserPages::tabLaserCutClick()
{
    ParameterTabClick(OpKind::LaserCut);
}

void TLaserPages::cboLasCutMethodChange()
{
    const bool method1 = m_Page.ItemIndex("cboLasCutMethod") == 1;
    m_Page.SetEnabled("chkLasMakeTab", !method1);
    if (method1 && m_Page.Checked("chkLasMakeTab")) {
        m_Page.SetChecked("chkLasMakeTab", false);
        chkLasMakeTabClick();
    }
    toolwin::OfferCutRules(m_Page, "cboLasCutRules", method1);
}

void TLaserPages::chkLasMakeTabClick()
{
    m_Page.SetEnabled("sbtLasCncTab", m_Page.Checked("chkLasMakeTab"));
}

void TLaserPages::sbtLasCutXformClick()
{
    // The tool button has flipped its down state itself.
    m_Milling.ToggleTransformGroup(OpKind::LaserCut);
}

// --- Pocket -----------------------------------------------------------------------------

void TLaserPages::tabLaserPocketClick()
{
    ParameterTabClick(OpKind::LaserPocket);
}

void TLaserPages::cboLasPocTypeChange()
{
    toolwin::ApplyPocketType(m_Page, {"cboLasPocType", "lblLasAngZigZag", "txtLasAngZigZag", "chkLasPocSpiralInOut",
                                      "speLasPocNFinishCuts"});
}

void TLaserPages::sbtLasPocXformClick()
{
    m_Milling.ToggleTransformGroup(OpKind::LaserPocket);
}

// --- Filling ----------------------------------------------------------------------------

void TLaserPages::KindShowing(int kind)
{
    if (kind == OpKind::LaserEngrave)
        m_Page.SetText("txtLasPixDim", LaserPixelSizeText(CurrentBitmap2D()));
}

void TLaserPages::AfterFillRow(std::string_view control, const TOpManagerField& op)
{
    const TParametriOperazione& p = *op.Parameters;
    // A radio button cannot be unticked: the one the operation names is ticked.
    const auto pair = [this, control](const char* name, const char* other, bool first) {
        if (control == name)
            m_Page.SetChecked(first ? name : other, true);
    };
    pair("rbtLasVecMet", "rbtLasRasMet", p.LeadAtMidSegment != 0);
    pair("rbtLasVer", "rbtLasHor", p.DepthOrder != 0);
    pair("rbtLaserDot", "rbtLaserJoin", p.KeepToolDown != 0);
    if (control == "rbtLasVecMet") {
        rbtLasRasMetClick();
    } else if (control == "cboLaserCM") {
        m_Page.SetItemIndex("cboLaserCM", p.SpiralInOut != 0 ? 1 : 0);
    } else if (control == "cboLasCutMethod") {
        cboLasCutMethodChange();
    } else if (control == "cboLasPocType") {
        cboLasPocTypeChange();
    } else if (control == "chkLasMakeTab") {
        chkLasMakeTabClick();
        if (p.Tabs.Count() > 0 && FillTabWindow)
            FillTabWindow();
    }
}
