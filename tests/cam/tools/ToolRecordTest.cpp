#include "cam/tools/DatiUtBase.h"

#include "tests/cam/FakeToolPage.h"
#include "tests/cam/ToolBytes.h"
#include "core/model/CADSysException.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kbtest;

namespace {

template <typename R>
R LoadRecord(const std::vector<uint8_t>& bytes, bool documentForm, int64_t* endPosition = nullptr)
{
    TMemoryStream s(bytes);
    R r;
    r.LoadFromStream(s, documentForm);
    if (endPosition)
        *endPosition = s.Position();
    return r;
}

std::vector<uint8_t> Saved(const TDatiUtBase& r, bool documentForm)
{
    TMemoryStream s;
    r.SaveToStream(s, documentForm);
    return s.Data();
}

} // namespace

TEST(ToolRecord, MillLibraryFormReadsEveryFieldAndWritesTheSameBytes)
{
    const TBytes bytes = MillLibraryBytes(4, "V-bit 60", 6.35);
    ASSERT_EQ(bytes.Data().size(), 124u);
    int64_t end = 0;
    const auto r = LoadRecord<TDatiUtFresa>(bytes.Data(), false, &end);
    EXPECT_EQ(end, 124);
    EXPECT_EQ(r.ToolNumber, 4);
    EXPECT_EQ(r.SpindleSpeed, 18000);
    EXPECT_EQ(r.SpindleChoice, 1);
    EXPECT_EQ(r.Feed, 1200.5);
    EXPECT_EQ(r.PlungeFeed, 300.25);
    EXPECT_TRUE(r.Coolant);
    EXPECT_EQ(r.ToolName, "V-bit 60");
    EXPECT_EQ(r.ToolType, kToolConico);
    EXPECT_EQ(r.Diameter, 6.35);
    EXPECT_EQ(r.CornerRadius, 0.5);
    EXPECT_EQ(r.ToolAngle, 60);
    EXPECT_EQ(r.TipDiameter, 0.2);
    EXPECT_EQ(r.PassZ, 1.5f);
    EXPECT_EQ(r.ToolLength, 42.25f);
    EXPECT_EQ(Saved(r, false), bytes.Data());
}

TEST(ToolRecord, MillNameLengthByteAboveFiftyStaysInsideTheNameField)
{
    // A damaged length byte (200) must neither read past the 50 characters
    // nor shift the fields behind them.
    const auto r = LoadRecord<TDatiUtFresa>(MillLibraryBytes(1, std::string(50, 'x'), 3, 0, 200).Data(), false);
    EXPECT_EQ(r.ToolName, std::string(50, 'x'));
    EXPECT_EQ(r.Diameter, 3);
    // Characters past the length byte are not part of the name.
    const auto shortName = LoadRecord<TDatiUtFresa>(MillLibraryBytes(1, "abcdef", 3, 0, 3).Data(), false);
    EXPECT_EQ(shortName.ToolName, "abc");
}

TEST(ToolRecord, MillDocumentFormReadsStringNameAndIgnoresReserved)
{
    int64_t end = 0;
    const TBytes bytes = MillDocumentBytes("Bull 6", 0xAB);
    const auto r = LoadRecord<TDatiUtFresa>(bytes.Data(), true, &end);
    EXPECT_EQ(end, static_cast<int64_t>(bytes.Data().size()));
    EXPECT_EQ(r.ToolNumber, 7);
    EXPECT_EQ(r.SpindleChoice, 2);
    EXPECT_FALSE(r.Coolant);
    EXPECT_EQ(r.ToolName, "Bull 6");
    EXPECT_EQ(r.ToolType, kToolToro);
    EXPECT_EQ(r.CornerRadius, 1);
    EXPECT_EQ(r.PassZ, 2.5f);
    EXPECT_EQ(r.ToolLength, 30.0f);
    // Written back, the reserved bytes are zeros.
    EXPECT_EQ(Saved(r, true), MillDocumentBytes("Bull 6").Data());
}

TEST(ToolRecord, NamesAreCutToFiftyCharactersInEveryForm)
{
    const std::string longName(60, 'n');
    const std::string cut(50, 'n');
    EXPECT_EQ(LoadRecord<TDatiUtFresa>(MillDocumentBytes(longName).Data(), true).ToolName, cut);
    EXPECT_EQ(LoadRecord<TDatiUtTornio>(LatheBytes(1, longName, 0.4).Data(), false).ToolName, cut);
    EXPECT_EQ(LoadRecord<TDatiLaser>(LaserBytes(longName, 0.1).Data(), false).ToolName, cut);

    TDatiUtFresa mill;
    mill.ToolName = longName;
    const std::vector<uint8_t> lib = Saved(mill, false);
    ASSERT_EQ(lib.size(), 124u);
    EXPECT_EQ(lib[29], 50);
    EXPECT_EQ(std::string(lib.begin() + 30, lib.begin() + 80), cut);
    EXPECT_EQ(Saved(mill, true).size(), 157u + 50u);
}

TEST(ToolRecord, LatheReadsEveryFieldWithSinglePrecisionEdges)
{
    const TBytes bytes = LatheBytes(2, "VNMG", 0.4);
    int64_t end = 0;
    const auto r = LoadRecord<TDatiUtTornio>(bytes.Data(), true, &end);
    EXPECT_EQ(end, static_cast<int64_t>(bytes.Data().size()));
    EXPECT_EQ(r.ToolNumber, 2);
    EXPECT_EQ(r.SpindleSpeed, 1500);
    EXPECT_EQ(r.SpindleChoice, 3);
    EXPECT_EQ(r.Feed, 0.15);
    EXPECT_EQ(r.LatheFlags, 3);
    EXPECT_TRUE(r.Coolant);
    EXPECT_EQ(r.ToolName, "VNMG");
    EXPECT_EQ(r.ToolType, 1);
    EXPECT_EQ(r.Diameter, 0.4);
    EXPECT_EQ(r.CornerRadius, 12.5);
    EXPECT_EQ(r.EdgeLength2, 8.25f);
    EXPECT_EQ(r.ToolAngle, 35);
    EXPECT_EQ(r.EdgeAngle1, 95.0f);
    EXPECT_EQ(Saved(r, false), bytes.Data());
    EXPECT_EQ(Saved(r, true), bytes.Data());
}

TEST(ToolRecord, LaserReadsEveryField)
{
    const TBytes bytes = LaserBytes("Cut 3mm", 0.1);
    const auto r = LoadRecord<TDatiLaser>(bytes.Data(), false);
    EXPECT_EQ(r.Feed, 1500);
    EXPECT_EQ(r.Dwell1, 0.25f);
    EXPECT_EQ(r.Dwell2, 0.5f);
    EXPECT_EQ(r.ToolName, "Cut 3mm");
    EXPECT_EQ(r.Diameter, 0.1);
    EXPECT_EQ(r.SpindleSpeed, 1000);
    EXPECT_EQ(r.SpindleChoice, 50);
    EXPECT_EQ(r.PlungeFeed, 700);
    EXPECT_EQ(r.GasOn, 1);
    EXPECT_EQ(r.GasValue, 80.0f);
    EXPECT_EQ(r.GasDelay, 0.75f);
    EXPECT_EQ(Saved(r, false), bytes.Data());
}

TEST(ToolRecord, ShortOrImpossibleRecordsAreRefused)
{
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Bytes;
        std::function<std::unique_ptr<TDatiUtBase>()> Make;
        bool DocumentForm;
    };
    auto cut = [](const TBytes& b, size_t drop) {
        return std::vector<uint8_t>(b.Data().begin(), b.Data().end() - static_cast<ptrdiff_t>(drop));
    };
    auto mill = [] { return std::make_unique<TDatiUtFresa>(); };
    auto lathe = [] { return std::make_unique<TDatiUtTornio>(); };
    auto laser = [] { return std::make_unique<TDatiLaser>(); };
    TBytes hugeName;
    hugeName.I32(1).I32(2).I32(3).F64(4).I32(0).U8(0).I32(0x7fffffff).Str("abc");
    const std::vector<TCase> cases = {
        {"mill library, last byte missing", cut(MillLibraryBytes(1, "a", 3), 1), mill, false},
        {"mill library, only the number", cut(MillLibraryBytes(1, "a", 3), 120), mill, false},
        {"mill document, reserved cut", cut(MillDocumentBytes("a"), 10), mill, true},
        {"lathe, reserved cut", cut(LatheBytes(1, "a", 1), 1), lathe, false},
        {"lathe, name longer than the data", hugeName.Data(), lathe, false},
        {"laser, inside the name", cut(LaserBytes("abcdef", 1), 100), laser, false},
        {"empty", {}, laser, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryStream s(c.Bytes);
        const auto r = c.Make();
        try {
            r->LoadFromStream(s, c.DocumentForm);
            ADD_FAILURE() << "no error";
        } catch (const ECADFileNotValid& e) {
            EXPECT_NE(std::string(e.what()).find(".LoadFromStream: Invalid stream."), std::string::npos);
        }
    }
}

TEST(ToolRecord, OperationKindSelectsTheRecordKind)
{
    const std::vector<std::pair<int, std::optional<EToolKind>>> cases = {
        {0, EToolKind::Mill}, {6, EToolKind::Mill},  {7, EToolKind::Lathe}, {11, EToolKind::Lathe},
        {8, EToolKind::Laser}, {9, EToolKind::Laser}, {13, EToolKind::Laser}, {10, std::nullopt},
        {12, EToolKind::Mill},
    };
    for (const auto& [kind, expected] : cases) {
        const auto r = NewToolRecordForKind(kind);
        EXPECT_EQ(r ? std::optional(r->Kind()) : std::nullopt, expected) << "kind " << kind;
    }
}

TEST(ToolRecord, MillPageRoundTripAndBadNumberLeavesRecordUnchanged)
{
    TToolLanguage language;
    TRecordingNotifier notifier;
    TFakeToolPage page;
    auto mill = LoadRecord<TDatiUtFresa>(MillLibraryBytes(4, "V-bit", 6.35).Data(), false);
    mill.ToPage(page);
    EXPECT_EQ(page.Texts["sedToolNum"], "4");
    EXPECT_EQ(page.Texts["txtGiri"], "18000");
    EXPECT_EQ(page.Items["cboSpindle"], 1);
    EXPECT_EQ(page.Texts["txtFeedrate"], "1200.5");
    EXPECT_EQ(page.Items["cboToolType"], kToolConico);
    EXPECT_EQ(page.TypeChanges, 1);
    EXPECT_EQ(page.Texts["txtDiametro"], "6.35");
    EXPECT_EQ(page.Texts["txtTLength"], "42.25");
    EXPECT_TRUE(page.Checks["chkCoolant"]);

    page.Texts["txtUtName"] = std::string(60, 'q');
    page.Texts["txtDiametro"] = " 8 ";
    TDatiUtFresa read;
    ASSERT_TRUE(read.FromPage(page));
    EXPECT_EQ(read.ToolName, std::string(50, 'q'));
    EXPECT_EQ(read.Diameter, 8);
    EXPECT_EQ(read.Feed, 1200.5);
    EXPECT_EQ(read.ToolLength, 42.25f);
    EXPECT_TRUE(notifier.Messages().empty());

    // A comma is not a decimal point: nothing of the page is taken.
    page.Texts["sedToolNum"] = "9";
    page.Texts["txtAngolo"] = "1,5";
    EXPECT_FALSE(read.FromPage(page));
    EXPECT_EQ(read.ToolNumber, 4);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Text, "Bad number");
    EXPECT_EQ(notifier.Messages()[0].Caption, "Error");
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Warning);
}

TEST(ToolRecord, LatheGeometryDescriptionAndPartialPage)
{
    TToolLanguage language;
    TFakeToolPage page;
    auto lathe = LoadRecord<TDatiUtTornio>(LatheBytes(2, "VNMG", 0.4).Data(), false);
    lathe.ToPage(page);
    EXPECT_EQ(page.Texts["sbtToolGeo"],
              "Geometry\r\n\r\nName VNMG\r\nType Triangular\r\nRadius 0.4\r\nVariant Mirrored");
    EXPECT_EQ(page.Images["sbtToolGeo"], 1);
    EXPECT_TRUE(page.Checks["rbtLatheUMin"]);

    // The page changes number, feed unit and coolant; the insert geometry
    // is not on it and stays.
    page.Texts["sedLatheToolNum"] = "5";
    page.Checks["rbtLatheUMin"] = false;
    page.Checks["chkLCoolant"] = false;
    ASSERT_TRUE(lathe.FromPage(page));
    EXPECT_EQ(lathe.ToolNumber, 5);
    EXPECT_EQ(lathe.LatheFlags, kLatheGeometryVariant);
    EXPECT_FALSE(lathe.Coolant);
    EXPECT_EQ(lathe.CornerRadius, 12.5);

    TDatiUtTornio copy;
    copy.Assign(lathe);
    EXPECT_EQ(Saved(copy, false), Saved(lathe, false));
}
