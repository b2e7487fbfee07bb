#include "app/machining/LathePages.h"

#include "app/machining/MachiningContext.h"
#include "app/mainwin/frmCoord.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cam/ops/OpManager.h"
#include "cam/ui/EntryExitDialogs.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "nc/writer/ScriveGCode.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

using toolwin::Make;

namespace {

constexpr int kPageWidth = 348;

// Pictures of the image list shown on the lathe pages.
constexpr int kPicStock = 31;
constexpr int kPicFinish = 32;
constexpr int kPicEntry = 33;
constexpr int kPicExit = 34;
constexpr int kPicHome = 35;
constexpr int kPicStepOver = 36;
constexpr int kPicFace = 37;
constexpr int kPicFaceOn = 38;

// The controls of one page.
struct TLatheNames {
    const char* Image;
    const char* EntryCheck;
    const char* EntryButton;
    const char* ExitCheck;
    const char* ExitButton;
    const char* HomeCheck;
    const char* HomeButton;
};
constexpr TLatheNames kFin{"imgLatFin", "chkLatFinEntry", "sbtLatFinEntry", "chkLatFinExit",
                           "sbtLatFinExit", "chkLatFinHP", "sbtLatFinHP"};
constexpr TLatheNames kRou{"imgLatRou", "chkLatRouEntry", "sbtLatRouEntry", "chkLatRouExit",
                           "sbtLatRouExit", "chkLatRouHP", "sbtLatRouHP"};

const TLatheNames& Names(bool finishing)
{
    return finishing ? kFin : kRou;
}

TParametriOperazione* Edited()
{
    TMachiningContext* context = MachiningContext();
    TOpManagerField* op = context ? context->CurrentOperation() : nullptr;
    return op ? op->Parameters.get() : nullptr;
}

void Warn(const std::string& text)
{
    UserNotifier().ShowMessage(EMessageKind::Warning, text, LangText(LangKeys::String::ErrorCaption));
}

// " (<length> @<angle>°)" of a lathe vector, the angle that of Z over X.
std::string VectorCaption(const TLathePoint& v)
{
    const double length = std::hypot(v.X, v.Z);
    const double degrees = std::atan2(v.Z, v.X) * 180.0 / std::numbers::pi;
    return " (" + FormatCoordSpacedTrim(length) + " @" + FormatCoordSpacedTrim(degrees) + "\xB0)";
}

// The entry or exit dialog on the operation's vector: afterwards the
// vector is the dialog's (unless its length or angle is no number).
template <class TDialog>
void EditVector(TParametriOperazione& p, TLathePoint TParametriOperazione::*vector, const char* name, QWidget& owner)
{
    auto dialog = std::make_unique<TDialog>(p, &owner);
    dialog->setObjectName(QString::fromLatin1(name));
    UserNotifier().RunDialog(name, [&dialog] { return dialog->Execute(); });
    try {
        const TVector2D v = dialog->GetVector();
        p.*vector = {v.X, v.Y};
        // The lathe pages are never read back: the stored copy follows now.
        p.LathePointsToStored();
    } catch (const EConvertError& error) {
        Warn(error.what());
    }
}

// A page being laid out: label and field rows, then spanning rows.
class TLatheGrid {
public:
    TLatheGrid(QWidget* sheet, const char* group)
    {
        auto* outer = new QVBoxLayout(sheet);
        outer->setContentsMargins(4, 4, 4, 4);
        m_Group = Make<QGroupBox>(sheet, group);
        outer->addWidget(m_Group);
        outer->addStretch();
        m_Grid = new QGridLayout(m_Group);
        m_Grid->setVerticalSpacing(3);
    }
    QWidget* Group() const { return m_Group; }
    QLineEdit* Edit(const char* label, const char* name, const char* text, TCharKeyFilter::TFilter filter)
    {
        auto* edit = toolwin::NumberEdit(m_Group, name, text, filter);
        edit->setMaximumWidth(70);
        Row(label, edit);
        return edit;
    }
    QSpinBox* Spin(const char* label, const char* name)
    {
        auto* spin = Make<QSpinBox>(m_Group, name);
        spin->setRange(0, 99);
        spin->setMaximumWidth(70);
        Row(label, spin);
        return spin;
    }
    void Row(const char* label, QWidget* field)
    {
        m_Grid->addWidget(Make<QLabel>(m_Group, label, QString::fromLatin1(label + 3)), m_Row, 0);
        m_Grid->addWidget(field, m_Row++, 1);
    }
    // A switch with its button beside it (disabled until ticked).
    std::pair<QCheckBox*, QPushButton*> Switch(const char* check, const char* button)
    {
        auto* box = Make<QCheckBox>(m_Group, check, QString::fromLatin1(check + 9));
        auto* push = toolwin::Button(m_Group, button, button + 3);
        push->setEnabled(false);
        m_Grid->addWidget(box, m_Row, 0);
        m_Grid->addWidget(push, m_Row++, 1);
        return {box, push};
    }
    void Span(QWidget* widget) { m_Grid->addWidget(widget, m_Row++, 0, 1, 2); }

private:
    QGroupBox* m_Group;
    QGridLayout* m_Grid;
    int m_Row = 0;
};

} // namespace

TLathePages::TLathePages(TfrmToolWin& window, TWidgetToolPage& page) : m_Window(window), m_Page(page)
{
    m_Window.AddPage("tabLatheFin", BuildPage(true), [this] { tabLatheClick(); });
    m_Window.AddPage("tabLatheRou", BuildPage(false), [this] { tabLatheClick(); });
}

TLathePages::~TLathePages() = default;

QWidget* TLathePages::BuildPage(bool finishing)
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QString::fromLatin1(finishing ? "sheetLatheFin" : "sheetLatheRou"));
    TLatheGrid grid(sheet, finishing ? "grpLatheFin" : "grpLatheRou");
    QWidget* group = grid.Group();
    const TLatheNames& n = Names(finishing);
    const auto picture = [this, &n](int index) {
        const char* image = n.Image;
        return [this, image, index] { SetPagePicture(m_Page, image, index); };
    };
    if (finishing) {
        toolwin::OnEnter(*grid.Edit("lblLatFinStock", "txtLatFinStock", "0", SignedDecimalKeyFilter),
                         picture(kPicStock));
        grid.Spin("lblLFinNFinishCuts", "speLFinNFinishCuts");
        toolwin::OnEnter(*grid.Edit("lblLatFinDimFin", "txtLatFinDimFin", "0", DecimalKeyFilter),
                         picture(kPicFinish));
        auto* face = Make<QCheckBox>(group, "chkFinFace", QStringLiteral("Face"));
        grid.Span(face);
        QObject::connect(face, &QCheckBox::clicked, face, [this] { GuardedCall([this] { chkFinFaceClick(); }); });
    } else {
        toolwin::OnEnter(*grid.Edit("lblLatRouStock", "txtLatRouStock", "0", SignedDecimalKeyFilter),
                         picture(kPicStock));
        toolwin::OnEnter(*grid.Edit("lblLatRouStepOver", "txtLatRouStepOver", "1", DecimalKeyFilter),
                         picture(kPicStepOver));
        toolwin::OnEnter(*grid.Spin("lblLRouNFinishCuts", "speLRouNFinishCuts"), picture(kPicFinish));
        toolwin::OnEnter(*grid.Edit("lblLatRouDimFin", "txtLatRouDimFin", "0", DecimalKeyFilter),
                         picture(kPicFinish));
    }
    using THandler = void (TLathePages::*)(bool);
    const auto bind = [this, finishing](QAbstractButton* control, THandler handler) {
        QObject::connect(control, &QAbstractButton::clicked, control, [this, finishing, handler] {
            GuardedCall([this, finishing, handler] { (this->*handler)(finishing); });
        });
    };
    const auto [entry, entryButton] = grid.Switch(n.EntryCheck, n.EntryButton);
    bind(entry, &TLathePages::chkLatEntryClick);
    bind(entryButton, &TLathePages::sbtLatheEntryClick);
    const auto [exit, exitButton] = grid.Switch(n.ExitCheck, n.ExitButton);
    bind(exit, &TLathePages::chkLatExitClick);
    bind(exitButton, &TLathePages::sbtLatheExitClick);
    const auto [home, homeButton] = grid.Switch(n.HomeCheck, n.HomeButton);
    bind(home, &TLathePages::chkLatHPClick);
    bind(homeButton, &TLathePages::sbtLatHomePosClick);

    auto* image = Make<QLabel>(group, n.Image);
    const int first = finishing ? kPicFace : kPicStock;
    image->setProperty("imageIndex", first);
    image->setPixmap(ToolWinPicture(first));
    grid.Span(image);
    // Lathe operations are not calculated: the button does nothing.
    grid.Span(toolwin::Button(group, finishing ? "sbtLatFinCalculate" : "sbtLatRouCalculate", "Calculate"));
    return sheet;
}

TfrmCoord& TLathePages::Coord()
{
    if (CoordDialog)
        return *CoordDialog;
    if (!m_OwnCoord)
        m_OwnCoord = new TfrmCoord(&m_Window);
    return *m_OwnCoord;
}

// --- Pages of a kind ---------------------------------------------------------------------

void TLathePages::KindShowing(int kind)
{
    TParametriOperazione* p = Edited();
    if (!p || !IsLatheKind(kind))
        return;
    const TLatheNames& n = Names(kind == OpKind::LatheFinish);
    // The switches as the operation has them, each button usable when on.
    const std::pair<const char*, bool> switches[] = {
        {n.EntryCheck, p->LatheEntryOn}, {n.ExitCheck, p->LatheExitOn}, {n.HomeCheck, p->LatheHomeOn}};
    for (const auto& [check, on] : switches)
        m_Page.SetChecked(check, on);
    AfterRow(n.EntryCheck);
    AfterRow(n.ExitCheck);
    AfterRow(n.HomeCheck);
}

void TLathePages::AfterRow(std::string_view control)
{
    for (const TLatheNames* n : {&kFin, &kRou}) {
        if (control == n->EntryCheck)
            setButtonLatEntry(n->EntryButton);
        else if (control == n->ExitCheck)
            setButtonLatExit(n->ExitButton);
        else if (control == n->HomeCheck)
            setButtonLatHomePos(n->HomeButton);
        else
            continue;
        const std::pair<const char*, const char*> pairs[] = {
            {n->EntryCheck, n->EntryButton}, {n->ExitCheck, n->ExitButton}, {n->HomeCheck, n->HomeButton}};
        for (const auto& [check, button] : pairs) {
            if (control == check)
                m_Page.SetEnabled(button, m_Page.Checked(check));
        }
    }
}

void TLathePages::tabLatheClick()
{
    if (m_Window.ShowStatusMessage)
        m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusParameterPage));
    m_Window.resize(kPageWidth, m_Window.height());
}

// --- Switches --------------------------------------------------------------------------

void TLathePages::SwitchClick(const char* check, const char* button, bool TParametriOperazione::*flag,
                              const char* image, int picture)
{
    const bool on = m_Page.Checked(check);
    if (TParametriOperazione* p = Edited())
        p->*flag = on;
    m_Page.SetEnabled(button, on);
    SetPagePicture(m_Page, image, picture);
}

void TLathePages::chkLatEntryClick(bool finishing)
{
    const TLatheNames& n = Names(finishing);
    SwitchClick(n.EntryCheck, n.EntryButton, &TParametriOperazione::LatheEntryOn, n.Image, kPicEntry);
}

void TLathePages::chkLatExitClick(bool finishing)
{
    const TLatheNames& n = Names(finishing);
    SwitchClick(n.ExitCheck, n.ExitButton, &TParametriOperazione::LatheExitOn, n.Image, kPicExit);
}

void TLathePages::chkLatHPClick(bool finishing)
{
    const TLatheNames& n = Names(finishing);
    SwitchClick(n.HomeCheck, n.HomeButton, &TParametriOperazione::LatheHomeOn, n.Image, kPicHome);
}

void TLathePages::chkFinFaceClick()
{
    SetPagePicture(m_Page, kFin.Image, m_Page.Checked("chkFinFace") ? kPicFaceOn : kPicFace);
}

// --- Buttons ------------------------------------------------------------------------------

void TLathePages::sbtLatHomePosClick(bool finishing)
{
    TParametriOperazione* p = Edited();
    if (!p)
        return;
    TfrmCoord& dialog = Coord();
    const TScriveGCode& post = GCodeWriter();
    dialog.HoldAxisCaptions(AnsiToQString(post.XPref), AnsiToQString(post.ZPref));
    dialog.txtCoordX().setText(AnsiToQString(FormatCoord(p->LatheHome.X)));
    dialog.txtCoordY().setText(AnsiToQString(FormatCoord(p->LatheHome.Z)));
    dialog.txtCoordX().setFocus();
    const int result = UserNotifier().RunDialog("frmCoord", [&dialog] { return dialog.exec(); });
    dialog.ReleaseAxisCaptions();
    if (result == TfrmCoord::ResultOk) {
        // Both numbers or neither.
        try {
            const double x = CoordFromText(QStringToAnsi(dialog.txtCoordX().text()));
            const double z = CoordFromText(QStringToAnsi(dialog.txtCoordY().text()));
            p->LatheHome = {x, z};
            p->LathePointsToStored(); // as the entry and exit do
        } catch (const std::invalid_argument& error) {
            Warn(error.what());
        }
    }
    setButtonLatHomePos(Names(finishing).HomeButton);
}

void TLathePages::sbtLatheEntryClick(bool finishing)
{
    if (TParametriOperazione* p = Edited()) {
        EditVector<TLatEntry>(*p, &TParametriOperazione::LatheEntry, "TLatEntry", m_Window);
        setButtonLatEntry(Names(finishing).EntryButton);
    }
}

void TLathePages::sbtLatheExitClick(bool finishing)
{
    if (TParametriOperazione* p = Edited()) {
        EditVector<TLatExit>(*p, &TParametriOperazione::LatheExit, "TLatExit", m_Window);
        setButtonLatExit(Names(finishing).ExitButton);
    }
}

// --- Captions ----------------------------------------------------------------------------

void TLathePages::setButtonLatHomePos(const char* button)
{
    const TParametriOperazione* p = Edited();
    if (!p)
        return;
    const TScriveGCode& post = GCodeWriter();
    m_Page.SetText(button, LangText(LangKeys::String::LatheHomeButton) + " " + post.XPref +
                               FormatCoord(p->LatheHome.X) + ", " + post.ZPref + FormatCoord(p->LatheHome.Z));
}

void TLathePages::setButtonLatEntry(const char* button)
{
    if (const TParametriOperazione* p = Edited())
        m_Page.SetText(button, LangText(LangKeys::String::LatheEntryButton) + VectorCaption(p->LatheEntry));
}

void TLathePages::setButtonLatExit(const char* button)
{
    if (const TParametriOperazione* p = Edited())
        m_Page.SetText(button, LangText(LangKeys::String::LatheExitButton) + VectorCaption(p->LatheExit));
}
