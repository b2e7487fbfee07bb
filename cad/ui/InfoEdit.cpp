#include "cad/ui/InfoEdit.h"

#include "cad/program/EventGuard.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/ui/AnsiText.h"
#include "core/model/QV_01Cmp2D.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room beside a row caption in its header section, on each side.
constexpr int CaptionPadding = 6;

// The row captions' column: the page's width, widened to the widest caption
// in the header's font (texts of other languages and fonts are wider than
// the page was laid out for).
int CaptionWidth(const QHeaderView& header, const TPanelLayout& page)
{
    const QFontMetrics metrics(header.font());
    int width = page.GutterWidth;
    for (const std::string& caption : page.RowCaptions)
        width = std::max(width, metrics.horizontalAdvance(AnsiToQString(caption)) + 2 * CaptionPadding);
    return width;
}

// The grid's place inside the group box: below the title, with a margin.
constexpr int GridLeft = 6;
constexpr int GridTop = 18;
// The group box's height beyond the grid, and the apply button's growth.
constexpr int GroupBoxMargin = 36;
constexpr int ApplyGrowth = 15;
constexpr int ButtonWidth = 120;
constexpr int ButtonHeight = 25;

QStringList ToQStrings(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& text : texts)
        list << AnsiToQString(text);
    return list;
}

} // namespace

TInfoEdit::TInfoEdit(bool metric, QWidget* parent)
    : QWidget(parent), m_Model(metric), m_Tree(new TGeoTreeView(this)), m_GroupBox(new QGroupBox(this)),
      m_Grid(new QTableWidget(m_GroupBox))
{
    setObjectName("InfoEdit");
    m_GroupBox->setObjectName("grpInfoEdit");
    m_Grid->setObjectName("SGInfoEdit");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Tree, 1);
    layout->addWidget(m_GroupBox);
    m_Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_Grid->hide();
    m_GroupBox->installEventFilter(this);

    connect(m_Grid, &QTableWidget::cellChanged, this, [this](int row, int col) { GridCellChanged(row, col); });
    connect(m_Tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { TreeItemClicked(item); });

    m_Model.OnChange = [this] { SyncFromModel(); };
    SetInfoEditPanel(&m_Model);
    SyncFromModel();
}

TInfoEdit::~TInfoEdit()
{
    m_Model.OnChange = nullptr;
    QObject::disconnect(m_Grid, nullptr, this, nullptr);
    QObject::disconnect(m_Tree, nullptr, this, nullptr);
    if (m_Document && m_Document->TreeGeo() == m_Tree)
        m_Document->SetTreeGeo(nullptr);
}

void TInfoEdit::SetDocument(TQV_01Cmp2D* document)
{
    if (m_Document && m_Document->TreeGeo() == m_Tree)
        m_Document->SetTreeGeo(nullptr);
    m_Document = document;
    m_Model.SetDocument(document);
    if (document) {
        document->SetTreeGeo(m_Tree);
        m_Tree->RebuildGeoTree(*document);
    } else {
        m_Tree->clear();
    }
}

void TInfoEdit::SetProgram(TQV_00CADProg* program)
{
    if (program)
        m_Model.OnUserEvent = [program](TCADUserEvent code) { program->SendUserEvent(code); };
    else
        m_Model.OnUserEvent = nullptr;
}

void TInfoEdit::ClearGeoTree()
{
    if (m_Document)
        m_Tree->ClearGeoTree(m_Document->Layers());
    else
        m_Tree->clear();
}

void TInfoEdit::SetCommandPage(uint8_t type)
{
    if (m_Tabs && m_Tabs->currentIndex() == 1)
        m_Tabs->setCurrentIndex(0);
    m_Model.SetCommandPage(type);
}

void TInfoEdit::SyncFromModel()
{
    const QSignalBlocker blocker(m_Grid);
    if (m_ShownRevision != m_Model.LayoutRevision())
        RebuildLayout();
    for (int row = 0; row < m_Grid->rowCount(); ++row) {
        for (int col = 0; col < m_Grid->columnCount(); ++col) {
            QTableWidgetItem* item = m_Grid->item(row, col);
            if (!item) {
                item = new QTableWidgetItem();
                m_Grid->setItem(row, col, item);
            }
            const QString text = AnsiToQString(m_Model.Cell(row, col));
            if (item->text() != text)
                item->setText(text);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (m_Model.CellEditable(row, col))
                flags |= Qt::ItemIsEditable;
            if (item->flags() != flags)
                item->setFlags(flags);
        }
    }
    m_Grid->setEditTriggers(m_Model.ReadOnly() ? QAbstractItemView::NoEditTriggers
                                               : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                     QAbstractItemView::AnyKeyPressed |
                                                     QAbstractItemView::SelectedClicked);
    m_GroupBox->setVisible(m_Model.PanelVisible());
}

void TInfoEdit::RebuildLayout()
{
    m_ShownRevision = m_Model.LayoutRevision();
    const TPanelLayout& page = m_Model.Layout();
    m_GroupBox->setTitle(AnsiToQString(page.Title));

    // A button may be the one whose click rebuilt the page: it goes once its
    // event has returned.
    for (QPushButton* button : m_Buttons) {
        button->hide();
        button->deleteLater();
    }
    m_Buttons.clear();

    const int rows = static_cast<int>(page.RowCaptions.size());
    m_Grid->clear();
    m_Grid->setRowCount(rows);
    m_Grid->setColumnCount(rows > 0 ? static_cast<int>(page.ColumnTitles.size()) : 0);
    m_Grid->setVerticalHeaderLabels(ToQStrings(page.RowCaptions));
    m_Grid->setHorizontalHeaderLabels(ToQStrings(page.ColumnTitles));
    m_Grid->verticalHeader()->setFixedWidth(CaptionWidth(*m_Grid->verticalHeader(), page));
    m_Grid->setVisible(rows > 0);

    const int gridHeight = (rows + 1) * m_Grid->verticalHeader()->defaultSectionSize();
    bool apply = false;
    for (const TPanelButton& b : page.Buttons)
        apply = apply || b.Apply;
    m_GroupBoxHeight = page.GroupBoxHeight > 0 ? page.GroupBoxHeight
                                               : gridHeight + GroupBoxMargin + (apply ? ApplyGrowth : 0);
    m_GroupBox->setFixedHeight(m_GroupBoxHeight);

    for (size_t i = 0; i < page.Buttons.size(); ++i) {
        const TPanelButton& spec = page.Buttons[i];
        auto* button = new QPushButton(AnsiToQString(spec.Caption), m_GroupBox);
        const int y = spec.Apply ? m_GroupBoxHeight - 30 : spec.Y;
        button->setGeometry(spec.X, y, ButtonWidth, ButtonHeight);
        button->show();
        connect(button, &QPushButton::clicked, this, [this, i] { GuardedCall([&] { m_Model.ButtonClick(i); }); });
        m_Buttons.push_back(button);
    }
    PlaceGrid();
}

void TInfoEdit::PlaceGrid()
{
    const int rows = m_Grid->rowCount();
    const int width = std::max(0, m_GroupBox->width() - 2 * GridLeft);
    m_Grid->setGeometry(GridLeft, GridTop, width, (rows + 1) * m_Grid->verticalHeader()->defaultSectionSize());
    const int cols = m_Grid->columnCount();
    if (cols > 0) {
        const int columnWidth = std::max(0, width - m_Grid->verticalHeader()->width()) / cols;
        for (int col = 0; col < cols; ++col)
            m_Grid->setColumnWidth(col, columnWidth);
    }
}

bool TInfoEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_GroupBox && event->type() == QEvent::Resize)
        PlaceGrid();
    return QWidget::eventFilter(watched, event);
}

void TInfoEdit::GridCellChanged(int row, int col)
{
    const QTableWidgetItem* item = m_Grid->item(row, col);
    if (!item)
        return;
    const std::string text = QStringToAnsi(item->text());
    GuardedCall([&] {
        m_Model.CellEdited(row, col, text);
        if (OnCellChange)
            OnCellChange(row, col);
    });
}

void TInfoEdit::TreeItemClicked(QTreeWidgetItem* item)
{
    if (TGeoTreeView::NodeLevel(item) != 2 || !m_Document)
        return;
    const int32_t id = TGeoTreeView::NodeData(item);
    GuardedCall([&] {
        m_Model.SetReadOnly(false);
        m_Model.SetPanelVisible(true);
        TObject2D* object = m_Document->GetObject(id);
        if (!object)
            return;
        m_Model.SetPageType(0);
        m_Model.ShowObject(*object);
        if (OnObjectSelected)
            OnObjectSelected(*object);
    });
}
