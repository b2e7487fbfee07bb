#include "cam/ui/frmChainSet.h"

#include "cad/ui/AnsiText.h"
#include "cad/ui/FormTranslate.h"
#include "cam/chains/ChainContext.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

namespace LK = LangKeys::frmChainSet;

QString Name(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The list with its drag and drop handed to the window's handlers: a drop
// on the list itself moves the item through lsvChainDragDrop, and Qt is
// told that nothing was moved, so it removes no item of its own.
class TChainListWidget final : public QListWidget {
public:
    explicit TChainListWidget(TfrmChainSet& form) : QListWidget(&form), m_Form(form) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        m_Form.lsvChainMouseDown(p.x(), p.y());
        QListWidget::mousePressEvent(event);
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    void dropEvent(QDropEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        event->setDropAction(Qt::CopyAction);
        event->accept();
        m_Form.lsvChainDragDrop(p.x(), p.y());
    }

private:
    TfrmChainSet& m_Form;
};

constexpr int kChainRole = Qt::UserRole;

} // namespace

TfrmChainSet::TfrmChainSet(QWidget* parent) : QDialog(parent)
{
    setObjectName(Name(LK::frmChainSet));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setFixedSize(301, 344);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    m_lsvChain = new TChainListWidget(*this);
    m_lsvChain->setObjectName(QStringLiteral("lsvChain"));
    m_lsvChain->setGeometry(8, 8, 281, 217);
    m_lsvChain->setViewMode(QListView::ListMode);
    m_lsvChain->setFlow(QListView::TopToBottom);
    m_lsvChain->setWrapping(true);
    m_lsvChain->setDragEnabled(true);
    m_lsvChain->setAcceptDrops(true);
    m_lsvChain->setDragDropMode(QAbstractItemView::DragDrop);
    m_lsvChain->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lsvChain->setContextMenuPolicy(Qt::CustomContextMenu);

    m_sbtDelSelChain = new QPushButton(this);
    m_sbtDelSelChain->setObjectName(Name(LK::sbtDelSelChain));
    m_sbtDelSelChain->setGeometry(8, 240, 129, 25);
    m_sbtDelSelChain->setText(QStringLiteral("Delete chain"));

    m_lblStartPt = new QLabel(this);
    m_lblStartPt->setObjectName(Name(LK::lblStartPt));
    m_lblStartPt->move(40, 280);
    m_lblStartPt->setText(QStringLiteral("Start point"));

    m_ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    m_ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    m_ScrollBar1->setGeometry(136, 278, 134, 14);
    m_ScrollBar1->setPageStep(0);

    m_sbtOk = new QPushButton(this);
    m_sbtOk->setObjectName(Name(LK::sbtOk));
    m_sbtOk->setGeometry(217, 312, 75, 25);
    m_sbtOk->setText(QStringLiteral("&Ok"));

    m_mnuDelChain = new QMenu(this);
    m_mnuDelChain->setObjectName(QStringLiteral("mnuDelChain"));
    QAction* del = m_mnuDelChain->addAction(QStringLiteral("Delete chain"));
    del->setObjectName(Name(LK::mnuDelSelChain));

    connect(m_lsvChain, &QListWidget::itemClicked, this, [this] { lsvChainClick(); });
    connect(m_lsvChain, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { m_mnuDelChain->popup(m_lsvChain->viewport()->mapToGlobal(p)); });
    connect(m_ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    connect(m_sbtDelSelChain, &QPushButton::clicked, this, [this] { mnuDelSelChainClick(); });
    connect(del, &QAction::triggered, this, [this] { mnuDelSelChainClick(); });
    connect(m_sbtOk, &QPushButton::clicked, this, [this] { sbtOkClick(); });

    AddChainWatcher(this);
}

TfrmChainSet::~TfrmChainSet()
{
    RemoveChainWatcher(this);
}

TCatena* TfrmChainSet::ItemChain(const QListWidgetItem& item)
{
    return reinterpret_cast<TCatena*>(item.data(kChainRole).value<quintptr>());
}

void TfrmChainSet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmChainSet::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
}

void TfrmChainSet::hideEvent(QHideEvent* event)
{
    // Closing and hiding end alike: the operation gets the new order.
    if (!event->spontaneous())
        FormClose();
    QDialog::hideEvent(event);
}

void TfrmChainSet::FormShow()
{
    TranslateForms({this}, LanguageIni());
    SelectedIndex = -1;
    SelectedChain = nullptr;
    m_lsvChain->clear();
    if (TListaCatene* chains = CurrentChains ? CurrentChains() : nullptr) {
        for (int i = 0; i < chains->Count(); ++i) {
            TCatena* chain = chains->ChainAt(i);
            if (!chain)
                continue;
            const std::string text =
                std::to_string(i + 1) + " " +
                LangText(chain->Closed ? LangKeys::String::ChainInfoClosed : LangKeys::String::ChainInfoOpen);
            auto* item = new QListWidgetItem(AnsiToQString(text), m_lsvChain);
            item->setData(kChainRole, QVariant::fromValue(reinterpret_cast<quintptr>(chain)));
        }
    }
    HighlightedChain = nullptr;
    Reordered = false;
}

void TfrmChainSet::RestoreHighlight()
{
    if (HighlightedChain)
        HighlightedChain->SetChainColor(AppConfig().Chain);
}

void TfrmChainSet::lsvChainClick()
{
    SelectedIndex = -1;
    SelectedChain = nullptr;
    QListWidgetItem* item = m_lsvChain->currentItem();
    if (!item)
        return;
    SelectedIndex = m_lsvChain->row(item);
    SelectedChain = ItemChain(*item);
    RestoreHighlight();
    SelectedChain->SetChainColor(AppConfig().ToolPathG2);
    HighlightedChain = SelectedChain;

    ScrollUpdating = true;
    m_ScrollBar1->setMaximum(std::max(0, SelectedChain->Count() - 1));
    m_ScrollBar1->setValue(0);
    LastScrollPos = 0;
    m_ScrollBar1->setEnabled(SelectedChain->Closed != 0);
    ScrollUpdating = false;
}

void TfrmChainSet::ScrollBar1Change()
{
    if (ScrollUpdating || !SelectedChain)
        return;
    const int position = m_ScrollBar1->value();
    const int d = position - LastScrollPos;
    if (d == 0)
        return;
    const int k = d > 0 ? d : (SelectedChain->Count() - 1) - std::abs(d);
    LastScrollPos = position;
    SelectedChain->RotateStart(k);
    SelectedChain->ClearArrowLines();
    const TListaCatene* chains = CurrentChains ? CurrentChains() : nullptr;
    SelectedChain->DrawArrow(chains && chains->DirectionReversed != 0, ChainContext().CompensationSide());
}

void TfrmChainSet::lsvChainMouseDown(int x, int y)
{
    DragStartX = x;
    DragStartY = y;
}

void TfrmChainSet::lsvChainDragDrop(int x, int y)
{
    QListWidgetItem* dragged = m_lsvChain->itemAt(DragStartX, DragStartY);
    QListWidgetItem* target = m_lsvChain->itemAt(x, y);
    if (!dragged || !target)
        return;
    Reordered = true;
    const int to = m_lsvChain->row(target);
    auto* moved = new QListWidgetItem(dragged->text());
    moved->setData(kChainRole, dragged->data(kChainRole));
    m_lsvChain->insertItem(to, moved);
    delete m_lsvChain->takeItem(m_lsvChain->row(dragged));
}

void TfrmChainSet::mnuDelSelChainClick()
{
    if (!SelectedChain)
        return;
    TCatena* chain = SelectedChain;
    chain->ClearLines();
    // The item goes first, so that the chain is not looked for again when
    // it is freed.
    for (int i = 0; i < m_lsvChain->count(); ++i)
        if (ItemChain(*m_lsvChain->item(i)) == chain) {
            delete m_lsvChain->takeItem(i);
            break;
        }
    HighlightedChain = nullptr;
    SelectedChain = nullptr;
    SelectedIndex = -1;
    TListaCatene* chains = CurrentChains ? CurrentChains() : nullptr;
    if (!chains)
        return;
    for (auto it = chains->Items.begin(); it != chains->Items.end(); ++it)
        if (it->get() == chain) {
            std::unique_ptr<TACurva> owned = std::move(*it);
            chains->Items.erase(it);
            owned.reset();
            return;
        }
}

void TfrmChainSet::FormClose()
{
    RestoreHighlight();
    HighlightedChain = nullptr;
    if (!Reordered)
        return;
    Reordered = false;
    TListaCatene* chains = CurrentChains ? CurrentChains() : nullptr;
    if (!chains)
        return;
    // Taken out without freeing, put back in the order of the items; a
    // chain of the list that has no item (added while the window was open)
    // keeps its place at the end.
    std::vector<std::unique_ptr<TACurva>> taken = std::move(chains->Items);
    chains->Items.clear();
    for (int i = 0; i < m_lsvChain->count(); ++i) {
        TCatena* chain = ItemChain(*m_lsvChain->item(i));
        for (auto& slot : taken)
            if (slot.get() == chain) {
                chains->Items.push_back(std::move(slot));
                break;
            }
    }
    for (auto& slot : taken)
        if (slot)
            chains->Items.push_back(std::move(slot));
}

void TfrmChainSet::sbtOkClick()
{
    close();
}

void TfrmChainSet::ChainFreed(const TCatena& chain)
{
    for (int i = m_lsvChain->count() - 1; i >= 0; --i)
        if (ItemChain(*m_lsvChain->item(i)) == &chain)
            delete m_lsvChain->takeItem(i);
    if (SelectedChain == &chain) {
        SelectedChain = nullptr;
        SelectedIndex = -1;
    }
    if (HighlightedChain == &chain)
        HighlightedChain = nullptr;
}
