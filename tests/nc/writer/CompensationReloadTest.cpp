// The cutter-compensation codes of a contour are not stored with its
// toolpath: a document read back must still post the same program.

#include "cam/ops/OpManager.h"
#include "core/file/Stream.h"
#include "nc/writer/ProgramGeneration.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"
#include "tests/cam/generators/GeneratorTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace kbtest;

const char* const kCompPost = "[BeforeFirstFeedMove]\n1=[ccomp] D1\n[AfterLastFeedMove]\n1=[ccomp_cancel]\n";

class CompensationReload : public GeneratorTest {
protected:
    ~CompensationReload() override { GCodeWriter().LoadFromIni(TIniFile(), "default", true); }

    std::string Post(const TOpManager& manager)
    {
        TIniFile ini;
        ini.LoadFromString(kCompPost);
        TScriveGCode& writer = GCodeWriter();
        writer.LoadFromIni(ini, "comp", true);
        writer.SetFileName(Dir.File("part.nc"));
        WriteProgram(manager, false);
        return ReadFileText(Dir.File("part.nc"));
    }

    TTempDir Dir;
};

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(CompensationReload, AContourReadBackPostsTheSameProgram)
{
    struct TCase {
        int Side;
        bool Reversed;
        int Rough;
        int Finish;
        const char* Code; // of the main curve
    };
    // Outside (-1) is G42 and inside G41 on chains that run as drawn; the
    // reversed direction swaps them. Three passes tag the main curve apart
    // from the others.
    const TCase cases[] = {
        {-1, false, 1, 0, "G42 D1"},
        {1, false, 1, 0, "G41 D1"},
        {-1, true, 2, 1, "G41 D1"},
        {1, true, 1, 0, "G42 D1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Side * 10 + c.Reversed);
        auto op = MakeOperation(OpKind::Contour);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = c.Side;
        p.EmitG41G42 = true;
        p.RoughCount = c.Rough;
        p.FinishCount = c.Finish;
        p.PassCount = 2;
        p.ZDepth = -2;
        op->Chains.AddChain(Square(0, 0, 20));
        op->Chains.DirectionReversed = c.Reversed ? 1 : 0;
        ASSERT_TRUE(Calculate(*op));
        TOpManager manager;
        manager.AddOperation(std::move(op));
        const std::string before = Post(manager);
        // Every pass at each of the two depths starts compensated and
        // cancels it.
        const auto curves = static_cast<size_t>(2 * (c.Rough + c.Finish));
        ASSERT_EQ(manager.Operation(0).Toolpaths.size(), curves);
        EXPECT_EQ(Count(before, c.Code), curves) << before;
        EXPECT_EQ(Count(before, "G40"), curves);

        TMemoryStream saved;
        manager.SaveToStream(saved);
        TOpManager reloaded;
        saved.SetPosition(0);
        reloaded.LoadFromStream(saved, "QV-3.6");
        EXPECT_EQ(Post(reloaded), before);
    }
}

} // namespace
