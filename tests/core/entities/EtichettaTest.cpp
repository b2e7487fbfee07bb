// The label object's record, and that a label read from a document's
// object section can be kept apart from the drawing.

#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Etichetta.h"
#include "core/entities/Line2D.h"
#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace etichetta_test {

using kbtest::TBytes;

namespace {

TBytes Head(int32_t id)
{
    TBytes b;
    b.I32(id).U8(0).U8(0x03);
    for (double e : {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
        b.F64(e);
    return b;
}

// Two labels and font index 2.
std::vector<uint8_t> TwoLabels()
{
    TBytes b = Head(-1);
    b.I32(2);
    b.StreamEx("KB-3").F32(1.5f).F32(-2.0f).F32(10.0f).F32(1.0f);
    b.StreamEx("").F32(0.0f).F32(30.0f).F32(5.0f).F32(0.25f);
    b.I32(2);
    return b.Data();
}

struct TRegisteredClasses {
    TRegisteredClasses() { RegisterEntityClasses(); }
    ~TRegisteredClasses() { QV_00ClearClassRegistry(); }
};

} // namespace

TEST(Etichetta, NewLabelHasOneDefaultEntry)
{
    const TEtichetta label(false);
    EXPECT_EQ(label.ID(), -1);
    EXPECT_FALSE(label.Detached());
    EXPECT_EQ(label.FontIndex(), 0);
    ASSERT_EQ(label.LabelCount(), 1);
    const TDatiEtichetta& entry = label.Labels()[0];
    EXPECT_EQ(entry.Text, "");
    EXPECT_EQ(entry.X, 0.0f);
    EXPECT_EQ(entry.Y, 0.0f);
    EXPECT_EQ(entry.Height, 10.0f);
    EXPECT_EQ(entry.Spacing, 1.0f);
}

TEST(Etichetta, RecordReadsAndWritesBackFieldByField)
{
    TRegisteredClasses classes;
    TMemoryStream in(TwoLabels());
    std::unique_ptr<TGraphicObject> object = QV_00FindClassByIndex(23).CreateFromStream(in, "QV-3.6");
    EXPECT_EQ(in.Position(), in.Size());
    auto* label = dynamic_cast<TEtichetta*>(object.get());
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->Detached());
    EXPECT_EQ(label->FontIndex(), 2);
    ASSERT_EQ(label->LabelCount(), 2);
    EXPECT_EQ(label->Labels()[0].Text, "KB-3");
    EXPECT_EQ(label->Labels()[0].X, 1.5f);
    EXPECT_EQ(label->Labels()[0].Y, -2.0f);
    EXPECT_EQ(label->Labels()[1].Text, "");
    EXPECT_EQ(label->Labels()[1].Y, 30.0f);
    EXPECT_EQ(label->Labels()[1].Height, 5.0f);
    EXPECT_EQ(label->Labels()[1].Spacing, 0.25f);

    TMemoryStream out;
    label->SaveToStream(out);
    EXPECT_EQ(out.Data(), TwoLabels());

    // No labels at all is a valid record.
    label->Labels().clear();
    TMemoryStream empty;
    label->SaveToStream(empty);
    TBytes expected = Head(-1);
    expected.I32(0).I32(2);
    EXPECT_EQ(empty.Data(), expected.Data());
}

TEST(Etichetta, DamagedRecordsRaise)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"negative count", Head(-1).I32(-1).I32(0).Data()},
        {"count beyond the stream", Head(-1).I32(100000).StreamEx("A").F32(0).F32(0).F32(1).F32(1).I32(0).Data()},
        {"position not a number", Head(-1).I32(1).StreamEx("A").F32(nan).F32(0).F32(1).F32(1).I32(0).Data()},
        {"text longer than the stream", Head(-1).I32(1).I32(1000).Str("A").Data()},
        {"no font index", Head(-1).I32(1).StreamEx("A").F32(0).F32(0).F32(1).F32(1).Data()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream in(c.bytes);
        EXPECT_ANY_THROW(TEtichetta(in, "QV-3.6"));
    }
    TMemoryStream negative(cases[0].bytes);
    EXPECT_THROW(TEtichetta(negative, "QV-3.6"), ECADFileNotValid);
}

TEST(Etichetta, LabelIsKeptApartFromTheDrawing)
{
    TRegisteredClasses classes;
    TMemoryStream in(TwoLabels());
    std::unique_ptr<TGraphicObject> object = QV_00FindClassByIndex(23).CreateFromStream(in, "QV-3.6");
    auto* raw = object.get();

    // No extent, never picked.
    auto& label = dynamic_cast<TEtichetta&>(*object);
    label.UpdateBounds();
    EXPECT_EQ(label.Box().FirstEdge.X, 0);
    EXPECT_EQ(label.Box().SecondEdge.Y, 0);
    double distance = 0;
    EXPECT_EQ(label.PickAt(MakePoint2D(0, 0), distance, 1.0), PickNone);
    EXPECT_EQ(distance, PickFarDistance);

    std::unique_ptr<TGraphicObject> line = std::make_unique<TLine2D>(1, MakePoint2D(0, 0), MakePoint2D(1, 1));
    EXPECT_EQ(TakeLabelObject(line), nullptr);
    EXPECT_NE(line, nullptr);

    std::unique_ptr<TEtichetta> taken = TakeLabelObject(object);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(taken.get(), raw);
    SetCurrentLabelObject(std::move(taken));
    EXPECT_EQ(CurrentLabelObject(), raw);
    SetCurrentLabelObject(nullptr);
    EXPECT_EQ(CurrentLabelObject(), nullptr);
}

}  // namespace etichetta_test
