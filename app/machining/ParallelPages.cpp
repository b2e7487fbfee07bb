#include "app/machining/ParallelPages.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cam/chains/ChainPicking.h"
#include "cam/ops/OpManager.h"
#include "core/entities/QVGrezzo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>

namespace {

using toolwin::Make;

TOpManagerField* Edited()
{
    TMachiningContext* context = MachiningContext();
    return context ? context->CurrentOperation() : nullptr;
}

// A number with all the digits a double carries ("-0.100000001490116").
std::string FullPrecision(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
    return std::string(text, end);
}

} // namespace

// A sheet's column with a group box of label-and-field rows at its top.
struct TParallelPages::TFieldForm {
    QVBoxLayout* Outer;
    QGroupBox* Group;
    toolwin::TFormRows Rows;

    TFieldForm(QWidget* sheet, const char* name, const char* title)
        : Outer(new QVBoxLayout(sheet)), Group(Make<QGroupBox>(sheet, name, QString::fromLatin1(title))), Rows(Group)
    {
        Outer->setContentsMargins(4, 4, 4, 4);
        Outer->addWidget(Group);
        Rows.Grid().setVerticalSpacing(3);
    }
};

TParallelPages::TParallelPages(TfrmToolWin& window, TWidgetToolPage& page)
    : m_Window(window), m_Page(page)
{
    m_Window.AddPage("tabSizeLimits", BuildSizeLimitsPage(), [this] { tabSizeLimitsClick(); });
    m_Window.AddPage("tabParallel", BuildParallelPage(), [this] { tabParallelClick(); });
}

TParallelPages::~TParallelPages() = default;

void TParallelPages::AddFields(TFieldForm& form, const char* image, std::span<const TFieldRow> rows)
{
    for (const TFieldRow& f : rows) {
        QLineEdit* edit = toolwin::NumberEdit(form.Group, f.Name, f.Value, f.Filter);
        edit->setMaximumWidth(70);
        form.Rows.Add(f.Label, f.Text, edit);
        toolwin::OnEnter(*edit, [this, image, index = f.Picture] { SetPagePicture(m_Page, image, index); });
        if (f.Change)
            QObject::connect(edit, &QLineEdit::textChanged, edit,
                             [this, change = f.Change] { GuardedCall([this, change] { (this->*change)(); }); });
    }
}

QWidget* TParallelPages::BuildSizeLimitsPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetSizeLimits"));
    TFieldForm limits(sheet, "grp3dSizeLimits", "Stock limits");
    const TFieldRow fields[] = {
        {"lbl3DParZRapid", "Feed plane", "txt3DParZRapid", "2", SignedDecimalKeyFilter, 11, nullptr},
        {"lbl3DParZTop", "Top", "txt3DParZTop", "0", SignedDecimalKeyFilter, 12, &TParallelPages::txt3DParZTopChange},
        {"lbl3DParZBottom", "Bottom", "txt3DParZBottom", "-1", SignedDecimalKeyFilter, 13,
         &TParallelPages::txt3DParZBottomChange},
        {"lbl3DMarginX", "Margin X", "txt3DMarginX", "0", SignedDecimalKeyFilter, 14,
         &TParallelPages::txt3DMarginXChange},
        {"lbl3DMarginY", "Margin Y", "txt3DMarginY", "0", SignedDecimalKeyFilter, 15,
         &TParallelPages::txt3DMarginYChange},
    };
    AddFields(limits, "img3dSize", fields);
    limits.Rows.Span(PictureLabel(limits.Group, "img3dSize", 11));
    QVBoxLayout* outer = limits.Outer;

    auto* profile = Make<QGroupBox>(sheet, "grp3dProfile", QStringLiteral("Boundary"));
    auto* rows = new QVBoxLayout(profile);
    auto* buttons = new QHBoxLayout;
    QPushButton* pick = toolwin::Button(profile, "sbt3dChain", "Pick chain");
    QPushButton* del = toolwin::Button(profile, "sbt3dDelChain", "Delete chain");
    buttons->addWidget(pick);
    buttons->addWidget(del);
    rows->addLayout(buttons);
    rows->addWidget(Make<QLabel>(profile, "lbl3dChainInfo"));
    outer->addWidget(profile);
    outer->addStretch();
    QObject::connect(pick, &QPushButton::clicked, pick, [this] { GuardedCall([this] { sbt3dChainClick(); }); });
    QObject::connect(del, &QPushButton::clicked, del, [this] { GuardedCall([this] { sbt3dDelChainClick(); }); });
    return sheet;
}

QWidget* TParallelPages::BuildParallelPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetParallel"));
    TFieldForm parallel(sheet, "grpParallel", "Parallel finishing");
    const TFieldRow fields[] = {
        {"lblParStepOver", "Step over", "txtParStepOver", "1", DecimalKeyFilter, 16, nullptr},
        {"lblParAngle", "Angle", "txtParAngle", "0", DecimalKeyFilter, 17, nullptr},
        {"lblParResol", "Resolution", "txtParResol", "0.1", DecimalKeyFilter, 18, nullptr},
        {"lblParStock", "Stock to leave", "txtParStock", "0", SignedDecimalKeyFilter, 19, nullptr},
    };
    AddFields(parallel, "img3DPar", fields);

    auto* rough = Make<QGroupBox>(parallel.Group, "grpParRough", QStringLiteral("Roughing"));
    auto* roughRow = new QHBoxLayout(rough);
    auto* roughing = Make<QCheckBox>(rough, "chkParRough", QStringLiteral("Rough"));
    auto* incLabel = Make<QLabel>(rough, "lblParRoughInc", QStringLiteral("Increment"));
    QLineEdit* inc = toolwin::NumberEdit(rough, "txtParRoughInc", "1", DecimalKeyFilter);
    inc->setMaximumWidth(70);
    incLabel->setEnabled(false);
    inc->setEnabled(false);
    roughRow->addWidget(roughing);
    roughRow->addWidget(incLabel);
    roughRow->addWidget(inc);
    parallel.Rows.Span(rough);
    parallel.Rows.Span(PictureLabel(parallel.Group, "img3DPar", 16));

    auto* buttons = new QWidget(parallel.Group);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(toolwin::Button(buttons, "sbtParCalculate", "Calculate"));
    row->addWidget(toolwin::Button(buttons, "sbtParCancel", "Cancel"));
    parallel.Rows.Span(buttons);
    parallel.Outer->addStretch();
    QObject::connect(roughing, &QCheckBox::clicked, roughing, [this] { GuardedCall([this] { chkParRoughClick(); }); });
    return sheet;
}

// --- Tabs ---------------------------------------------------------------------------

void TParallelPages::tabSizeLimitsClick()
{
    if (TQVGrezzo* stock = StockSolid())
        stock->SetVisible(true);
    RepaintView();
    m_Window.resize(348, m_Window.height());
}

void TParallelPages::tabParallelClick()
{
    if (m_Window.ShowStatusMessage)
        m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusParameterPage));
    m_Window.resize(348, m_Window.height());
}

// --- Stock limits ---------------------------------------------------------------------

void TParallelPages::ShowSurfaceLimits(const TBox3D& surfaceBox)
{
    m_Page.SetText("txt3DParZBottom", FullPrecision(surfaceBox.FirstEdge.Z));
    m_Page.SetText("txt3DParZTop", FormatCoord(surfaceBox.SecondEdge.Z));
    m_Page.SetText("lbl3dChainInfo", LangToolWinText(LangKeys::frmToolWin::Chain3DNone));
}

std::optional<double> TParallelPages::Usable(const char* field) const
{
    const std::string text = m_Page.Text(field);
    if (text.empty() || text == "." || text == "-")
        return std::nullopt;
    return ParseDecimal(text);
}

void TParallelPages::txt3DMarginXChange()
{
    TQVGrezzo* stock = StockSolid();
    if (const auto margin = Usable("txt3DMarginX"); margin && stock) {
        stock->SetMarginX(*margin);
        RepaintView();
    }
}

void TParallelPages::txt3DMarginYChange()
{
    TQVGrezzo* stock = StockSolid();
    if (const auto margin = Usable("txt3DMarginY"); margin && stock) {
        stock->SetMarginY(*margin);
        RepaintView();
    }
}

void TParallelPages::txt3DParZBottomChange()
{
    TQVGrezzo* stock = StockSolid();
    const auto bottom = Usable("txt3DParZBottom");
    if (!bottom || !stock)
        return;
    stock->SetBottomZ(*bottom);
    // The top stays where the page puts it.
    ApplyTop(*bottom);
    RepaintView();
}

void TParallelPages::txt3DParZTopChange()
{
    if (TQVGrezzo* stock = StockSolid()) {
        ApplyTop(stock->BottomZ());
        RepaintView();
    }
}

void TParallelPages::RepaintView()
{
    // The stock's scene object changed: the view shows it at once.
    if (TQV_01Cmp2D* document = m_Window.Document())
        document->RepaintViewports();
}

void TParallelPages::ApplyTop(double bottom)
{
    TQVGrezzo* stock = StockSolid();
    if (const auto top = Usable("txt3DParZTop"); top && stock)
        stock->SetHeight(*top - bottom);
}

void TParallelPages::sbt3dChainClick()
{
    TOpManagerField* op = Edited();
    if (!op)
        return;
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, kPickFor3DBoundary, &op->Chains,
                                                            StateClassOf<TChainInCatena>());
    if (m_Window.OnSelectedObj)
        param->OnSelected = [this](TQV_50SelectObjectsParam&, TObject2D* selected, bool, int32_t) {
            m_Window.OnSelectedObj(selected);
        };
    m_Window.Prg().StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), std::move(param));
}

void TParallelPages::sbt3dDelChainClick()
{
    TOpManagerField* op = Edited();
    if (!op)
        return;
    op->Chains.ClearChains();
    m_Page.SetText("lbl3dChainInfo", LangToolWinText(LangKeys::frmToolWin::Chain3DNone));
    TQVGrezzo* stock = StockSolid();
    if (!stock)
        return;
    stock->Rebuild();
    // The box again, with the limits the page shows.
    txt3DMarginXChange();
    txt3DMarginYChange();
    txt3DParZBottomChange();
}

void TParallelPages::chkParRoughClick()
{
    const bool on = m_Page.Checked("chkParRough");
    m_Page.SetEnabled("lblParRoughInc", on);
    m_Page.SetEnabled("txtParRoughInc", on);
}
