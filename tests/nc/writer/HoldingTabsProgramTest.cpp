// Holding tabs as they reach the machine: a contour with tabs placed by hand
// is calculated and posted through a shipped post, and the program is read
// back with a small reader of its own. What is measured is what stays of the
// part: the height of each tab over the bottom and its width along the wall.

#include "nc/writer/ProgramGeneration.h"

#include "core/settings/LangKeys.h"
#include "nc/post/PostProcessor.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"
#include "tests/cam/generators/GeneratorTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace kbtest;

namespace {

struct TPoint3 {
    double X = 0, Y = 0, Z = 0;
};

// One straight move of the program; Feed false for G0.
struct TProgramMove {
    bool Feed = false;
    TPoint3 From, To;
};

// The straight moves of a program text: modal G0/G1, absolute X, Y, Z words;
// comments in parentheses and everything after ";" skipped. Arcs make the
// test fail: a square's inside offset has none.
std::vector<TProgramMove> ReadMoves(const std::string& text)
{
    std::vector<TProgramMove> moves;
    TPoint3 at;
    int motion = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        TPoint3 to = at;
        bool moved = false;
        for (size_t i = 0; i < line.size();) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(line[i])));
            if (c == ';')
                break;
            if (c == '(') {
                const size_t close = line.find(')', i);
                i = close == std::string::npos ? line.size() : close + 1;
                continue;
            }
            if (!std::isalpha(static_cast<unsigned char>(c))) {
                ++i;
                continue;
            }
            // Not stod: the tests may run under a locale with a decimal comma.
            double value = 0;
            const char* first = line.data() + i + 1;
            const char* last = line.data() + line.size();
            const auto [end, error] = std::from_chars(first, last, value);
            if (error != std::errc()) {
                ++i;
                continue;
            }
            i = static_cast<size_t>(end - line.data());
            if (c == 'G' && value >= 0 && value <= 3 && value == std::floor(value))
                motion = static_cast<int>(value);
            else if (c == 'X')
                to.X = value, moved = true;
            else if (c == 'Y')
                to.Y = value, moved = true;
            else if (c == 'Z')
                to.Z = value, moved = true;
        }
        if (!moved)
            continue;
        EXPECT_LE(motion, 1) << "no arcs expected: " << line;
        moves.push_back({motion != 0, at, to});
        at = to;
    }
    return moves;
}

double XYLength(const TProgramMove& m)
{
    return std::hypot(m.To.X - m.From.X, m.To.Y - m.From.Y);
}

// A tab seen in the last pass: the tool rises straight up from the bottom,
// runs level, and goes straight down again.
struct TTabSeen {
    double Height = 0;
    double Length = 0; // of the tool centre's level run
    double MidX = 0, MidY = 0;
};

std::vector<TTabSeen> TabsOfLastPass(const std::vector<TProgramMove>& moves, double bottom)
{
    const double eps = 1e-6;
    std::vector<TTabSeen> tabs;
    for (size_t i = 0; i < moves.size(); ++i) {
        const TProgramMove& up = moves[i];
        if (!up.Feed || XYLength(up) > eps || std::fabs(up.From.Z - bottom) > eps || up.To.Z <= bottom + eps)
            continue;
        TTabSeen tab;
        tab.Height = up.To.Z - bottom;
        size_t k = i + 1;
        for (; k < moves.size() && moves[k].Feed && std::fabs(moves[k].To.Z - up.To.Z) <= eps; ++k)
            tab.Length += XYLength(moves[k]);
        EXPECT_LT(k, moves.size());
        if (k >= moves.size())
            break;
        const TProgramMove& down = moves[k];
        EXPECT_TRUE(down.Feed && XYLength(down) <= eps && std::fabs(down.To.Z - bottom) <= eps)
            << "the tab ends with a straight plunge to the bottom";
        tab.MidX = (up.To.X + down.From.X) / 2;
        tab.MidY = (up.To.Y + down.From.Y) / 2;
        tabs.push_back(tab);
        i = k;
    }
    return tabs;
}

class HoldingTabsProgram : public GeneratorTest {
protected:
    // A 40 mm square cut inside with a 6 mm tool in three levels of 1 mm,
    // tabs 4 wide at the middle of its lower and right sides.
    std::unique_ptr<TOpManagerField> Contour(bool full)
    {
        auto op = MakeOperation(OpKind::Contour);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = 1;
        p.RoughCount = 1;
        p.ZDepth = -3;
        p.PassCount = 3;
        p.PassDepth = 1;
        p.ZRapid = 5;
        p.ToolData->ToolNumber = 1;
        p.ToolData->Feed = 600;
        p.ToolData->PlungeFeed = 200;
        p.MakeTabs = 1;
        p.Tabs.TabWidth = 4;
        p.Tabs.TabThickness = 1.5;
        p.Tabs.Full = full ? 1 : 0;
        TCatena& square = op->Chains.AddChain(Square(0, 0, 40));
        for (TVector2D at : {TVector2D{20, 0}, TVector2D{40, 20}}) {
            auto tab = std::make_unique<TDatiTab>();
            tab->PickPoint = at;
            tab->ChainPoint = at;
            tab->Distance = 0;
            tab->ChainId = square.ID;
            p.Tabs.AddTab(std::move(tab));
        }
        return op;
    }

    // The program of the operation alone through the shipped GRBL_mm post.
    std::string Posted(const TOpManagerField& op)
    {
        TScriveGCode writer;
        writer.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, "GRBL_mm")), "GRBL_mm", true);
        writer.SetFileName(Dir.File("part.nc"));
        const TOpWriterView view(op);
        WriteProgram(writer, {{op.Kind, false, &view}}, false);
        EXPECT_TRUE(Notifier.Messages().empty());
        return ReadFileText(Dir.File("part.nc"));
    }

    TTempDir Dir;
};

} // namespace

TEST_F(HoldingTabsProgram, PartialTabsStandAtTheirThicknessAndWidth)
{
    auto op = Contour(false);
    ASSERT_TRUE(Calculate(*op));
    const std::vector<TProgramMove> moves = ReadMoves(Posted(*op));
    ASSERT_FALSE(moves.empty());
    double bottom = 0;
    for (const TProgramMove& m : moves)
        bottom = std::min(bottom, m.To.Z);
    EXPECT_DOUBLE_EQ(bottom, -3.0);

    const std::vector<TTabSeen> tabs = TabsOfLastPass(moves, bottom);
    ASSERT_EQ(tabs.size(), 2u);
    // The tool centre runs 3 inside the walls: over a tab its level run is
    // the tab's width plus the tool's diameter, so 4 of wall are left.
    const double centres[2][2] = {{20, 3}, {37, 20}};
    for (size_t t = 0; t < 2; ++t) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(tabs[t].Height, 1.5, 1e-3);
        EXPECT_NEAR(tabs[t].Length - 6.0, 4.0, 2e-3);
        EXPECT_NEAR(tabs[t].MidX, centres[t][0], 2e-3);
        EXPECT_NEAR(tabs[t].MidY, centres[t][1], 2e-3);
    }
    // The rest of the last pass is at full depth: the inside path of 4 x 34
    // minus the two tabs' runs.
    double atBottom = 0;
    for (const TProgramMove& m : moves)
        if (m.Feed && std::fabs(m.From.Z - bottom) < 1e-9 && std::fabs(m.To.Z - bottom) < 1e-9)
            atBottom += XYLength(m);
    EXPECT_NEAR(atBottom, 4 * 34 - 2 * 10, 5e-3);
}

// Full tabs: no cut of any level comes within the tool radius of the 4 mm of
// wall a tab keeps; the tool passes them above the part.
TEST_F(HoldingTabsProgram, FullTabsAreNeverCut)
{
    auto op = Contour(true);
    ASSERT_TRUE(Calculate(*op));
    const std::vector<TProgramMove> moves = ReadMoves(Posted(*op));
    ASSERT_FALSE(moves.empty());
    int cuts = 0;
    for (const TProgramMove& m : moves) {
        if (!m.Feed || std::min(m.From.Z, m.To.Z) >= 0)
            continue;
        ++cuts;
        // The wall kept by the lower tab spans x 18..22 at y 0; by the right
        // one y 18..22 at x 40. The cut's distance to each span is at least
        // the tool radius: sample the move finely.
        for (int s = 0; s <= 100; ++s) {
            const double u = s / 100.0;
            const double x = m.From.X + u * (m.To.X - m.From.X);
            const double y = m.From.Y + u * (m.To.Y - m.From.Y);
            const double lower = std::hypot(x - std::clamp(x, 18.0, 22.0), y);
            const double right = std::hypot(x - 40, y - std::clamp(y, 18.0, 22.0));
            ASSERT_GE(std::min(lower, right), 3.0 - 1e-3) << x << " " << y;
        }
    }
    EXPECT_GT(cuts, 0);
}

TEST_F(HoldingTabsProgram, TabsSwitchedOnWithNonePlacedAreRefused)
{
    auto op = Contour(false);
    op->Parameters->Tabs.ClearTabs();
    EXPECT_FALSE(Calculate(*op));
    EXPECT_TRUE(op->Toolpaths.empty());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::NoTabPlaced));
    EXPECT_NE(Notifier.Messages()[0].Text.find("no holding tab is placed"), std::string::npos);
}
