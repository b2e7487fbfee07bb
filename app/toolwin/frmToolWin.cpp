#include "app/toolwin/frmToolWin.h"

#include "app/toolwin/ChainPages.h"
#include "app/toolwin/MillToolPage.h"
// Lathe pages.
#include "app/toolwin/LatheToolPage.h"
// The laser settings page.
#include "app/toolwin/LaserToolPage.h"

#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/QtWorkMonitor.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "io/text/Testo2Container.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// The components behind the shell's fields.
const char* TextFieldName(TToolWinText field)
{
    switch (field) {
    case TToolWinText::TransDx: return "txtTransDx";
    case TToolWinText::TransDy: return "txtTransDy";
    case TToolWinText::TransRepeat: return "txtTransRepeat";
    case TToolWinText::RotateAngle: return "txtRotateAngle";
    case TToolWinText::RotateRepeat: return "txtRotateRepeat";
    case TToolWinText::ScaleX: return "txtScaleX";
    case TToolWinText::ScaleY: return "txtScaleY";
    case TToolWinText::ScaleRepeat: return "txtScaleRepeat";
    case TToolWinText::OffsetDist: return "txtOffsetDist";
    case TToolWinText::MCLayer: return "lblMCLayer";
    case TToolWinText::InfoExplode: return "stxInfoEsplode";
    case TToolWinText::NumPtAlong: return "txtNumPtAlong";
    case TToolWinText::HoleDia: return "txtHoleDia";
    case TToolWinText::ChainLength: return "txtLength";
    case TToolWinText::PtDistance: return "txtBtPoints";
    case TToolWinText::Chain3DInfo: return "lbl3dChainInfo";
    }
    return "";
}

const char* CheckName(TToolWinCheck check)
{
    switch (check) {
    case TToolWinCheck::ScaleUniform: return "rbtScaleUniform";
    case TToolWinCheck::OffsetMove: return "rbtOffsetMove";
    case TToolWinCheck::AlPoints: return "chkAlPoints";
    case TToolWinCheck::AlHoles: return "chkAlHoles";
    }
    return "";
}

// Every action a toolbar reaches: its own, and those of its buttons' menus.
void CollectActions(QMenu& menu, std::vector<QAction*>& actions)
{
    for (QAction* action : menu.actions()) {
        actions.push_back(action);
        if (QMenu* sub = action->menu())
            CollectActions(*sub, actions);
    }
}

std::vector<QAction*> ToolbarActions(QToolBar& bar)
{
    std::vector<QAction*> actions;
    for (QAction* action : bar.actions())
        actions.push_back(action);
    for (QToolButton* button : bar.findChildren<QToolButton*>()) {
        if (QAction* action = button->defaultAction())
            actions.push_back(action);
        if (QMenu* menu = button->menu())
            CollectActions(*menu, actions);
    }
    return actions;
}

} // namespace

TfrmToolWin::TfrmToolWin(TQV_00Prog& prg, TAppConfig& config, TQtWorkMonitor* monitor,
                         const std::string& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_Prg(prg), m_Config(config), m_Monitor(monitor)
{
    setObjectName(QStringLiteral("frmToolWin"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The command gives the size; the pages do not push it.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    m_pgCtrToolWin = new QTabWidget(this);
    m_pgCtrToolWin->setObjectName(QStringLiteral("pgCtrToolWin"));
    layout->addWidget(m_pgCtrToolWin);
    connect(m_pgCtrToolWin, &QTabWidget::currentChanged, this, [this](int index) {
        QWidget* sheet = m_pgCtrToolWin->widget(index);
        for (const auto& [name, page] : m_Pages) {
            if (page.Sheet == sheet && page.Click)
                GuardedCall(page.Click);
        }
    });

    m_TextConverter = std::make_unique<TTesto2Container>();
    BuildTransformPages();
    BuildEditPages();
    BuildTextPages(programFolder);
    BuildPointsAlongPage();
    m_MillToolPage = new TMillToolPage(*this);
    // Lathe pages: the lathe tool list, before the chain page as its tab.
    m_LatheToolPage = new TLatheToolPage(*this);
    // The laser settings page (its tab before the chain page's).
    m_LaserToolPage = new TLaserToolPage(*this);
    m_ChainPages = new TChainPages(*this, prg);

    m_Config.ToolWinLeft = DesignLeft;
    m_Config.ToolWinTop = DesignTop;
    qApp->installEventFilter(this);
}

TfrmToolWin::~TfrmToolWin()
{
    // The pages let go of their models while their widgets still stand.
    delete m_ChainPages;
    delete m_MillToolPage;
    delete m_LatheToolPage; // lathe pages
    // The laser settings page.
    delete m_LaserToolPage;
    if (qApp)
        qApp->removeEventFilter(this);
}

void TfrmToolWin::SetQuasiModalTargets(std::vector<QWidget*> targets)
{
    m_QuasiModal.assign(targets.begin(), targets.end());
}

void TfrmToolWin::AddPage(const std::string& tabName, QWidget* sheet, std::function<void()> click)
{
    const QString name = QString::fromStdString(tabName);
    if (sheet->objectName().isEmpty())
        sheet->setObjectName(QStringLiteral("sheet") + name.mid(3));
    m_pgCtrToolWin->addTab(sheet, AnsiToQString(LangToolWinCaption(tabName)));
    m_pgCtrToolWin->setTabVisible(m_pgCtrToolWin->indexOf(sheet), false);
    m_Pages[tabName] = TPage{sheet, std::move(click)};
}

QWidget* TfrmToolWin::Sheet(const std::string& tabName) const
{
    const auto it = m_Pages.find(tabName);
    return it == m_Pages.end() ? nullptr : it->second.Sheet;
}

void TfrmToolWin::ShowPages(const std::vector<std::string>& tabs, const std::string& captionKey, int clientWidth,
                            int clientHeight)
{
    // A page set that is up is never replaced.
    if (isVisible() || tabs.empty())
        return;
    m_pgCtrToolWin->tabBar()->hide();
    setWindowTitle(AnsiToQString(LangToolWinText(captionKey)));
    resize(clientWidth, clientHeight);
    for (int i = 0; i < m_pgCtrToolWin->count(); ++i)
        m_pgCtrToolWin->setTabVisible(i, false);
    for (auto it = tabs.rbegin(); it != tabs.rend(); ++it) {
        if (QWidget* sheet = Sheet(*it))
            m_pgCtrToolWin->setTabVisible(m_pgCtrToolWin->indexOf(sheet), true);
    }
    QWidget* first = Sheet(tabs.front());
    if (first) {
        // Activated without its handler, which runs once below.
        const QSignalBlocker blocker(m_pgCtrToolWin);
        m_pgCtrToolWin->setCurrentWidget(first);
    }
    if (tabs.size() > 1)
        m_pgCtrToolWin->tabBar()->show();
    const auto page = m_Pages.find(tabs.front());
    if (page != m_Pages.end() && page->second.Click)
        page->second.Click();
    show();
    raise();
}

std::vector<std::string> TfrmToolWin::ShownPages() const
{
    std::vector<std::string> shown;
    for (int i = 0; i < m_pgCtrToolWin->count(); ++i) {
        if (!m_pgCtrToolWin->isTabVisible(i))
            continue;
        for (const auto& [name, page] : m_Pages) {
            if (page.Sheet == m_pgCtrToolWin->widget(i))
                shown.push_back(name);
        }
    }
    return shown;
}

void TfrmToolWin::SetClientWidth(int width)
{
    resize(width, height());
}

void TfrmToolWin::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        GuardedCall([this] { FormShow(); });
}

void TfrmToolWin::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        GuardedCall([this] { FormHide(); });
}

void TfrmToolWin::FormShow()
{
    m_DisabledActions.clear();
    m_DisabledWidgets.clear();
    for (const QPointer<QWidget>& target : m_QuasiModal) {
        if (!target)
            continue;
        if (auto* bar = qobject_cast<QToolBar*>(target.data())) {
            // The actions too: their shortcuts would run otherwise.
            for (QAction* action : ToolbarActions(*bar)) {
                if (action->isEnabled()) {
                    action->setEnabled(false);
                    m_DisabledActions.emplace_back(action);
                }
            }
        }
        if (target->isEnabled()) {
            target->setEnabled(false);
            m_DisabledWidgets.emplace_back(target);
        }
    }
    for (const auto& hook : ShowHooks)
        hook();
    move(m_Config.ToolWinLeft, m_Config.ToolWinTop);
}

void TfrmToolWin::FormHide()
{
    for (const QPointer<QWidget>& widget : m_DisabledWidgets) {
        if (widget)
            widget->setEnabled(true);
    }
    for (const QPointer<QAction>& action : m_DisabledActions) {
        if (action)
            action->setEnabled(true);
    }
    m_DisabledWidgets.clear();
    m_DisabledActions.clear();
    if (m_Prg.Busy() && !m_CommandEnding)
        m_Prg.SendUserEvent(TCADUserEvent::Cancel);
    for (const auto& hook : HideHooks)
        hook();
    m_Config.ToolWinLeft = x();
    m_Config.ToolWinTop = y();
    if (ClearOverlay)
        ClearOverlay();
    lower();
}

bool TfrmToolWin::CalculationRunning() const
{
    return m_Monitor && m_Monitor->BusyDepth() > 0;
}

void TfrmToolWin::RequestHide()
{
    if (CalculationRunning())
        return;
    if (PlayRunning && PlayRunning() && StopPlayThen) {
        if (m_HidePending)
            return;
        m_HidePending = true;
        QPointer<TfrmToolWin> self(this);
        StopPlayThen([self] {
            if (!self)
                return;
            self->m_HidePending = false;
            self->hide();
        });
        return;
    }
    hide();
}

void TfrmToolWin::HideAtCommandEnd()
{
    m_CommandEnding = true;
    hide();
    m_CommandEnding = false;
}

bool TfrmToolWin::AllowMainClose(const std::function<void()>& then)
{
    if (CalculationRunning())
        return false;
    if (PlayRunning && PlayRunning() && StopPlayThen) {
        StopPlayThen(then);
        return false;
    }
    return true;
}

void TfrmToolWin::closeEvent(QCloseEvent* event)
{
    // Closing only hides.
    event->ignore();
    GuardedCall([this] { RequestHide(); });
}

bool TfrmToolWin::eventFilter(QObject* watched, QEvent* event)
{
    // Key preview: Esc anywhere in the window asks the running work to stop.
    if (event->type() == QEvent::KeyPress && watched->isWindowType() && windowHandle() &&
        static_cast<QWindow*>(watched) == windowHandle() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_Monitor)
        m_Monitor->RequestUserBreak();
    return QWidget::eventFilter(watched, event);
}

void TfrmToolWin::SendUserEvent(TCADUserEvent code)
{
    m_Prg.SendUserEvent(code);
}

// --- Fields -------------------------------------------------------------------------

std::string TfrmToolWin::TabName(TToolWinTab tab)
{
    switch (tab) {
    case TToolWinTab::Translate: return "tabTranslate";
    case TToolWinTab::Rotate: return "tabRotate";
    case TToolWinTab::Scale: return "tabScale";
    case TToolWinTab::Mirror: return "tabMirror";
    case TToolWinTab::Explode: return "tabExplode";
    case TToolWinTab::OpenR: return "tabOpenR";
    }
    return std::string();
}

std::string TfrmToolWin::Text(TToolWinText field) const
{
    const QString name = QString::fromLatin1(TextFieldName(field));
    if (const auto* edit = findChild<QLineEdit*>(name))
        return QStringToAnsi(edit->text());
    if (const auto* label = findChild<QLabel*>(name))
        return QStringToAnsi(label->text());
    return std::string();
}

void TfrmToolWin::SetText(TToolWinText field, const std::string& text)
{
    const QString name = QString::fromLatin1(TextFieldName(field));
    if (auto* edit = findChild<QLineEdit*>(name))
        edit->setText(AnsiToQString(text));
    else if (auto* label = findChild<QLabel*>(name))
        label->setText(AnsiToQString(text));
}

bool TfrmToolWin::Checked(TToolWinCheck check) const
{
    const auto* button = findChild<QAbstractButton*>(QString::fromLatin1(CheckName(check)));
    return button && button->isChecked();
}

void TfrmToolWin::SetChecked(TToolWinCheck check, bool checked)
{
    if (auto* button = findChild<QAbstractButton*>(QString::fromLatin1(CheckName(check))))
        button->setChecked(checked);
}

int32_t TfrmToolWin::ItemIndex(TToolWinIndex list) const
{
    switch (list) {
    case TToolWinIndex::MirrorAxis:
        if (const auto* group = findChild<QButtonGroup*>(QStringLiteral("gprMirrorAxis")))
            return group->checkedId();
        return -1;
    case TToolWinIndex::LayerTo:
        if (const auto* combo = findChild<QComboBox*>(QStringLiteral("cboLayerTo")))
            return combo->currentIndex();
        return -1;
    }
    return -1;
}

void TfrmToolWin::SetItemIndex(TToolWinIndex list, int32_t index)
{
    switch (list) {
    case TToolWinIndex::MirrorAxis:
        if (auto* group = findChild<QButtonGroup*>(QStringLiteral("gprMirrorAxis"))) {
            if (QAbstractButton* button = group->button(index)) {
                button->setChecked(true);
            } else if (QAbstractButton* checked = group->checkedButton()) {
                group->setExclusive(false);
                checked->setChecked(false);
                group->setExclusive(true);
            }
            // As a click: OK follows the choice (no event for "by two points").
            if (index <= 0)
                gprMirrorAxisClick();
        }
        break;
    case TToolWinIndex::LayerTo:
        if (auto* combo = findChild<QComboBox*>(QStringLiteral("cboLayerTo")))
            combo->setCurrentIndex(index);
        break;
    }
}

namespace {

// The lines of a memo; none when it is empty.
QStringList MemoLines(const QWidget& window, const char* name)
{
    const auto* memo = window.findChild<QPlainTextEdit*>(QString::fromLatin1(name));
    if (!memo || memo->toPlainText().isEmpty())
        return {};
    return memo->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

std::vector<std::u16string> TfrmToolWin::TrueTypeLines() const
{
    std::vector<std::u16string> lines;
    for (const QString& line : MemoLines(*this, "TntMemoTT"))
        lines.push_back(line.toStdU16String());
    return lines;
}

std::vector<std::string> TfrmToolWin::StrokeLines() const
{
    std::vector<std::string> lines;
    for (const QString& line : MemoLines(*this, "MemoSL"))
        lines.push_back(QStringToAnsi(line));
    return lines;
}
