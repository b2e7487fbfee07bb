#include "cad/scene/QVScene.h"

#include "core/settings/AppConfig.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"

#include <osg/BlendFunc>
#include <osg/GL>
#include <osg/Light>
#include <osg/Material>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

TSceneLines AxisLine(const TVector3D& from, const TVector3D& to, const TSceneColor& color, float width)
{
    TSceneLines lines;
    lines.Nodes = {from, to};
    lines.Color = color;
    lines.LineWidth = width;
    lines.NodesVisible = false;
    return lines;
}

// Sets a flag for its lifetime.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : m_Flag(flag), m_Before(flag) { m_Flag = true; }
    ~TFlagScope() { m_Flag = m_Before; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& m_Flag;
    bool m_Before;
};

osg::ref_ptr<osg::Group> NewGroup(const char* name)
{
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->setName(name);
    return group;
}

} // namespace

TQVScene::TQVScene(const TAppConfig& config) : m_Config(config), m_Root(new osg::Group)
{
    // Drawn in the order created, without depth test: every object stays
    // in one traversal-ordered bin (none may fall into the transparent bin,
    // which would sort it). Blending keeps the destination alpha at 1, or
    // grabbed images show fringes around blended text.
    osg::StateSet* rootState = m_Root->getOrCreateStateSet();
    rootState->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    rootState->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    rootState->setRenderBinDetails(0, "TraversalOrderBin", osg::StateSet::OVERRIDE_RENDERBIN_DETAILS);
    rootState->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE),
                                    osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
    m_Root->setName("Scene");

    for (const auto& [which, name] : {std::pair{TSceneGroup::Selection, "SelectionGroup"},
                                      std::pair{TSceneGroup::ChainArrow, "ChainArrowGroup"},
                                      std::pair{TSceneGroup::Chain, "ChainGroup"},
                                      std::pair{TSceneGroup::Entity, "EntityGroup"},
                                      std::pair{TSceneGroup::Stl, "StlGroup"},
                                      std::pair{TSceneGroup::Stock, "StockGroup"}}) {
        osg::ref_ptr<osg::Group> group = NewGroup(name);
        m_Root->addChild(group);
        m_Builder.RegisterGroup(which, group);
    }
    m_Builder.RegisterGroup(TSceneGroup::Objects, m_Root.get());
    m_SelectionGroup = m_Builder.Group(TSceneGroup::Selection);
    m_EntityGroup = m_Builder.Group(TSceneGroup::Entity);
    m_StlGroup = m_Builder.Group(TSceneGroup::Stl);
    m_StockGroup = m_Builder.Group(TSceneGroup::Stock);

    // The stock-removal model's mesh goes here while one is attached.
    m_StockMeshGroup = NewGroup("StockMeshGroup");
    m_Root->addChild(m_StockMeshGroup);

    osg::ref_ptr<osg::Light> light = new osg::Light(0);
    light->setPosition(osg::Vec4(0.0f, -100.0f, 60.0f, 1.0f));
    m_Light = new osg::LightSource;
    m_Light->setLight(light);
    m_Light->setName("Light");
    m_Light->setStateSetModes(*rootState, osg::StateAttribute::ON);
    m_Root->addChild(m_Light);

    m_BackgroundColor = config.BackGround;

    m_Root->addChild(m_Hud.Node());

    m_LimitsBox = new osg::ShapeDrawable(new osg::Box(osg::Vec3(0, 0, 0), 1.0f));
    m_LimitsBox->setColor(osg::Vec4(0.1f, 0.1f, 0.74f, 0.4f));
    m_LimitsBox->setName("LimitsBox");
    osg::StateSet* boxState = m_LimitsBox->getOrCreateStateSet();
    boxState->setMode(GL_LIGHTING, osg::StateAttribute::ON);
    osg::ref_ptr<osg::Material> boxMaterial = new osg::Material;
    boxMaterial->setColorMode(osg::Material::AMBIENT_AND_DIFFUSE);
    boxState->setAttribute(boxMaterial);
    m_LimitsBox->setNodeMask(0u);
    m_Root->addChild(m_LimitsBox);

    BuildAxes();

    osg::ref_ptr<osg::Group> grid = NewGroup("GridGroup");
    m_Root->addChild(grid);
    m_GridGroup = m_Builder.RegisterGroup(TSceneGroup::Grid, grid);
    m_GridVisible = true;
    m_GridColor = SceneColorFromWinColor(config.Grid, 0.2f);
    m_GridOrigin = config.GridOrigin;
    SetGridSizeX(config.GridSizeX);
    SetGridSizeY(config.GridSizeY);
    // The grid is still disabled: these store the steps and build nothing.
    SetGridStepX(config.GridX);
    SetGridStepY(config.GridY);
    m_ViewInvalid = false;
}

TQVScene::~TQVScene() = default;

void TQVScene::BuildAxes()
{
    osg::ref_ptr<osg::Group> axes = NewGroup("AxesGroup");
    m_Root->addChild(axes);
    m_AxesGroup = m_Builder.RegisterGroup(TSceneGroup::Axes, axes);
    m_AxisX = m_Builder.AddLines(m_AxesGroup, AxisLine({-1, 0, 0}, {1, 0, 0}, {1, 0, 0, 0.5f}, 2.0f));
    m_AxisY = m_Builder.AddLines(m_AxesGroup, AxisLine({0, -1, 0}, {0, 1, 0}, {0, 1, 0, 0.5f}, 2.0f));
    m_AxisZ = m_Builder.AddLines(m_AxesGroup, AxisLine({0, 0, -1}, {0, 0, 1}, {0, 0, 1, 0.5f}, 1.0f));
}

// --- The widget's side -------------------------------------------------------

void TQVScene::SetViewportSize(int32_t width, int32_t height)
{
    m_Camera.SetViewportSize(width, height);
    m_Hud.SetViewportSize(m_Camera.ViewportWidth(), m_Camera.ViewportHeight());
    InvalidateView();
}

void TQVScene::PrepareFrame(osg::Camera& camera)
{
    DrawChangedObjects();
    camera.setViewport(0, 0, m_Camera.ViewportWidth(), m_Camera.ViewportHeight());
    camera.setViewMatrix(m_Camera.ViewMatrix());
    camera.setProjectionMatrix(m_Camera.ProjectionMatrix());
    camera.setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    const TSceneColor background = SceneColorFromWinColor(m_BackgroundColor);
    camera.setClearColor(osg::Vec4(background.R, background.G, background.B, 1.0f));

    if (m_OverlayMode == OverlayBits::Idle && !AxesVisible())
        return;
    if (AxesVisible()) {
        // The axis lines span 25 pixels on each side of the origin.
        const double a = PixelSize() * 25.0;
        m_Builder.UpdateLines(m_AxisX, AxisLine({-a, 0, 0}, {a, 0, 0}, {1, 0, 0, 0.5f}, 2.0f));
        m_Builder.UpdateLines(m_AxisY, AxisLine({0, -a, 0}, {0, a, 0}, {0, 1, 0, 0.5f}, 2.0f));
        m_Builder.UpdateLines(m_AxisZ, AxisLine({0, 0, -a}, {0, 0, a}, {0, 0, 1, 0.5f}, 1.0f));
        UpdateScaleLabel();
    }
    if (m_ToolMarker.Shown)
        m_Builder.SetPointSize(m_ToolMarker.Node, static_cast<float>(m_ToolMarker.ToolDiameter / PixelSize()));
}

bool TQVScene::TakeViewInvalidation()
{
    return std::exchange(m_ViewInvalid, false);
}

void TQVScene::InvalidateView()
{
    m_ViewInvalid = true;
    if (RequestRepaint)
        RequestRepaint();
}

void TQVScene::InvalidateOverlay()
{
    if (RequestRepaint)
        RequestRepaint();
}

void TQVScene::AttachStockMesh(osg::Node* mesh)
{
    m_StockMeshGroup->removeChildren(0, m_StockMeshGroup->getNumChildren());
    if (mesh)
        m_StockMeshGroup->addChild(mesh);
    InvalidateView();
}

void TQVScene::DetachStockMesh() { AttachStockMesh(nullptr); }

bool TQVScene::StockMeshAttached() const { return m_StockMeshGroup->getNumChildren() > 0; }

// --- Scene ---------------------------------------------------------------------

void TQVScene::RebuildScene(bool recreateStock)
{
    if (m_Rebuilding) {
        m_RebuildAgain = true;
        m_RecreateStockAgain = m_RecreateStockAgain || recreateStock;
        return;
    }
    const TFlagScope rebuilding(m_Rebuilding);

    TBusySection busy(WorkMonitor());
    bool stock = recreateStock;
    for (;;) {
        m_RebuildAgain = false;
        m_RecreateStockAgain = false;
        m_ChangedObjects.clear();
        ClearOverlay();
        m_Builder.ClearGroup(m_EntityGroup);
        if (stock) {
            if (Hooks.FreeStockSolid)
                Hooks.FreeStockSolid();
            m_Builder.ClearGroup(m_StlGroup);
            m_Builder.ClearGroup(m_StockGroup);
            if (Hooks.CreateStockSolid)
                Hooks.CreateStockSolid();
        }
        m_Builder.ClearGroup(m_SelectionGroup);
        ShowInfoText(std::string());
        // The operations' toolpath displays stay: they live in groups of
        // their own, and a rebuild after Calculate would otherwise take the
        // new toolpath off the screen the moment it was drawn.
        // Timers and repaints may run here, user input may not; one of them
        // may ask for another rebuild, which then replaces this one.
        if (ProcessPendingEvents)
            ProcessPendingEvents();
        if (!m_RebuildAgain && m_Document) {
            const TFlagScope drawing(m_DrawingObjects);
            RedrawAllObjects(*m_Document);
        }
        if (!m_RebuildAgain)
            break;
        stock = m_RecreateStockAgain;
    }
    // Asked for once the entities are back: a repaint that the pending
    // events ran above showed the emptied groups, and nothing else would
    // bring the view up to date before the next zoom or pan.
    InvalidateView();
}

void TQVScene::RefreshAfterEdit(std::span<const int32_t> ids)
{
    if (m_Rebuilding) {
        RebuildScene(false);
        return;
    }
    ClearOverlay();
    m_Builder.ClearGroup(m_SelectionGroup);
    ShowInfoText(std::string());
    DrawChangedObjects();
    // Then these objects as a rebuild draws them, in the order given (an
    // edit that told the view nothing shows too).
    if (CanDrawObjects()) {
        const TFlagScope drawing(m_DrawingObjects);
        for (const int32_t id : ids) {
            if (TGraphicObject* object = m_Document->GetObjectByID(id))
                PresentObject(*object);
        }
    } else {
        m_ChangedObjects.insert(m_ChangedObjects.end(), ids.begin(), ids.end());
    }
    InvalidateView();
}

void TQVScene::ObjectChanged(TGraphicObject& object)
{
    if (m_DrawingObjects)
        return;
    m_ChangedObjects.push_back(object.ID());
    InvalidateOverlay();
}

bool TQVScene::CanDrawObjects() const
{
    return m_Document && !m_Document->IsBlocked() && ViewServices().Scene == &m_Builder;
}

void TQVScene::PresentObject(TGraphicObject& object)
{
    if (m_Document->Layers().GetLayer(object.Layer()).Visible()) {
        m_Document->DrawObject(object);
    } else {
        m_Builder.RemoveNode(object.ViewNode());
        object.SetViewNode(NoSceneNode);
    }
}

void TQVScene::DrawChangedObjects()
{
    if (m_ChangedObjects.empty() || !CanDrawObjects())
        return;
    std::vector<int32_t> changed = std::move(m_ChangedObjects);
    m_ChangedObjects.clear();
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    const TFlagScope drawing(m_DrawingObjects);
    for (const int32_t id : changed) {
        if (TGraphicObject* object = m_Document->GetObjectByID(id))
            PresentObject(*object);
    }
}

void TQVScene::ClearSceneGroup(TSceneNodeId group)
{
    m_Builder.ClearGroup(group);
    InvalidateView();
    ShowInfoText(std::string());
    m_ToolMarker.Shown = false;
}

void TQVScene::ShowInfoText(const std::string& text)
{
    m_Hud.SetInfoText(text, InfoTextX, m_Camera.ViewportHeight() - 20);
    InvalidateOverlay();
}

void TQVScene::SetAxesVisible(bool visible)
{
    m_Builder.SetNodeVisible(m_AxesGroup, visible);
    m_Builder.SetNodeVisible(m_AxisX, visible);
    m_Builder.SetNodeVisible(m_AxisY, visible);
    m_Builder.SetNodeVisible(m_AxisZ, visible);
    m_Hud.ClearScaleText();
    InvalidateView();
}

bool TQVScene::AxesVisible() const
{
    return m_Builder.IsVisible(m_AxisX);
}

void TQVScene::SetLimitsBox(const TBox3D& box)
{
    const TBox3D b = NormalizeBox3D(box);
    const osg::Vec3 centre(static_cast<float>((b.FirstEdge.X + b.SecondEdge.X) / 2),
                           static_cast<float>((b.FirstEdge.Y + b.SecondEdge.Y) / 2),
                           static_cast<float>((b.FirstEdge.Z + b.SecondEdge.Z) / 2));
    m_LimitsBox->setShape(new osg::Box(centre, static_cast<float>(b.SecondEdge.X - b.FirstEdge.X),
                                       static_cast<float>(b.SecondEdge.Y - b.FirstEdge.Y),
                                       static_cast<float>(b.SecondEdge.Z - b.FirstEdge.Z)));
    m_LimitsBox->build();
    m_LimitsBox->dirtyBound();
    InvalidateView();
}

void TQVScene::SetLimitsBoxVisible(bool visible)
{
    m_LimitsBox->setNodeMask(visible ? ~0u : 0u);
    InvalidateView();
}

bool TQVScene::LimitsBoxVisible() const
{
    return m_LimitsBox->getNodeMask() != 0u;
}

// --- Camera and projection --------------------------------------------------

TIntPoint TQVScene::PointToScreen(const TPoint2D& p) const
{
    return m_Camera.ProjectToScreen(osg::Vec3d(p.X, p.Y, 0.0));
}

TIntPoint TQVScene::Point3DToScreen(const TPoint3D& p) const
{
    return m_Camera.ProjectToScreen(osg::Vec3d(p.X, p.Y, p.Z));
}

std::optional<TPoint3D> TQVScene::ScreenToWorld(int32_t x, int32_t y) const
{
    return m_Camera.ScreenToWorld(x, y);
}

void TQVScene::SetCameraTarget(const osg::Vec3d& target)
{
    m_Camera.SetTarget(target);
    InvalidateView();
}

void TQVScene::SetCameraOffset(const osg::Vec3d& offset)
{
    m_Camera.SetOffset(offset);
    InvalidateView();
}

void TQVScene::ZoomToBox(const TBox3D& box)
{
    m_Camera.ZoomToBox(box.FirstEdge, box.SecondEdge);
    InvalidateView();
}

void TQVScene::FitBox(const TBox3D& box)
{
    m_Camera.FitBox(box.FirstEdge, box.SecondEdge, FitMargin);
    InvalidateView();
}

void TQVScene::ZoomAt(const std::optional<TPoint3D>& target, double factor)
{
    if (target)
        m_Camera.SetTarget(osg::Vec3d(target->X, target->Y, target->Z));
    m_Camera.Zoom(factor);
    InvalidateView();
}

void TQVScene::ZoomToScreenRect(const TIntRect& rect)
{
    const int32_t left = std::min(rect.Left, rect.Right);
    const int32_t right = std::max(rect.Left, rect.Right);
    const int32_t smallY = std::min(rect.Top, rect.Bottom);
    const int32_t largeY = std::max(rect.Top, rect.Bottom);
    const std::optional<TPoint3D> p1 = ScreenToWorld(left, smallY);
    const std::optional<TPoint3D> p2 = ScreenToWorld(right, largeY);
    if (!p1 || !p2)
        return;
    ZoomToBox(TBox3D{*p1, *p2});
}

// --- Grid ----------------------------------------------------------------------

void TQVScene::SetGridVisible(bool visible)
{
    if (visible == m_GridVisible)
        return;
    m_GridVisible = visible;
    m_Builder.SetNodeVisible(m_GridGroup, visible);
    InvalidateView();
}

void TQVScene::SetGridStepX(double step)
{
    if (step == m_GridStepX)
        return;
    m_GridStepX = step;
    RebuildGrid();
}

void TQVScene::SetGridStepY(double step)
{
    if (step == m_GridStepY)
        return;
    m_GridStepY = step;
    RebuildGrid();
}

void TQVScene::SetGridSubdivisionsX(int32_t n)
{
    if (n == m_GridSubX)
        return;
    m_GridSubX = n;
    RebuildGrid();
}

void TQVScene::SetGridSubdivisionsY(int32_t n)
{
    if (n == m_GridSubY)
        return;
    m_GridSubY = n;
    RebuildGrid();
}

void TQVScene::SetGridSizeX(double size)
{
    const TGridRange range = GridRangeForOrigin(size, m_GridOrigin, true,
                                                TGridRange{m_GridRect.FirstEdge.X, m_GridRect.SecondEdge.X});
    m_GridRect.FirstEdge.X = range.Min;
    m_GridRect.SecondEdge.X = range.Max;
}

void TQVScene::SetGridSizeY(double size)
{
    const TGridRange range = GridRangeForOrigin(size, m_GridOrigin, false,
                                                TGridRange{m_GridRect.FirstEdge.Y, m_GridRect.SecondEdge.Y});
    m_GridRect.FirstEdge.Y = range.Min;
    m_GridRect.SecondEdge.Y = range.Max;
}

double TQVScene::GridWidth() const
{
    return std::abs(m_GridRect.SecondEdge.X - m_GridRect.FirstEdge.X);
}

double TQVScene::GridHeight() const
{
    return std::abs(m_GridRect.SecondEdge.Y - m_GridRect.FirstEdge.Y);
}

void TQVScene::SetGridOrigin(int32_t position)
{
    m_GridOrigin = position;
    const double width = GridWidth();
    const double height = GridHeight();
    SetGridSizeX(width);
    SetGridSizeY(height);
}

bool TQVScene::AllowDenseGrid()
{
    const std::string question = LangText(LangKeys::String::GridTooDense);
    if (ConfirmDenseGrid)
        return ConfirmDenseGrid(question);
    // Only No refuses: Esc or the close box leave the grid drawn.
    return UserNotifier().AskYesNo(question, std::string()) != EUserAnswer::No;
}

void TQVScene::SetBackgroundColor(uint32_t color)
{
    m_BackgroundColor = color;
    if (RequestRepaint)
        RequestRepaint();
}

void TQVScene::SetGridColor(uint32_t color)
{
    m_GridColor = SceneColorFromWinColor(color, 0.2f);
    RebuildGrid();
}

void TQVScene::RebuildGrid()
{
    if (!(m_GridStepX > 0.0) || !(m_GridStepY > 0.0) || !m_GridEnabled)
        return;
    m_Builder.ClearGroup(m_GridGroup);
    InvalidateView();
    const double estimate = GridLineEstimate(GridWidth(), GridHeight(), m_GridStepX, m_GridStepY, m_GridSubX,
                                             m_GridSubY);
    if (estimate > GridLineLimit && !AllowDenseGrid())
        return;
    TGridSpec spec;
    spec.Rect = m_GridRect;
    spec.StepX = m_GridStepX;
    spec.StepY = m_GridStepY;
    spec.SubX = m_GridSubX;
    spec.SubY = m_GridSubY;
    spec.Color = m_GridColor;
    for (const TSceneLines& lines : BuildGridLines(spec))
        m_Builder.AddLines(m_GridGroup, lines);
}
