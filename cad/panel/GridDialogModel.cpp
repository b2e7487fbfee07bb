#include "cad/panel/GridDialogModel.h"

#include "cad/scene/QVScene.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/program/ShellServices.h"
#include "core/settings/AppConfig.h"
#include "core/settings/NumberText.h"

#include <optional>

namespace {

// What decides the grid's lines.
struct TGridShape {
    TRect2D Rect;
    double StepX, StepY;
    int32_t SubX, SubY;

    explicit TGridShape(const TQVScene& view)
        : Rect(view.GridRect()), StepX(view.GridStepX()), StepY(view.GridStepY()), SubX(view.GridSubX()),
          SubY(view.GridSubY())
    {
    }

    bool operator==(const TGridShape& o) const
    {
        return Rect.FirstEdge.X == o.Rect.FirstEdge.X && Rect.FirstEdge.Y == o.Rect.FirstEdge.Y
               && Rect.SecondEdge.X == o.Rect.SecondEdge.X && Rect.SecondEdge.Y == o.Rect.SecondEdge.Y
               && StepX == o.StepX && StepY == o.StepY && SubX == o.SubX && SubY == o.SubY;
    }
};

// Holds the view's rebuilds back and gives GridEnabled back as it was.
class TRebuildsHeld {
public:
    explicit TRebuildsHeld(TQVScene& view) : m_View(view), m_Enabled(view.GridEnabled())
    {
        m_View.SetGridEnabled(false);
    }
    ~TRebuildsHeld() { m_View.SetGridEnabled(m_Enabled); }
    TRebuildsHeld(const TRebuildsHeld&) = delete;
    TRebuildsHeld& operator=(const TRebuildsHeld&) = delete;

private:
    TQVScene& m_View;
    bool m_Enabled;
};

std::optional<double> Size(std::string_view text)
{
    const std::optional<double> v = ParseDecimal(text);
    return v && *v >= 0.0 ? v : std::nullopt;
}

} // namespace

TGridDialogModel::TGridDialogModel(TQVScene& view, TQV_00CADProg* program, TAppConfig& config)
    : m_View(view), m_Program(program), m_Config(config)
{
}

template <class F> void TGridDialogModel::ChangeGrid(F&& change, bool forceRebuild)
{
    const TGridShape before(m_View);
    {
        const TRebuildsHeld held(m_View);
        change();
    }
    if (forceRebuild || !(TGridShape(m_View) == before))
        m_View.RebuildGrid();
}

void TGridDialogModel::ApplySettings(bool forceRebuild)
{
    ChangeGrid(
        [this] {
            // The origin first: the sizes are laid out from it.
            m_View.SetGridOrigin(m_Config.GridOrigin);
            m_View.SetGridSizeX(m_Config.GridSizeX);
            m_View.SetGridSizeY(m_Config.GridSizeY);
            m_View.SetGridStepX(m_Config.GridX);
            m_View.SetGridStepY(m_Config.GridY);
            m_View.SetGridSubdivisionsX(m_Config.GridSubX);
            m_View.SetGridSubdivisionsY(m_Config.GridSubY);
        },
        forceRebuild);
    SetGridVisible(m_Config.SGrid);
    if (m_Program) {
        m_Program->XSnap = m_Config.SnapX;
        m_Program->YSnap = m_Config.SnapY;
    }
}

bool TGridDialogModel::SetGridSizeX(std::string_view text)
{
    const std::optional<double> v = Size(text);
    if (v)
        m_View.SetGridSizeX(*v);
    return v.has_value();
}

bool TGridDialogModel::SetGridSizeY(std::string_view text)
{
    const std::optional<double> v = Size(text);
    if (v)
        m_View.SetGridSizeY(*v);
    return v.has_value();
}

void TGridDialogModel::SetGridOrigin(int32_t position)
{
    m_View.SetGridOrigin(position);
}

bool TGridDialogModel::SetGridStepX(std::string_view text, bool linked)
{
    const std::optional<double> v = ParseDecimal(text);
    if (!v)
        return false;
    ChangeGrid([&] {
        if (linked)
            m_View.SetGridStepY(*v);
        m_View.SetGridStepX(*v);
    });
    return true;
}

bool TGridDialogModel::SetGridStepY(std::string_view text, bool linked)
{
    const std::optional<double> v = ParseDecimal(text);
    if (!v)
        return false;
    ChangeGrid([&] {
        if (linked)
            m_View.SetGridStepX(*v);
        m_View.SetGridStepY(*v);
    });
    return true;
}

bool TGridDialogModel::SetGridSubdivisionsX(std::string_view text, bool linked)
{
    const std::optional<int32_t> n = ParseInteger(text);
    if (!n)
        return false;
    ChangeGrid([&] {
        if (linked)
            m_View.SetGridSubdivisionsY(*n);
        m_View.SetGridSubdivisionsX(*n);
    });
    return true;
}

bool TGridDialogModel::SetGridSubdivisionsY(std::string_view text, bool linked)
{
    const std::optional<int32_t> n = ParseInteger(text);
    if (!n)
        return false;
    ChangeGrid([&] {
        if (linked)
            m_View.SetGridSubdivisionsX(*n);
        m_View.SetGridSubdivisionsY(*n);
    });
    return true;
}

bool TGridDialogModel::SetSnapX(std::string_view text, bool linked)
{
    const std::optional<double> v = ParseDecimal(text);
    if (!v)
        return false;
    if (m_Program) {
        m_Program->XSnap = *v;
        if (linked)
            m_Program->YSnap = *v;
    }
    return true;
}

bool TGridDialogModel::SetSnapY(std::string_view text, bool linked)
{
    const std::optional<double> v = ParseDecimal(text);
    if (!v)
        return false;
    if (m_Program) {
        m_Program->YSnap = *v;
        if (linked)
            m_Program->XSnap = *v;
    }
    return true;
}

void TGridDialogModel::SetGridVisible(bool visible)
{
    ShellServices().SetGridButtonDown(visible);
    m_View.SetGridVisible(visible);
}

void TGridDialogModel::StoreSettings(bool snapToGrid)
{
    m_Config.GridOrigin = m_View.GridOrigin();
    m_Config.GridSizeX = m_View.GridWidth();
    m_Config.GridSizeY = m_View.GridHeight();
    m_Config.GridX = m_View.GridStepX();
    m_Config.GridY = m_View.GridStepY();
    m_Config.GridSubX = m_View.GridSubX();
    m_Config.GridSubY = m_View.GridSubY();
    m_Config.SGrid = m_View.GridVisible();
    if (m_Program) {
        m_Config.SnapX = m_Program->XSnap;
        m_Config.SnapY = m_Program->YSnap;
    }
    m_Config.SnapToGrid = snapToGrid;
    m_View.RebuildGrid();
}
