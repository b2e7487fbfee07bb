#include "nc/solid/NcVisu.h"

#include "cam/tools/DatiUtBase.h"
#include "core/settings/AppConfig.h"
#include "core/settings/NumberText.h"
#include "nc/sim/SimSeams.h"

TNcVisu::TNcVisu(const TVector3D& minimum, const TVector3D& maximum, int32_t quality,
                 const TSimOperation* operation, TStockView* view)
    : m_View(view)
{
    BindOperation(operation);
    m_Grid.SetQuality(quality);
    m_Grid.SetStock(minimum, maximum, m_ToolDiameter);
    if (m_View)
        m_View->AttachStock(m_Grid);
}

TNcVisu::~TNcVisu()
{
    m_Panel.reset();
    if (m_View)
        m_View->DetachStock();
}

void TNcVisu::SetQuality(int32_t quality)
{
    m_Grid.SetQuality(quality);
    if (m_View)
        m_View->StockRebuilt(m_Grid);
}

void TNcVisu::InitGrid()
{
    m_Grid.InitGrid();
    if (m_View)
        m_View->StockRebuilt(m_Grid);
}

void TNcVisu::BindOperation(const TSimOperation* operation)
{
    m_Operation = operation;
    const TDatiUtBase* tool = operation ? operation->ToolData() : nullptr;
    if (!tool) {
        // An unknown type: nothing cuts.
        m_Grid.SetTool(TCutTool{static_cast<ECutToolType>(kToolUndefined)});
        m_ToolDiameter = 0;
        return;
    }
    m_Grid.SetTool(TCutTool::FromRecord(tool->ToolType, tool->Diameter, tool->CornerRadius, tool->TipDiameter,
                                        tool->ToolAngle));
    m_ToolDiameter = tool->Diameter;
}

bool TNcVisu::CutMove(const TVector3D& from, const TVector3D& to, bool rapid)
{
    const TAppConfig& config = AppConfig();
    m_Grid.SetColours(static_cast<int32_t>(config.ToolPathG1), static_cast<int32_t>(config.ToolPathG0));
    m_Grid.CutMove(from, to, rapid);
    CutDone();
    return true;
}

void TNcVisu::CutArc(const TAVertice3d& start, const TAVertice3d& arc)
{
    const TAppConfig& config = AppConfig();
    m_Grid.SetColours(static_cast<int32_t>(config.ToolPathG1), static_cast<int32_t>(config.ToolPathG0));
    m_Grid.CutArc(start, arc);
    CutDone();
}

void TNcVisu::CutDone()
{
    const auto [columns, rows] = m_Grid.TakeChanged();
    if (m_View && columns.First <= columns.Last && rows.First <= rows.Last)
        m_View->StockChanged(m_Grid, columns, rows);
}

TStockBoxValues TNcVisu::StockBox() const
{
    const TVector3D& o = m_Grid.Origin();
    return {o.X, o.Y, o.Z + m_Grid.SizeZ(), m_Grid.SizeX(), m_Grid.SizeY(), m_Grid.SizeZ()};
}

std::array<std::string, 6> TNcVisu::StockTexts() const
{
    const TStockBoxValues b = StockBox();
    return {Format3DecimalsTrim(b.OriginX), Format3DecimalsTrim(b.OriginY), Format3DecimalsTrim(b.TopZ),
            Format3DecimalsTrim(b.SizeX),   Format3DecimalsTrim(b.SizeY),   Format3DecimalsTrim(b.SizeZ)};
}

bool TNcVisu::ApplyStockTexts(const std::array<std::string, 6>& texts)
{
    std::array<double, 6> v{};
    for (size_t k = 0; k < texts.size(); ++k) {
        const auto number = ParseDecimal(texts[k]);
        if (!number)
            return false;
        v[k] = *number;
    }
    // A size that is not positive is no size: the grid would have no cells.
    if (!(v[3] > 0) || !(v[4] > 0) || !(v[5] > 0))
        return false;
    const TVector3D origin{v[0], v[1], v[2] - v[5]};
    m_Grid.SetStock(origin, {origin.X + v[3], origin.Y + v[4], origin.Z + v[5]}, m_ToolDiameter);
    if (m_View)
        m_View->StockRebuilt(m_Grid);
    return true;
}
