#include "cad/panel/InfoEditPages.h"

#include "core/settings/LangKeys.h"

namespace {

namespace LK = LangKeys::String;

std::vector<TCommandPageSpec> BuildTable()
{
    using P = TCommandPageSpec;
    namespace Pg = InfoEditPage;
    // The two column layouts: an X and a Y column, or one value column.
    const std::vector<std::string_view> XYColumns{LK::ColumnX, LK::ColumnY};
    const std::vector<std::string_view> ValueColumn{LK::ColumnValue};
    const std::vector<std::string_view> lineRows{LK::PanelStartPoint, LK::PanelEndPoint, LK::PanelDeltaXY,
                                                 LK::PanelLength, LK::PanelAngle};
    const std::vector<std::string_view> arcRows{LK::PanelArcCentrePoint, LK::PanelArcRadius, LK::PanelStartAngle,
                                                LK::PanelEndAngle};
    const std::vector<std::string_view> polarLineRows{LK::PanelPolarLength, LK::PanelPolarAngle};
    return {
        P{.Type = Pg::Point, .TitleKey = LK::PanelPoint, .RowKeys = {LK::PanelPosition}, .ColumnKeys = XYColumns,
          .GutterWidth = 60, .ReadOnly = true},
        P{.Type = Pg::PointGrid, .TitleKey = LK::PanelPointGrid,
          .RowKeys = {LK::PanelGridStepX, LK::PanelGridStepY, LK::PanelGridColumns, LK::PanelGridRows,
                      LK::PanelGridAngle},
          .ColumnKeys = ValueColumn, .GutterWidth = 110, .ValueBase = 5, .ValueRows = 5},
        P{.Type = Pg::BoltCircle, .TitleKey = LK::PanelBoltCircle,
          .RowKeys = {LK::PanelBoltDiameter, LK::PanelBoltStartAngle, LK::PanelBoltAngleStep, LK::PanelBoltHoles,
                      LK::PanelBoltRotation},
          .ColumnKeys = ValueColumn, .GutterWidth = 110, .ValueBase = 10, .ValueRows = 5},
        P{.Type = Pg::Line, .TitleKey = LK::PanelLine, .RowKeys = lineRows, .ColumnKeys = XYColumns,
          .GutterWidth = 60, .ReadOnly = true},
        P{.Type = Pg::PolarLine, .TitleKey = LK::PanelPolarLine, .RowKeys = polarLineRows,
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 15, .ValueRows = 2},
        // Shares its two values with the polar line.
        P{.Type = Pg::TangentLineAngle, .TitleKey = LK::PanelTangentLineAngle, .RowKeys = polarLineRows,
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 15, .ValueRows = 2},
        P{.Type = Pg::TangentLineArcs, .TitleKey = LK::PanelTangentLineArcs},
        P{.Type = Pg::Rectangle, .TitleKey = LK::PanelRectangle,
          .RowKeys = {LK::PanelFirstCorner, LK::PanelSecondCorner, LK::PanelWidth, LK::PanelHeight},
          .ColumnKeys = XYColumns, .GutterWidth = 60, .ReadOnly = true},
        P{.Type = Pg::Circle, .TitleKey = LK::PanelCircle,
          .RowKeys = {LK::PanelCentre, LK::PanelPointOnCircle, LK::PanelRadius}, .ColumnKeys = XYColumns,
          .GutterWidth = 60, .ReadOnly = true},
        P{.Type = Pg::CircleDiameter, .TitleKey = LK::PanelCircleDiameter, .RowKeys = {LK::PanelDiameter},
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 20, .ValueRows = 1},
        P{.Type = Pg::ThreePoints, .TitleKey = LK::PanelThreePoints, .RowKeys = arcRows, .ColumnKeys = XYColumns,
          .GutterWidth = 80, .ReadOnly = true},
        P{.Type = Pg::ArcCentre, .TitleKey = LK::PanelArcCentre, .RowKeys = arcRows, .ColumnKeys = XYColumns,
          .GutterWidth = 80, .ReadOnly = true},
        P{.Type = Pg::PolarArc, .TitleKey = LK::PanelPolarArc,
          .RowKeys = {LK::PanelPolarArcRadius, LK::PanelPolarArcStart, LK::PanelPolarArcEnd},
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 22, .ValueRows = 3},
        // The tangent-arc command takes its values from the picks alone: a
        // title over a hidden grid, like the other pages without values.
        P{.Type = Pg::ArcTangentOne, .TitleKey = LK::PanelArcTangentOne},
        P{.Type = Pg::ArcTangentTwo, .TitleKey = LK::PanelArcTangentTwo, .RowKeys = {LK::PanelTangentRadius},
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 25, .ValueRows = 1},
        P{.Type = Pg::Ellipse, .TitleKey = LK::PanelEllipse, .RowKeys = {LK::PanelEllipseFirst, LK::PanelEllipseSecond},
          .ColumnKeys = ValueColumn, .GutterWidth = 80, .ReadOnly = true},
        P{.Type = Pg::Polyline, .TitleKey = LK::PanelPolyline,
          .Buttons = {{LK::PanelPolylineBack, 35, 20}, {LK::PanelPolylineClose, 35, 50}}, .GroupBoxHeight = 120},
        P{.Type = Pg::Spline, .TitleKey = LK::PanelSpline,
          .Buttons = {{LK::PanelSplineBack, 35, 20}, {LK::PanelSplineClose, 35, 50}}, .GroupBoxHeight = 120},
        // Shares its value with the arc tangent to two elements.
        P{.Type = Pg::Fillet, .TitleKey = LK::PanelFillet, .RowKeys = {LK::PanelFilletRadius},
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 25, .ValueRows = 1},
        P{.Type = Pg::Trim, .TitleKey = LK::PanelTrim},
        P{.Type = Pg::Break, .TitleKey = LK::PanelBreak},
        P{.Type = Pg::Divide, .TitleKey = LK::PanelDivide},
        P{.Type = Pg::Join, .TitleKey = LK::PanelJoin},
        P{.Type = Pg::Extend, .TitleKey = LK::PanelExtend, .RowKeys = {LK::PanelExtendLength},
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 26, .ValueRows = 1},
        // Row 0 is the tolerance; rows 1 and 2 show the vertex counts.
        P{.Type = Pg::Simplify, .TitleKey = LK::PanelSimplify,
          .RowKeys = {LK::PanelSimplifyTolerance, LK::PanelVerticesBefore, LK::PanelVerticesAfter},
          .ColumnKeys = ValueColumn, .GutterWidth = 100, .ValueBase = 28, .ValueRows = 1},
        P{.Type = Pg::Measure, .TitleKey = LK::PanelMeasure, .RowKeys = lineRows, .ColumnKeys = XYColumns,
          .GutterWidth = 60, .ReadOnly = true},
    };
}

} // namespace

TInfoEditValues DefaultInfoEditValues(bool metric)
{
    const double u = metric ? 1.0 : 0.05;
    TInfoEditValues v{};
    v[5] = 10 * u;
    v[6] = 10 * u;
    v[7] = 5;
    v[8] = 5;
    v[10] = 50 * u;
    v[12] = 45;
    v[13] = 8;
    v[15] = 50 * u;
    v[16] = 45;
    v[20] = 50 * u;
    v[22] = 50 * u;
    v[23] = 45;
    v[24] = 270;
    v[25] = 25 * u;
    v[26] = 5 * u;
    v[28] = 0.025 * u;
    return v;
}

const TCommandPageSpec* FindCommandPage(uint8_t type)
{
    static const std::vector<TCommandPageSpec> table = BuildTable();
    for (const TCommandPageSpec& page : table)
        if (page.Type == type)
            return &page;
    return nullptr;
}
