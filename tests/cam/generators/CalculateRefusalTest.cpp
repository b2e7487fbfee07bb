// Operations whose parameters cannot be cut as asked are refused before any
// generator runs: one warning naming the fault, and no toolpath (an earlier
// one included).

#include "tests/cam/generators/GeneratorTestSupport.h"

#include "core/settings/LangKeys.h"
#include "core/settings/NumberText.h"

#include <functional>
#include <string>

using namespace kbtest;

namespace {

class CalculateRefusalTest : public GeneratorTest {};

std::unique_ptr<TOpManagerField> SquareOperation(int kind)
{
    auto op = MakeOperation(kind);
    TParametriOperazione& p = *op->Parameters;
    p.ToolData->ToolName = "Flat 6";
    p.CompSide = 1;
    p.StepOverPercent = 60;
    p.PocketType = 1;
    p.RoughCount = 1;
    p.RoughSize = 3;
    p.ZDepth = -1;
    op->Chains.AddChain(Square(0, 0, 40));
    return op;
}

// A placed tab at the middle of the square's lower side.
void PlaceTab(TParametriOperazione& p, int32_t chainId)
{
    auto tab = std::make_unique<TDatiTab>();
    tab->ChainPoint = {20, 0};
    tab->ChainId = chainId;
    p.Tabs.AddTab(std::move(tab));
}

} // namespace

TEST_F(CalculateRefusalTest, BadParametersAreRefusedWithTheirMessage)
{
    using namespace LangKeys::String;
    const std::string depth = "The top of part is below the depth.";
    const std::string noTab = LangText(NoTabPlaced);
    const auto diameter = [](const char* d) {
        return LangFormat(LangText(ToolNoDiameter), {"Flat 6", d});
    };
    struct TCase {
        const char* Name;
        int Kind;
        std::function<void(TOpManagerField&)> Change;
        std::string Message; // empty: calculated
    };
    const TCase cases[] = {
        {"pocket, depth above the top", OpKind::Pocket, [](TOpManagerField& op) { op.Parameters->ZDepth = 2; }, depth},
        {"contour, depth above the top", OpKind::Contour, [](TOpManagerField& op) { op.Parameters->ZDepth = 2; },
         depth},
        {"pocket, depth at the top", OpKind::Pocket, [](TOpManagerField& op) { op.Parameters->ZDepth = 0; }, ""},
        {"pocket, top above a depth above 0", OpKind::Pocket,
         [](TOpManagerField& op) {
             op.Parameters->ZTop = 5;
             op.Parameters->ZDepth = 4;
         },
         ""},
        {"contour, tool of diameter 0", OpKind::Contour,
         [](TOpManagerField& op) { op.Parameters->ToolData->Diameter = 0; }, diameter("0")},
        {"pocket, negative diameter", OpKind::Pocket,
         [](TOpManagerField& op) { op.Parameters->ToolData->Diameter = -2; }, diameter("-2")},
        {"drilling, tool of diameter 0", OpKind::Drilling,
         [](TOpManagerField& op) { op.Parameters->ToolData->Diameter = 0; }, diameter("0")},
        {"contour, tabs on, none placed", OpKind::Contour, [](TOpManagerField& op) { op.Parameters->MakeTabs = 1; },
         noTab},
        {"contour, tabs on, one placed", OpKind::Contour,
         [](TOpManagerField& op) {
             op.Parameters->MakeTabs = 1;
             PlaceTab(*op.Parameters, op.Chains.Items.front()->ID);
         },
         ""},
        {"contour, tabs off, none placed", OpKind::Contour, [](TOpManagerField& op) { op.Parameters->MakeTabs = 0; },
         ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto op = SquareOperation(c.Kind);
        ASSERT_TRUE(Calculate(*op));
        ASSERT_FALSE(op->Toolpaths.empty());
        c.Change(*op);
        EXPECT_EQ(Calculate(*op), c.Message.empty());
        if (c.Message.empty()) {
            EXPECT_FALSE(op->Toolpaths.empty());
            EXPECT_TRUE(Notifier.Messages().empty());
            continue;
        }
        EXPECT_TRUE(op->Toolpaths.empty());
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Text, c.Message);
    }
}
