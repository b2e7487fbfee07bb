#include "app/machining/LathePages.h"

#include "app/machining/MachiningContext.h"
#include "app/machining/PageGrid.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

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

// A switch with its button beside it (disabled until ticked), as one row.
std::pair<QCheckBox*, QPushButton*> AddSwitch(toolwin::TPageGrid& grid, const char* check, const char* button)
{
    auto* box = Make<QCheckBox>(grid.Group(), check, QString::fromLatin1(check + 9));
    auto* push = toolwin::Button(grid.Group(), button, button + 3);
    push->setEnabled(false);
    grid.Pair(box, push);
    return {box, push};
}

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
    toolwin::TPageGrid grid(sheet, finishing ? "grpLatheFin" : "grpLatheRou");
    QWidget* group = grid.Group();
    const TLatheNames& n = Names(finishing);
    const auto picture = [this, &n](int index) {
        const char* image = n.Image;
        return [this, image, index] { SetPagePicture(m_Page, image, index); };
    };
    if (finishing) {
        toolwin::OnEnter(*grid.Edit("lblLatFinStock", "txtLatFinStock", "0", SignedDecimalKeyFilter),
                         picture(kPicStock));
        grid.Spin("lblLFinNFinishCuts", "speLFinNFinishCuts", 0, 99, 0);
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
        toolwin::OnEnter(*grid.Spin("lblLRouNFinishCuts", "speLRouNFinishCuts", 0, 99, 0), picture(kPicFinish));
        toolwin::OnEnter(*grid.Edit("lblLatRouDimFin", "txtLatRouDimFin", "0", DecimalKeyFilter),
                         picture(kPicFinish));
    }
    using THandler = void (TLathePages::*)(bool);
    const auto bind = [this, finishing](QAbstractButton* control, THandler handler) {
        QObject::connect(control, &QAbstractButton::clicked, control, [this, finishing, handler] {
            GuardedCall([this, finishing, handler] { (this->*handler)(finishing); });
        });
    };
    const auto [entry, entryButton] = AddSwitch(grid, n.EntryCheck, n.EntryButton);
    bind(entry, &TLathePages::chkLatEntryClick);
    bind(entryButton, &TLathePages::sbtLatheEntryClick);
    const auto [exit, exitButton] = AddSwitch(grid, n.ExitCheck, n.ExitButton);
    bind(exit, &TLathePages::chkLatExitClick);
    bind(exitButton, &TLathePages::sbtLatheExitClick);
    const auto [home, homeButton] = AddSwitch(grid, n.HomeCheck, n.HomeButton);
    bind(home, &TLathePages::chkLatHPClick);
    bind(homeButton, &TLathePages::sbtLatHomePosClick);

    grid.Span(PictureLabel(group, n.Image, finishing ? kPicFace : kPicStock));
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
