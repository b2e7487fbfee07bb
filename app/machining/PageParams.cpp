#include "app/machining/PageParams.h"

#include "app/toolwin/ToolPageWidgets.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/DatiUtBase.h"
#include "core/settings/NumberText.h"

#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace {

using P = TParametriOperazione;
using TField = std::variant<double P::*, int32_t P::*, int16_t P::*, uint8_t P::*, bool P::*>;

enum class TControl : uint8_t {
    Coord,   // edit: FormatCoord, read as a decimal
    Integer, // spin box or edit: an integer
    Check,   // check box
    Item,    // combo box item index
    Down,    // tool button down
};

enum class TWay : uint8_t { Both, FillOnly, ReadOnly };

constexpr uint32_t K(int kind)
{
    return 1u << kind;
}
constexpr uint32_t Con = K(1) | K(12);
constexpr uint32_t Poc = K(2);
constexpr uint32_t Dri = K(3);
constexpr uint32_t Par = K(5);
constexpr uint32_t Readable = Con | Poc | Dri | Par;
constexpr uint32_t LasEng = K(8);
constexpr uint32_t LasCut = K(9);
constexpr uint32_t LasPoc = K(13);
constexpr uint32_t LatFin = K(7);
constexpr uint32_t LatRou = K(11);

struct TRow {
    uint32_t Kinds;
    const char* Control;
    TField Field;
    TControl Kind;
    TWay Way = TWay::Both;
};

// The kind pages, in the order they are filled (the change handlers run
// after the item they follow).
const TRow g_Rows[] = {
    {Con, "txtConZRetr", &P::RetractZ, TControl::Coord},
    {Con, "chkConRetr", &P::RetractOn, TControl::Check},
    {Poc, "txtPocZRetr", &P::RetractZ, TControl::Coord},
    {Poc, "chkPocRetr", &P::RetractOn, TControl::Check},
    {Dri, "txtDriZRetr", &P::RetractZ, TControl::Coord},
    {Dri, "chkDriRetr", &P::RetractOn, TControl::Check},
    {Con, "txtConZRapid", &P::ZRapid, TControl::Coord},
    {Poc, "txtPocZRapid", &P::ZRapid, TControl::Coord},
    {Dri, "txtDriZRapid", &P::ZRapid, TControl::Coord},
    {Par, "txt3DParZRapid", &P::ZRapid, TControl::Coord},
    {Con, "txtConTopStock", &P::ZTop, TControl::Coord},
    {Poc, "txtPocTopStock", &P::ZTop, TControl::Coord},
    {Dri, "txtDriTopStock", &P::ZTop, TControl::Coord},
    {Par, "txt3DParZTop", &P::ZTop, TControl::Coord},
    {Con, "txtConZDepthTot", &P::ZDepth, TControl::Coord},
    {Poc, "txtPocZDepthTot", &P::ZDepth, TControl::Coord},
    {Dri, "txtDriZDepthTot", &P::ZDepth, TControl::Coord},
    {Con, "txtConIncPassZ", &P::ZStep, TControl::Coord},
    {Poc, "txtPocIncPassZ", &P::ZStep, TControl::Coord},
    {Dri, "txtDriIncPassZ", &P::ZStep, TControl::Coord},
    {Par, "txtParRoughInc", &P::ZStep, TControl::Coord},
    {Con, "txtConStockXY", &P::StockXY, TControl::Coord},
    {Poc, "txtPocStockXY", &P::StockXY, TControl::Coord},
    {Dri, "dri_txtPasso", &P::StockXY, TControl::Coord},
    {Par, "txtParStock", &P::StockXY, TControl::Coord},
    {Con, "speConNRoughCuts", &P::RoughCount, TControl::Integer},
    {Con, "txtConRoughSize", &P::RoughSize, TControl::Coord},
    {Con, "speConNFinishCuts", &P::FinishCount, TControl::Integer},
    {Con, "txtConFinishSize", &P::FinishSize, TControl::Coord},
    {Poc, "spePocNFinishCuts", &P::FinishCount, TControl::Integer},
    {Poc, "txtPocFinishSize", &P::FinishSize, TControl::Coord},
    {Con | Poc, "cboDepthCutOrder", &P::DepthOrder, TControl::Item, TWay::FillOnly},
    {Con, "cboMethod", &P::OffsetMethod, TControl::Item},
    {Con, "cboCutRules", &P::CutRules, TControl::Item},
    {Con, "chkMakeTab", &P::MakeTabs, TControl::Check},
    {Poc, "txtPocStepOverPer", &P::StepOverPercent, TControl::Coord},
    {Con, "txtPocStepOverPer", &P::StepOverPercent, TControl::Coord, TWay::ReadOnly},
    {Poc, "chkPocSpiralInOut", &P::SpiralInOut, TControl::Check},
    {Poc, "txtAngZigZag", &P::Angle, TControl::Coord},
    {Poc, "cboPocType", &P::PocketType, TControl::Item},
    {Poc, "cboPocketEntry", &P::PocketEntry, TControl::Item},
    {Poc, "chkKeepToolDown", &P::KeepToolDown, TControl::Check},
    {Dri, "cboCycle", &P::CycleType, TControl::Item},
    {Par, "txtParStepOver", &P::StepOverPercent, TControl::Coord},
    {Par, "txtParAngle", &P::Angle, TControl::Coord},
    {Par, "txt3DMarginX", &P::MarginX, TControl::Coord},
    {Par, "txt3DMarginY", &P::MarginY, TControl::Coord},
    {Par, "txt3DParZBottom", &P::ZBottom, TControl::Coord},
    {Par, "txtParResol", &P::Resolution, TControl::Coord},
    {Par, "chkParRough", &P::RoughPass3D, TControl::Check},
    {Con, "sbtConXform", &P::XformOn, TControl::Down, TWay::FillOnly},
    {Poc, "sbtPocXform", &P::XformOn, TControl::Down, TWay::FillOnly},

    // Laser kinds (filled only).

    {LasEng, "rbtLasVecMet", &P::LeadAtMidSegment, TControl::Check, TWay::FillOnly},
    {LasEng, "rbtLasVer", &P::DepthOrder, TControl::Check, TWay::FillOnly},
    {LasEng, "rbtLaserDot", &P::KeepToolDown, TControl::Check, TWay::FillOnly},
    {LasEng, "cboLaserCM", &P::SpiralInOut, TControl::Item, TWay::FillOnly},
    {LasEng, "txtLasStepAl", &P::RoughSize, TControl::Coord, TWay::FillOnly},
    {LasEng, "txtLasStepOv", &P::StepOverPercent, TControl::Coord, TWay::FillOnly},
    {LasEng, "chkLasGrey", &P::LayerPriority, TControl::Check, TWay::FillOnly},
    {LasCut, "txtLasCutZSafe", &P::ZRapid, TControl::Coord, TWay::FillOnly},
    {LasCut, "txtLasCutFeedPlane", &P::ZDepth, TControl::Coord, TWay::FillOnly},
    {LasCut, "cboLasCutMethod", &P::OffsetMethod, TControl::Item, TWay::FillOnly},
    {LasCut, "sedLaserCutNPasses", &P::PassCount, TControl::Integer, TWay::FillOnly},
    {LasCut, "chkLasMakeTab", &P::MakeTabs, TControl::Check, TWay::FillOnly},
    {LasCut, "sbtLasCutXform", &P::XformOn, TControl::Down, TWay::FillOnly},
    {LasPoc, "txtLasPocZSafe", &P::ZRapid, TControl::Coord, TWay::FillOnly},
    {LasPoc, "txtLasPocFeedPlane", &P::ZDepth, TControl::Coord, TWay::FillOnly},
    {LasPoc, "txtLasPocStockXY", &P::StockXY, TControl::Coord, TWay::FillOnly},
    {LasPoc, "speLasPocNFinishCuts", &P::FinishCount, TControl::Integer, TWay::FillOnly},
    {LasPoc, "txtLasPocFinishSize", &P::FinishSize, TControl::Coord, TWay::FillOnly},
    {LasPoc, "txtLasPocStepOverPer", &P::StepOverPercent, TControl::Coord, TWay::FillOnly},
    {LasPoc, "chkLasPocSpiralInOut", &P::SpiralInOut, TControl::Check, TWay::FillOnly},
    {LasPoc, "txtLasAngZigZag", &P::Angle, TControl::Coord, TWay::FillOnly},
    {LasPoc, "cboLasPocType", &P::PocketType, TControl::Item, TWay::FillOnly},
    {LasPoc, "chkLasKeepToolDown", &P::KeepToolDown, TControl::Check, TWay::FillOnly},
    {LasPoc, "sbtLasPocXform", &P::XformOn, TControl::Down, TWay::FillOnly},

    // Lathe kinds (filled only).
    {LatFin, "chkLatFinEntry", &P::LatheEntryOn, TControl::Check, TWay::FillOnly},
    {LatFin, "chkLatFinExit", &P::LatheExitOn, TControl::Check, TWay::FillOnly},
    {LatFin, "txtLatFinStock", &P::StockXY, TControl::Coord, TWay::FillOnly},
    {LatFin, "speLFinNFinishCuts", &P::FinishCount, TControl::Integer, TWay::FillOnly},
    {LatFin, "txtLatFinDimFin", &P::FinishSize, TControl::Coord, TWay::FillOnly},
    {LatFin, "chkLatFinHP", &P::LatheHomeOn, TControl::Check, TWay::FillOnly},
    {LatFin, "chkFinFace", &P::FinishFace, TControl::Check, TWay::FillOnly},
    {LatRou, "chkLatRouEntry", &P::LatheEntryOn, TControl::Check, TWay::FillOnly},
    {LatRou, "chkLatRouExit", &P::LatheExitOn, TControl::Check, TWay::FillOnly},
    {LatRou, "txtLatRouStock", &P::StockXY, TControl::Coord, TWay::FillOnly},
    {LatRou, "txtLatRouStepOver", &P::StepOverPercent, TControl::Coord, TWay::FillOnly},
    {LatRou, "speLRouNFinishCuts", &P::FinishCount, TControl::Integer, TWay::FillOnly},
    {LatRou, "txtLatRouDimFin", &P::FinishSize, TControl::Coord, TWay::FillOnly},
    {LatRou, "chkLatRouHP", &P::LatheHomeOn, TControl::Check, TWay::FillOnly},
};

// The chain page's controls every kind shares (the side list is apart).
const TRow g_Shared[] = {
    {Readable, "txtCCOffset", &P::CompOffset, TControl::Coord},
    {Readable, "chkInOutMid", &P::LeadAtMidSegment, TControl::Check},
    {Readable, "chkG41G42", &P::EmitG41G42, TControl::Check},
    {Readable, "chkMaskArcs", &P::ArcMask, TControl::Check, TWay::FillOnly},
    {Readable, "txtMaskTol", &P::ArcMaskTolerance, TControl::Coord, TWay::FillOnly},
    {Readable, "txtMaskDia", &P::ArcMaskDiameter, TControl::Coord, TWay::FillOnly},
    {Readable, "chkLayerPriority", &P::LayerPriority, TControl::Check},
};

double Get(const P& p, const TField& field)
{
    return std::visit([&p](auto member) { return static_cast<double>(p.*member); }, field);
}

void Set(P& p, const TField& field, double value)
{
    std::visit(
        [&p, value](auto member) {
            using T = std::remove_reference_t<decltype(p.*member)>;
            if constexpr (std::is_same_v<T, bool>)
                p.*member = value != 0.0;
            else
                p.*member = static_cast<T>(value);
        },
        field);
}

void FillRow(TWidgetToolPage& page, const TRow& row, const P& p)
{
    const double value = Get(p, row.Field);
    switch (row.Kind) {
    case TControl::Coord: page.SetText(row.Control, FormatCoord(value)); break;
    case TControl::Integer: page.SetText(row.Control, std::to_string(static_cast<int64_t>(value))); break;
    case TControl::Check:
    case TControl::Down: page.SetChecked(row.Control, value != 0.0); break;
    case TControl::Item: page.SetItemIndex(row.Control, static_cast<int>(value)); break;
    }
}

// A value read from the page, waiting to be stored.
struct TPending {
    TField Field;
    double Value;
};

// The row's value, or the offending text.
std::variant<double, std::string> ReadRow(const TWidgetToolPage& page, const TRow& row, const P& p)
{
    switch (row.Kind) {
    case TControl::Coord: {
        const std::string text = page.Text(row.Control);
        if (const auto value = ParseDecimal(text))
            return *value;
        return text;
    }
    case TControl::Integer: {
        const std::string text = page.Text(row.Control);
        if (const auto value = ParseInteger(text))
            return static_cast<double>(*value);
        return text;
    }
    case TControl::Check:
    case TControl::Down: return page.Checked(row.Control) ? 1.0 : 0.0;
    case TControl::Item: {
        const int index = page.ItemIndex(row.Control);
        // No selection leaves the field.
        return index < 0 ? Get(p, row.Field) : static_cast<double>(index);
    }
    }
    return 0.0;
}

bool Applies(const TRow& row, int kind, TWay skip)
{
    return kind >= 0 && kind < 32 && (row.Kinds & K(kind)) != 0 && row.Way != skip;
}

// The fixed values a kind stores whatever its pages show.
void StoreFixedValues(P& p, int kind)
{
    if (kind == 2) {
        p.RoughCount = 0;
        p.RoughSize = 0;
        p.DepthOrder = 1;
        p.OffsetMethod = 1;
    } else if (kind == 3) {
        p.RoughCount = 0;
        p.RoughSize = 0;
        p.FinishCount = 0;
        p.FinishSize = 0;
        p.StepOverPercent = 0;
        p.Angle = 0;
        p.SpiralInOut = 0;
        p.PocketType = 0;
        p.DepthOrder = 1;
        p.OffsetMethod = 0;
    }
}

const char* const g_ConXform[] = {"txtConXformXStep", "txtConXformXDelta", "txtConXformYStep", "txtConXformYDelta"};
const char* const g_PocXform[] = {"txtPocXformXStep", "txtPocXformXDelta", "txtPocXformYStep", "txtPocXformYDelta"};
const char* const g_LasCutXform[] = {"txtLasCutXformXStep", "txtLasCutXformXDelta", "txtLasCutXformYStep",
                                    "txtLasCutXformYDelta"};
const char* const g_LasPocXform[] = {"txtLasPocXformXStep", "txtLasPocXformXDelta", "txtLasPocXformYStep",
                                    "txtLasPocXformYDelta"};

} // namespace

const char* const* TransformEditNames(int kind)
{
    if (kind == 1 || kind == 12)
        return g_ConXform;
    if (kind == 2)
        return g_PocXform;
    if (kind == 9)
        return g_LasCutXform;
    if (kind == 13)
        return g_LasPocXform;
    return nullptr;
}

void FillPages(TWidgetToolPage& page, TToolPage* toolPage, TOpManagerField& op, const TFillPagesEvents& events)
{
    P& p = *op.Parameters;
    const int kind = op.Kind;
    if (toolPage && p.ToolData)
        p.ToolData->ToPage(*toolPage);
    for (const TRow& row : g_Shared) {
        if (page.Find(row.Control))
            FillRow(page, row, p);
    }
    page.SetItemIndex("cboCCDir", p.CompSide == 0 ? 0 : (p.CompSide < 0 ? 1 : 2));
    // Lathe kinds: the pages edit the working copies of the lathe points.
    if ((K(kind) & (LatFin | LatRou)) != 0)
        p.LathePointsFromStored();
    if (p.CompSide != 0 && events.CompSideChanged)
        events.CompSideChanged();
    for (const TRow& row : g_Rows) {
        if (!Applies(row, kind, TWay::ReadOnly) || !page.Find(row.Control))
            continue;
        FillRow(page, row, p);
        const std::string_view name = row.Control;
        if (name == "cboDepthCutOrder" && kind != 2 && events.RememberDepthOrder)
            events.RememberDepthOrder(p.DepthOrder);
        else if (name == "cboMethod" && events.MethodChanged)
            events.MethodChanged();
        else if (name == "cboPocType" && events.PocketTypeChanged)
            events.PocketTypeChanged();
        else if (name == "cboCycle" && events.CycleChanged)
            events.CycleChanged();
        else if (name == "chkMakeTab" && p.Tabs.Count() > 0 && events.FillTabWindow)
            events.FillTabWindow();
        if (events.AfterRow)
            events.AfterRow(name);
    }
    // The pocket always clears by nested areas.
    if (kind == 2)
        page.SetItemIndex("cboMethod", 1);
}

std::optional<std::string> ReadFromPages(const TWidgetToolPage& page, TToolPage* toolPage, TOpManagerField& op)
{
    P& p = *op.Parameters;
    const int kind = op.Kind;
    if ((Readable & K(kind)) == 0)
        return std::nullopt;
    std::vector<TPending> pending;
    const auto take = [&](const TRow& row) -> std::optional<std::string> {
        if (!page.Find(row.Control))
            return std::nullopt;
        auto value = ReadRow(page, row, p);
        if (auto* text = std::get_if<std::string>(&value))
            return "\"" + *text + "\"";
        pending.push_back({row.Field, std::get<double>(value)});
        return std::nullopt;
    };
    // Step and repeat: counts and distances of the page's group.
    if (p.XformOn) {
        if (const char* const* names = TransformEditNames(kind)) {
            const TField fields[] = {&P::StepCountX, &P::StepX, &P::StepCountY, &P::StepY};
            for (int i = 0; i < 4; ++i) {
                const TRow row{K(kind), names[i], fields[i], i % 2 == 0 ? TControl::Integer : TControl::Coord};
                if (auto bad = take(row))
                    return bad;
            }
        }
    }
    for (const TRow& row : g_Shared) {
        if (row.Way != TWay::FillOnly) {
            if (auto bad = take(row))
                return bad;
        }
    }
    for (const TRow& row : g_Rows) {
        if (!Applies(row, kind, TWay::FillOnly))
            continue;
        if (auto bad = take(row))
            return bad;
    }
    // Every text converted: the tool record next, which refuses alone.
    if (toolPage && p.ToolData && !p.ToolData->FromPage(*toolPage))
        return std::string();
    for (const TPending& value : pending)
        Set(p, value.Field, value.Value);
    if (page.Find("cboCCDir")) {
        const int side = page.ItemIndex("cboCCDir");
        if (side >= 0 && side <= 2)
            p.CompSide = side == 0 ? 0 : (side == 1 ? -1 : 1);
    }
    if (kind == 1 || kind == 12)
        p.DepthOrder = page.ItemIndex("cboDepthCutOrder") == 1 ? 1 : 0;
    StoreFixedValues(p, kind);
    return std::nullopt;
}

// --- Snapshot before a Calculate ---------------------------------------------------------

namespace {

// Values a Calculate may change besides the table's rows: the side, the
// order, step and repeat, and the depth passes.
const TField g_CalculateFields[] = {
    &P::CompSide,   &P::DepthOrder, &P::XformOn,   &P::StepCountX,   &P::StepX,         &P::StepCountY,
    &P::StepY,      &P::PassCount,  &P::PassDepth, &P::HasRemainder, &P::RemainderDepth,
};

template <typename F>
void ForEachSnapshotField(F&& f)
{
    for (const TRow& row : g_Rows)
        f(row.Field);
    for (const TRow& row : g_Shared)
        f(row.Field);
    for (const TField& field : g_CalculateFields)
        f(field);
}

} // namespace

TOperationSnapshot::TOperationSnapshot(TOpManagerField& op)
    : m_DepthPassText1(op.DepthPassText1), m_DepthPassText2(op.DepthPassText2), m_Surfaces(op.SurfaceObjects),
      m_Toolpaths(std::move(op.Toolpaths))
{
    op.Toolpaths.clear();
    if (!op.Parameters)
        return;
    const P& p = *op.Parameters;
    ForEachSnapshotField([&](const TField& field) { m_Values.push_back(Get(p, field)); });
    if (p.ToolData)
        m_Tool = p.ToolData->Clone();
}

TOperationSnapshot::~TOperationSnapshot() = default;

void TOperationSnapshot::Restore(TOpManagerField& op)
{
    op.ClearToolpaths();
    op.Toolpaths = std::move(m_Toolpaths);
    m_Toolpaths.clear();
    op.DepthPassText1 = m_DepthPassText1;
    op.DepthPassText2 = m_DepthPassText2;
    op.SurfaceObjects = m_Surfaces;
    if (!op.Parameters || m_Values.empty())
        return;
    P& p = *op.Parameters;
    size_t i = 0;
    ForEachSnapshotField([&](const TField& field) { Set(p, field, m_Values[i++]); });
    // In place: the tool page and the tool's solid keep their record.
    if (!m_Tool || !p.ToolData || m_Tool->Kind() != p.ToolData->Kind())
        return;
    switch (m_Tool->Kind()) {
    case EToolKind::Mill:
        static_cast<TDatiUtFresa&>(*p.ToolData) = static_cast<const TDatiUtFresa&>(*m_Tool);
        break;
    case EToolKind::Lathe:
        static_cast<TDatiUtTornio&>(*p.ToolData) = static_cast<const TDatiUtTornio&>(*m_Tool);
        break;
    case EToolKind::Laser:
        static_cast<TDatiLaser&>(*p.ToolData) = static_cast<const TDatiLaser&>(*m_Tool);
        break;
    }
}
