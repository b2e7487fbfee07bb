#include "cad/ui/frmLayer.h"

#include "cad/program/EventGuard.h"
#include "cad/panel/LayerDefaultsFile.h"
#include "cad/program/ShellServices.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/ColorBox.h"
#include "cad/ui/FormTranslate.h"
#include "cad/ui/frmLayerAttr.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

namespace LK = LangKeys::frmLayer;

constexpr std::array<int, TfrmLayer::ColumnCount> ColumnWidths{33, 53, 288, 64, 64, 64};
constexpr int RowHeight = 22;
constexpr int ImageSize = 16;

QString Name(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The images of imgLayer, drawn here: an open eye for a visible layer, a
// struck-out one for a hidden layer, an arrow for the current layer.
std::array<QPixmap, 3> LayerImages()
{
    std::array<QPixmap, 3> images;
    for (QPixmap& p : images) {
        p = QPixmap(ImageSize, ImageSize);
        p.fill(Qt::transparent);
    }
    {
        QPainter painter(&images[0]);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(1.5, 4.5, 13, 7));
        painter.setBrush(QColor(0, 128, 0));
        painter.drawEllipse(QRectF(5.5, 5.5, 5, 5));
    }
    {
        QPainter painter(&images[1]);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::gray, 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(1.5, 4.5, 13, 7));
        painter.setPen(QPen(QColor(192, 0, 0), 1.6));
        painter.drawLine(QPointF(2, 14), QPointF(14, 2));
    }
    {
        QPainter painter(&images[2]);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(QColor(192, 0, 0));
        painter.drawPolygon(QPolygon({QPoint(3, 2), QPoint(13, 8), QPoint(3, 14)}));
    }
    return images;
}

class TLayerCellDelegate : public QStyledItemDelegate {
public:
    explicit TLayerCellDelegate(TfrmLayer& form) : QStyledItemDelegate(&form), m_Form(form) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_Form.StringGrid1DrawCell(*painter, option.rect, index.column(), index.row() + 1);
    }

private:
    TfrmLayer& m_Form;
};

} // namespace

TfrmLayer::TfrmLayer(QWidget* parent)
    : QDialog(parent), m_grpLayer(new QGroupBox(this)), m_StringGrid1(new QTableWidget(m_grpLayer)),
      m_btnOk(new QPushButton(QStringLiteral("OK"), this)),
      m_btnCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_btnSaveSettings(new QPushButton(QStringLiteral("Save settings"), this)), m_AttrDialog(new TfrmLayerAttr(this)),
      m_imgLayer(LayerImages())
{
    setObjectName(Name(LK::frmLayer));
    setWindowTitle(QStringLiteral("Layers"));
    setModal(true);
    m_grpLayer->setObjectName(Name(LK::grpLayer));
    m_grpLayer->setTitle(QStringLiteral("Layers"));
    m_StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    m_btnOk->setObjectName(Name(LK::btnOk));
    m_btnCancel->setObjectName(Name(LK::btnCancel));
    m_btnSaveSettings->setObjectName(Name(LK::btnSaveSettings));
    m_btnOk->setDefault(true);

    const std::array<std::string_view, ColumnCount> labels{LK::lblLayerNum, LK::lblLayerCurr, LK::lblLayerName,
                                                          LK::lblLayerVis, LK::lblLayerCol, LK::lblLayerPenW};
    // Design texts, for a program without its language file.
    const std::array<const char*, ColumnCount> designTexts{"No.", "Current", "Name", "Visible", "Colour", "Pen width"};
    for (size_t i = 0; i < labels.size(); ++i) {
        m_HeaderLabels[i] = new QLabel(QString::fromLatin1(designTexts[i]), m_grpLayer);
        m_HeaderLabels[i]->setObjectName(Name(labels[i]));
        m_HeaderLabels[i]->hide();
    }

    QTableWidget& grid = *m_StringGrid1;
    grid.setColumnCount(ColumnCount);
    grid.setRowCount(TQV_20Layers::LayerCount);
    grid.verticalHeader()->hide();
    grid.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid.verticalHeader()->setDefaultSectionSize(RowHeight);
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid.horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < ColumnCount; ++c)
        grid.setColumnWidth(c, ColumnWidths[static_cast<size_t>(c)]);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                         | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    grid.setItemDelegate(new TLayerCellDelegate(*this));
    for (int r = 0; r < TQV_20Layers::LayerCount; ++r)
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == ColName)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            grid.setItem(r, c, item);
        }
    int width = 2 * grid.frameWidth() + 20;
    for (int w : ColumnWidths)
        width += w;
    grid.setMinimumWidth(width);

    auto* group = new QVBoxLayout(m_grpLayer);
    group->addWidget(&grid);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnSaveSettings);
    buttons->addStretch(1);
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grpLayer, 1);
    layout->addLayout(buttons);
    resize(width + 40, 480);

    connect(&grid, &QTableWidget::cellClicked, this, [this](int row, int col) {
        GuardedCall([&] { StringGrid1SelectCell(col, row + 1); });
    });
    connect(&grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        GuardedCall([&] { StringGrid1SetEditText(item->column(), item->row() + 1, item->text()); });
    });
    connect(m_btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnSaveSettings, &QPushButton::clicked, this, [this] { GuardedCall([&] { btnSaveSettingsClick(); }); });
}

TfrmLayer::~TfrmLayer()
{
    QObject::disconnect(m_StringGrid1, nullptr, this, nullptr);
}

void TfrmLayer::SetDocument(TQV_01Cmp* document)
{
    m_Document = document;
}

void TfrmLayer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        GuardedCall([this] { FormShow(); });
}

void TfrmLayer::FormShow()
{
    TranslateForms({this}, LanguageIni());
    m_LayerDialogPending = true;
    m_Open = true;
    QStringList header;
    for (QLabel* label : m_HeaderLabels)
        header << label->text();
    m_StringGrid1->setHorizontalHeaderLabels(header);
    m_SelectedLayerRow = 0;
    if (m_Document)
        m_Snapshot.Take(*m_Document);
    FillRows();
}

void TfrmLayer::FillRows()
{
    const QSignalBlocker blocker(m_StringGrid1);
    for (int n = 0; n < TQV_20Layers::LayerCount; ++n) {
        m_StringGrid1->item(n, ColNumber)->setText(QString::number(n));
        m_StringGrid1->item(n, ColName)
            ->setText(m_Document ? AnsiToQString(m_Document->Layers().GetLayer(n).Name()) : QString());
    }
    m_StringGrid1->viewport()->update();
}

void TfrmLayer::StringGrid1SelectCell(int col, int row)
{
    if (!m_Document || row <= 0 || row > TQV_20Layers::LayerCount)
        return;
    m_SelectedLayerRow = row;
    const int layer = row - 1;
    switch (col) {
    case ColCurrent:
        m_Document->SetCurrentLayer(layer);
        ShellServices().CurrLayerInfo();
        break;
    case ColVisible: {
        TQV_21Layer& l = m_Document->Layers().GetLayer(layer);
        l.SetVisible(l.Visible() ? 0 : 1);
        m_Document->RepaintViewports();
        break;
    }
    case ColColor:
    case ColPenWidth:
        m_AttrDialog->ShowForLayer(*m_Document, layer, windowTitle(), m_grpLayer->title());
        ShellServices().CurrLayerCol(m_Document->Layers().GetLayer(m_Document->CurrentLayer()).Pen().Color);
        break;
    default:
        break;
    }
    StringGrid1Click();
}

void TfrmLayer::StringGrid1Click()
{
    m_StringGrid1->viewport()->update();
}

void TfrmLayer::StringGrid1SetEditText(int col, int row, const QString& text)
{
    if (!m_Document || col != ColName || row <= 0 || row > TQV_20Layers::LayerCount)
        return;
    const std::string stored = RenameLayer(*m_Document, row - 1, QStringToAnsi(text));
    const QSignalBlocker blocker(m_StringGrid1);
    m_StringGrid1->item(row - 1, ColName)->setText(AnsiToQString(stored));
}

void TfrmLayer::btnSaveSettingsClick()
{
    if (!m_Document)
        return;
    const std::string error =
        SaveLayerDefaults(m_Document->Layers(), LayerDefaultsFile(AppConfig().ConfigFolder()));
    if (!error.empty())
        ShowExceptionText(error);
}

void TfrmLayer::btnOkClick()
{
    m_LayerDialogPending = false;
    accept();
}

void TfrmLayer::done(int result)
{
    GuardedCall([this] { FormClose(); });
    QDialog::done(result);
}

void TfrmLayer::FormClose()
{
    if (!m_Open)
        return;
    m_Open = false;
    if (m_Document && m_LayerDialogPending)
        m_Snapshot.Restore(*m_Document);
    ShellServices().CurrLayerInfo();
}

void TfrmLayer::StringGrid1DrawCell(QPainter& painter, const QRect& rect, int col, int row) const
{
    if (row <= 0 || !m_Document)
        return;
    const int layer = row - 1;
    QColor background = palette().color(QPalette::Base);
    QColor text = palette().color(QPalette::Text);
    if (layer == m_Document->CurrentLayer()) {
        background = TColorBox::ToQColor(CurrentRowColor);
        text = Qt::black;
    } else if (row == m_SelectedLayerRow) {
        background = TColorBox::ToQColor(SelectedRowColor);
        text = Qt::white;
    }
    painter.fillRect(rect, background);
    ScriveRiga(painter, rect, col, layer, text);
}

void TfrmLayer::ScriveRiga(QPainter& painter, const QRect& rect, int col, int layer, const QColor& textColor) const
{
    const TQV_21Layer& l = m_Document->Layers().GetLayer(layer);
    const QPoint c = rect.center();
    const QPoint imageAt(c.x() - ImageSize / 2, c.y() - ImageSize / 2);
    painter.save();
    switch (col) {
    case ColNumber:
    case ColName:
        painter.setPen(textColor);
        painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         m_StringGrid1->item(layer, col)->text());
        break;
    case ColCurrent:
        if (layer == m_Document->CurrentLayer())
            painter.drawPixmap(imageAt, m_imgLayer[2]);
        break;
    case ColVisible:
        painter.drawPixmap(imageAt, m_imgLayer[l.Visible() ? 0 : 1]);
        break;
    case ColColor:
        painter.setPen(Qt::black);
        painter.setBrush(TColorBox::ToQColor(l.Pen().Color));
        painter.drawRect(QRect(QPoint(c.x() - 24, c.y() - 8), QPoint(c.x() + 24, c.y() + 8)));
        break;
    case ColPenWidth: {
        const int top = rect.top() + 3;
        const int bottom = rect.bottom() - 3;
        const int middle = (top + bottom) / 2;
        // A width from a file may be anything; the line never grows past
        // its cell (the text tells the true value).
        const int shown = std::clamp(l.Pen().Width, 1, std::max(1, bottom - top));
        painter.setPen(QPen(Qt::black, shown, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(rect.left() + 8, middle, rect.left() + 43, middle);
        painter.setPen(textColor);
        painter.drawText(QRect(rect.left() + 50, rect.top() + 5, rect.width(), rect.height()),
                         Qt::AlignLeft | Qt::AlignTop, QString::number(l.Pen().Width));
        break;
    }
    default:
        break;
    }
    painter.restore();
}
