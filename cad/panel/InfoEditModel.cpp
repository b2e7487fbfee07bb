#include "cad/panel/InfoEditModel.h"

#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/WorkMonitor.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace {

constexpr double RadToDeg = 180.0 / std::numbers::pi;

TInfoEditModel* g_Panel = nullptr;

const std::string& EmptyText()
{
    static const std::string empty;
    return empty;
}

} // namespace

TInfoEditModel* InfoEditPanel()
{
    return g_Panel;
}

TInfoEditModel* SetInfoEditPanel(TInfoEditModel* panel)
{
    TInfoEditModel* previous = g_Panel;
    g_Panel = panel;
    return previous;
}

TInfoEditModel::TInfoEditModel(bool metric) : m_Values(DefaultInfoEditValues(metric)) {}

TInfoEditModel::~TInfoEditModel()
{
    ConnectUndoJournal(nullptr);
    if (g_Panel == this)
        g_Panel = nullptr;
}

void TInfoEditModel::ConnectUndoJournal(TUndoRedo* journal)
{
    if (m_Journal)
        m_Journal->OnUndoStart = nullptr;
    m_Journal = journal;
    if (m_Journal)
        m_Journal->OnUndoStart = [this] {
            SetReadOnly(false);
            SetPanelVisible(false);
        };
}

void TInfoEditModel::Notify()
{
    if (OnChange)
        OnChange();
}

void TInfoEditModel::SetCommandPage(uint8_t type)
{
    m_PanelVisible = true;
    // Entity pages share some numbers with command pages (a frame's page is
    // 9, the rectangle command's too): a command always replaces an entity
    // page.
    if (type == m_PageType && (m_Kind != TPanelPageKind::Entity || type == InfoEditPage::None)) {
        Notify();
        return;
    }
    m_PageType = type;
    if (type == InfoEditPage::None) {
        m_ReadOnly = false;
    } else if (const TCommandPageSpec* spec = FindCommandPage(type)) {
        BuildCommandPage(*spec);
    }
    Notify();
}

void TInfoEditModel::BuildCommandPage(const TCommandPageSpec& spec)
{
    m_Layout = TPanelLayout{};
    m_Layout.Title = LangText(spec.TitleKey);
    for (std::string_view key : spec.RowKeys)
        m_Layout.RowCaptions.push_back(LangText(key));
    if (!spec.RowKeys.empty()) {
        for (std::string_view key : spec.ColumnKeys)
            m_Layout.ColumnTitles.push_back(LangText(key));
        m_Layout.GutterWidth = spec.GutterWidth;
    }
    for (size_t i = 0; i < spec.Buttons.size(); ++i)
        m_Layout.Buttons.push_back(
            {LangText(spec.Buttons[i].CaptionKey), spec.Buttons[i].X, spec.Buttons[i].Y, static_cast<int32_t>(i)});
    m_Layout.GroupBoxHeight = spec.GroupBoxHeight;
    ++m_LayoutRevision;

    const size_t rows = m_Layout.RowCaptions.size();
    const size_t cols = m_Layout.ColumnTitles.size();
    m_Cells.assign(rows, std::vector<std::string>(cols));
    m_Editable.assign(rows, std::vector<bool>(cols, false));
    m_Kind = TPanelPageKind::Command;
    m_EditedID = -1;
    m_EntityPage = TEntityPage{};
    m_ValueRows = spec.ValueBase >= 0 ? std::min<int>(spec.ValueRows, static_cast<int>(rows)) : 0;
    if (spec.ValueBase >= 0)
        m_ValueBase = spec.ValueBase;
    for (int row = 0; row < m_ValueRows && cols > 0; ++row) {
        m_Editable[row][0] = true;
        if (m_ValueBase + row < InfoEditValueCount)
            m_Cells[row][0] = FormatCoord(m_Values[m_ValueBase + row]);
    }
    m_ReadOnly = spec.ReadOnly;
}

double TInfoEditModel::GetValue(int i) const
{
    const int index = m_ValueBase + i;
    return index >= 0 && index < InfoEditValueCount ? m_Values[index] : 0.0;
}

void TInfoEditModel::SetValueText(int i, std::string& text)
{
    const int index = m_ValueBase + i;
    if (m_Kind != TPanelPageKind::Command || i < 0 || i >= m_ValueRows || index >= InfoEditValueCount)
        return;
    std::replace(text.begin(), text.end(), ',', '.');
    if (ColumnCount() > 0)
        m_Cells[i][0] = text;
    if (const std::optional<double> v = ParseDecimal(text))
        m_Values[index] = *v;
    Notify();
}

void TInfoEditModel::ShowObject(TObject2D& object)
{
    TEntityPage page = BuildEntityPage(object);
    if (page.ObjectType == EntityPage::None)
        return;
    m_EditedID = object.ID();
    if (page.PageType != 0)
        m_PageType = page.PageType;
    ShowEntityPage(std::move(page));
    Notify();
}

void TInfoEditModel::ShowEntityPage(TEntityPage page)
{
    m_EntityPage = std::move(page);
    m_Layout = TPanelLayout{};
    m_Layout.Title = m_EntityPage.Title;
    m_Layout.RowCaptions = m_EntityPage.RowCaptions;
    m_Layout.ColumnTitles = m_EntityPage.ColumnTitles;
    m_Layout.GutterWidth = m_EntityPage.GutterWidth;
    m_Layout.Buttons = m_EntityPage.Buttons;
    if (m_EntityPage.RowCaptions.empty() && !m_EntityPage.Buttons.empty())
        m_Layout.GroupBoxHeight = 60;
    ++m_LayoutRevision;
    m_Kind = TPanelPageKind::Entity;
    m_ValueRows = 0;
    m_Cells.clear();
    m_Editable.clear();
    for (const std::vector<TEntityCell>& row : m_EntityPage.Cells) {
        std::vector<std::string> texts;
        std::vector<bool> editable;
        for (const TEntityCell& cell : row) {
            texts.push_back(cell.Text);
            editable.push_back(cell.Editable);
        }
        m_Cells.push_back(std::move(texts));
        m_Editable.push_back(std::move(editable));
    }
}

TObject2D* TInfoEditModel::EditedObject() const
{
    if (m_Kind != TPanelPageKind::Entity || !m_Document || m_EditedID < 0)
        return nullptr;
    return m_Document->GetObject(m_EditedID);
}

void TInfoEditModel::ButtonClick(size_t index)
{
    if (index >= m_Layout.Buttons.size())
        return;
    const TPanelButton& button = m_Layout.Buttons[index];
    if (button.Apply) {
        ApplyEdits();
        return;
    }
    if (m_Kind != TPanelPageKind::Command ||
        (m_PageType != InfoEditPage::Polyline && m_PageType != InfoEditPage::Spline))
        return;
    if (OnUserEvent)
        OnUserEvent(button.Tag == 0 ? TCADUserEvent::StepBack : TCADUserEvent::ClosePath);
}

void TInfoEditModel::ApplyEdits()
{
    TObject2D* object = EditedObject();
    if (!object || !m_EntityPage.HasApply())
        return;
    const int32_t id = object->ID();
    const bool changed = ApplyEntityPage(*object, m_EntityPage, m_Cells, [id] {
        if (TUndoRedo* journal = UndoJournal())
            journal->AddUndo(TUndoKind::NodeEdit, {id});
    });
    if (changed)
        m_Document->RefreshViewports(std::span(&id, 1));
    WorkMonitor().ShowStatusMessage("");
    // The repaint may have dropped the entity (nothing does today); the page
    // is shown again only from a live one.
    if (TObject2D* live = EditedObject()) {
        TEntityPage page = BuildEntityPage(*live);
        if (page.ObjectType != EntityPage::None)
            ShowEntityPage(std::move(page));
    }
    Notify();
}

void TInfoEditModel::ClearPage()
{
    m_Layout = TPanelLayout{};
    ++m_LayoutRevision;
    m_Kind = TPanelPageKind::None;
    m_PageType = InfoEditPage::None;
    m_EditedID = -1;
    m_EntityPage = TEntityPage{};
    m_Cells.clear();
    m_Editable.clear();
    m_ValueRows = 0;
    m_ReadOnly = false;
    Notify();
}

void TInfoEditModel::SetReadOnly(bool readOnly)
{
    m_ReadOnly = readOnly;
    if (readOnly)
        m_PanelVisible = true;
    Notify();
}

void TInfoEditModel::SetPanelVisible(bool visible)
{
    m_PanelVisible = visible;
    Notify();
}

const std::string& TInfoEditModel::Cell(int row, int col) const
{
    if (row < 0 || row >= RowCount() || col < 0 || col >= static_cast<int>(m_Cells[row].size()))
        return EmptyText();
    return m_Cells[row][col];
}

bool TInfoEditModel::CellEditable(int row, int col) const
{
    return row >= 0 && row < RowCount() && col >= 0 && col < static_cast<int>(m_Editable[row].size()) &&
           m_Editable[row][col];
}

void TInfoEditModel::CellEdited(int row, int col, std::string text)
{
    if (row < 0 || row >= RowCount() || col < 0 || col >= static_cast<int>(m_Cells[row].size()))
        return;
    m_Cells[row][col] = text;
    if (m_Kind == TPanelPageKind::Command && col == 0 && row < m_ValueRows)
        SetValueText(row, text);
    else
        Notify();
}

void TInfoEditModel::WriteReadout(int row, int col, const std::string& text)
{
    if (m_Kind != TPanelPageKind::Command || row < m_ValueRows || row >= RowCount() ||
        col >= static_cast<int>(m_Cells[row].size()))
        return;
    m_Cells[row][col] = text;
}

void TInfoEditModel::WritePointReadout(int row, const TPoint2D& p)
{
    WriteReadout(row, 0, FormatCoord(p.X));
    WriteReadout(row, 1, FormatCoord(p.Y));
}

void TInfoEditModel::ShowLineInfo(const TPoint2D& p1, const TPoint2D& p2)
{
    switch (m_PageType) {
    case InfoEditPage::Line:
    case InfoEditPage::PolarLine:
    case InfoEditPage::TangentLineAngle:
    case InfoEditPage::TangentLineArcs:
    case InfoEditPage::Measure:
        break;
    default:
        return;
    }
    const double dx = p2.X - p1.X;
    const double dy = p2.Y - p1.Y;
    WritePointReadout(0, p1);
    WritePointReadout(1, p2);
    WriteReadout(2, 0, FormatCoord(dx));
    WriteReadout(2, 1, FormatCoord(dy));
    WriteReadout(3, 0, FormatCoord(std::hypot(dx, dy)));
    WriteReadout(4, 0, FormatCoord(std::atan2(dy, dx) * RadToDeg));
    Notify();
}

void TInfoEditModel::ShowFrameInfo(const TPoint2D& p1, const TPoint2D& p2)
{
    if (m_PageType != InfoEditPage::Rectangle)
        return;
    WritePointReadout(0, p1);
    WritePointReadout(1, p2);
    WriteReadout(2, 0, FormatCoord(std::abs(p2.X - p1.X)));
    WriteReadout(3, 0, FormatCoord(std::abs(p2.Y - p1.Y)));
    Notify();
}

void TInfoEditModel::ShowCircleInfo(const TPoint2D& p1, const TPoint2D& p2, double value)
{
    if (m_PageType != InfoEditPage::Circle)
        return;
    WritePointReadout(0, p1);
    WritePointReadout(1, p2);
    WriteReadout(2, 0, FormatCoord(value));
    Notify();
}

void TInfoEditModel::ShowArcInfo(double x, double y, double r, double a1, double a2)
{
    if (m_PageType != InfoEditPage::ThreePoints && m_PageType != InfoEditPage::ArcCentre)
        return;
    WriteReadout(0, 0, FormatCoord(x));
    WriteReadout(0, 1, FormatCoord(y));
    WriteReadout(1, 0, FormatCoord(r));
    WriteReadout(2, 0, FormatCoord(a1 * RadToDeg));
    WriteReadout(3, 0, FormatCoord(a2 * RadToDeg));
    Notify();
}

void TInfoEditModel::ShowSizeInfo(const TPoint2D& p1, const TPoint2D& p2)
{
    if (m_PageType != InfoEditPage::Ellipse)
        return;
    WriteReadout(0, 0, FormatCoord(std::abs(p2.X - p1.X)));
    WriteReadout(1, 0, FormatCoord(std::abs(p2.Y - p1.Y)));
    Notify();
}

void TInfoEditModel::ShowVertexCounts(int32_t n1, int32_t n2)
{
    if (m_PageType != InfoEditPage::Simplify)
        return;
    WriteReadout(1, 0, std::to_string(n1));
    WriteReadout(2, 0, std::to_string(n2));
    Notify();
}
