#include "app/machining/LettersPage.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/LabelEditor.h"
#include "cam/ops/OpKinds.h"
#include "cam/ops/OpManager.h"
#include "core/entities/Etichetta.h"
#include "core/settings/LangKeys.h"

#include <QComboBox>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace {

constexpr int PageWidth = 348;
constexpr int LabelCommandHeight = 476;

// The tool window's stroke-font list, as the single-line text page shows it.
std::vector<std::string> StrokeFontNames(const TfrmToolWin& window)
{
    std::vector<std::string> names;
    if (const auto* fonts = window.findChild<QComboBox*>(QStringLiteral("cboTextSL"))) {
        for (int i = 0; i < fonts->count(); ++i)
            names.push_back(QStringToAnsi(fonts->itemText(i)));
    }
    return names;
}

} // namespace

TLettersPage::TLettersPage(TfrmToolWin& window, TQV_00CADProg* program) : m_Window(window), m_Program(program)
{
    m_Sheet = new QWidget;
    m_Sheet->setObjectName(QStringLiteral("sheetLetters"));
    auto* layout = new QVBoxLayout(m_Sheet);
    layout->setContentsMargins(4, 4, 4, 4);
    m_Window.AddPage("tabLetters", m_Sheet, [this] { tabLettersClick(); });
    // First of the hide work: the editors refer to a label that the
    // machining pages' hide may free.
    m_Window.HideHooks.insert(m_Window.HideHooks.begin(), [this] { FormHide(); });
}

TLettersPage::~TLettersPage()
{
    FreeCommandControls();
}

TEtichetta* TLettersPage::ServedLabel()
{
    if (m_LabelCommand)
        return m_SharedLabel.get();
    TMachiningContext* context = MachiningContext();
    TOpManagerField* op = context ? context->CurrentOperation() : nullptr;
    if (!op || op->Kind != OpKind::Letters)
        return nullptr;
    if (!op->Parameters->Labels)
        op->Parameters->Labels = std::make_unique<TEtichetta>(true);
    return op->Parameters->Labels.get();
}

void TLettersPage::tabLettersClick()
{
    m_Window.resize(PageWidth, m_Window.height());
    TEtichetta* label = ServedLabel();
    if (!label)
        return;
    if (m_Editor && &m_Editor->Label() == label && m_Editor->EditorsBuilt())
        return;
    if (!m_Editor || &m_Editor->Label() != label)
        BuildCommandControls(*label);
    BuildLabelEditors();
}

void TLettersPage::mnuTextLabelClick()
{
    // A page set that is up stays.
    if (m_Window.isVisible())
        return;
    if (!m_SharedLabel)
        m_SharedLabel = std::make_unique<TEtichetta>(false);
    m_LabelCommand = true;
    m_Window.ShowPages({"tabLetters"}, std::string(LangKeys::frmToolWin::CaptionTextLabel), PageWidth,
                       LabelCommandHeight);
}

void TLettersPage::BuildCommandControls(TEtichetta& label)
{
    FreeCommandControls();
    m_Editor = new TLabelEditor(label, m_Program, m_Window.Document(), m_Sheet);
    const std::vector<std::string> names = StrokeFontNames(m_Window);
    m_Editor->SetFontNames(names);
    // The font the picker shows is the one the texts are set in, also for a
    // label read from a document.
    if (label.FontIndex() >= 0 && label.FontIndex() < static_cast<int32_t>(names.size()))
        label.SetFont(label.FontIndex());
    m_Sheet->layout()->addWidget(m_Editor);
}

void TLettersPage::FreeCommandControls()
{
    delete m_Editor.data();
}

TLabelEditor* TLettersPage::Editor() const
{
    return m_Editor.data();
}

void TLettersPage::BuildLabelEditors()
{
    if (m_Editor)
        m_Editor->BuildLabelEditors();
}

void TLettersPage::FreeLabelEditors()
{
    if (m_Editor)
        m_Editor->FreeLabelEditors();
}

void TLettersPage::FormHide()
{
    FreeCommandControls();
    m_LabelCommand = false;
}
