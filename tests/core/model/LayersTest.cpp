#include "core/settings/CADPrompts.h"
#include "core/model/CADSysException.h"
#include "core/settings/Language.h"
#include "core/model/Layers.h"
#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace layers_test {

namespace {

// The 32-byte name field: length byte, the characters, then filler.
std::string NameField(const std::string& name, char filler = '\0')
{
    std::string field(32, filler);
    field[0] = static_cast<char>(name.size());
    field.replace(1, name.size(), name);
    return field;
}

// The fields that every layout has, in front of the version-dependent ones:
// pen colour 0x0000FF (red), style 2, mode 9, width 3; brush 0x00FF00, style 1.
kbtest::TBytes& PenAndBrush(kbtest::TBytes& b)
{
    return b.U32(0x0000FF).U8(2).U8(9).I32(3).U32(0x00FF00).U8(1);
}

} // namespace

TEST(Layers, NewLayersHaveTheirDefaultsAndWriteAFourByteSection)
{
    TQV_20Layers layers;
    const TQV_21Layer& l5 = layers.GetLayer(5);
    EXPECT_EQ(l5.Name(), "Layer_5");
    EXPECT_EQ(l5.Number(), 5);
    EXPECT_EQ(l5.Pen().Color, 0u);
    EXPECT_EQ(l5.Pen().Style, PenStyleSolid);
    EXPECT_EQ(l5.Brush().Color, 0xFFFFFFu);
    EXPECT_EQ(l5.DecorativePen().PatternLength(), 0);
    EXPECT_EQ(l5.Active(), 1);
    EXPECT_EQ(l5.Visible(), 1);
    EXPECT_EQ(l5.SpareFlag(), 0);
    EXPECT_EQ(l5.SavedObjects(), 1);
    EXPECT_FALSE(l5.Modified());
    EXPECT_EQ(layers.GetLayer(255).Name(), "Layer_255");
    EXPECT_THROW(layers.GetLayer(256), ECADOutOfBound);
    EXPECT_THROW(layers.GetLayer(-1), ECADOutOfBound);

    TMemoryStream s;
    layers.SaveToStream(s);
    EXPECT_EQ(s.Data(), kbtest::TBytes().I16(1).I16(256).Data());
}

TEST(Layers, SectionWritesOnlyModifiedLayersInTheNewestLayout)
{
    TQV_20Layers layers;
    TQV_21Layer& l7 = layers.GetLayer(7);
    l7.SetPenColor(0x0000FF);
    l7.SetPenStyle(2);
    l7.SetPenMode(9);
    l7.SetPenWidth(3);
    l7.SetBrushColor(0x00FF00);
    l7.SetBrushStyle(1);
    l7.DecorativePen().SetBit(2, true); // pattern 0, 0, 1
    l7.SetVisible(0);
    l7.SetSpareFlag(1);
    l7.SetSavedObjects(0);
    l7.SetName("Walls");
    layers.GetLayer(2).SetName("Axes");

    kbtest::TBytes expected;
    expected.I16(1);
    expected.I16(2).U32(0).U8(0).U8(PenModeCopy).I32(1).U32(0xFFFFFF).U8(0).I32(0);
    expected.U8(1).U8(1).U8(0).U8(1).Str(NameField("Axes"));
    expected.I16(7);
    PenAndBrush(expected).I32(3).U8(0).U8(0).U8(1);
    expected.U8(1).U8(0).U8(1).U8(0).Str(NameField("Walls"));
    expected.I16(256);

    TMemoryStream s;
    layers.SaveToStream(s);
    EXPECT_EQ(s.Data(), expected.Data());
}

TEST(Layers, RecordIsReadUnderEveryVersionGate)
{
    struct TCase {
        const char* Signature;
        bool ExtraInt32;  // the unused field of layouts before "CAD422"
        bool Pattern;     // from "CAD41" on
        bool VisibleByte; // from "CAD4" on
        bool SavedByte;   // "CAD3  " and from "CAD33" on
        bool NameField;   // from "CAD33" on
    };
    const TCase cases[] = {
        {"QV-3.6", false, true, true, true, true},
        {"QV-002", false, true, true, true, true},
        {"CAD422", false, true, true, true, true},
        {"CAD41 ", true, true, true, true, true},
        {"CAD4  ", true, false, true, true, true},
        {"CAD33 ", true, false, false, true, true},
        {"CAD3  ", true, false, false, true, false},
        {"CAD32 ", true, false, false, false, false},
        {"CAD2  ", true, false, false, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Signature);
        kbtest::TBytes b;
        PenAndBrush(b);
        if (c.ExtraInt32)
            b.I32(0x7EADBEEF);
        if (c.Pattern)
            b.I32(4).U8(1).U8(0).U8(7).U8(0);
        b.U8(0); // active
        if (c.VisibleByte)
            b.U8(0);
        b.U8(1); // spare
        if (c.SavedByte)
            b.U8(0);
        if (c.NameField)
            b.Str(NameField("Doors", 'x'));

        TQV_21Layer layer(5);
        TMemoryStream s(b.Data());
        layer.LoadFromStream(s, c.Signature);
        EXPECT_EQ(s.Position(), s.Size());

        EXPECT_EQ(layer.Pen().Color, 0x0000FFu);
        EXPECT_EQ(layer.Pen().Style, 2);
        EXPECT_EQ(layer.Pen().Mode, 9);
        EXPECT_EQ(layer.Pen().Width, 3);
        EXPECT_EQ(layer.Brush().Color, 0x00FF00u);
        EXPECT_EQ(layer.Brush().Style, 1);
        const TDecorativePen& pen = layer.DecorativePen();
        if (c.Pattern) {
            ASSERT_EQ(pen.PatternLength(), 4);
            EXPECT_TRUE(pen.GetBit(0));
            EXPECT_FALSE(pen.GetBit(1));
            EXPECT_TRUE(pen.GetBit(2)); // any nonzero byte is drawn
            EXPECT_FALSE(pen.GetBit(3));
        } else {
            EXPECT_EQ(pen.PatternLength(), 0);
        }
        EXPECT_EQ(layer.Active(), 0);
        EXPECT_EQ(layer.Visible(), c.VisibleByte ? 0 : 1);
        EXPECT_EQ(layer.SpareFlag(), 1);
        EXPECT_EQ(layer.SavedObjects(), c.SavedByte ? 0 : 1);
        // The old layouts name the layer with a blank, not an underscore.
        EXPECT_EQ(layer.Name(), c.NameField ? "Doors" : "Layer 5");
        EXPECT_TRUE(layer.Modified());
    }
}

TEST(Layers, DamagedRecordsRaiseAndLeaveTheLayerAsItWas)
{
    const std::string sig = "QV-3.6";
    struct TCase {
        const char* What;
        std::vector<uint8_t> Bytes;
        bool FileNotValid; // else a stream read error
    };
    kbtest::TBytes hugePattern, negativePattern, shortPattern, truncatedName;
    PenAndBrush(hugePattern).I32(0x7FFFFFFF).U8(1);
    PenAndBrush(negativePattern).I32(-1).U8(1).U8(1).U8(0).U8(1).Str(NameField("n"));
    PenAndBrush(shortPattern).I32(8).U8(1).U8(1);
    PenAndBrush(truncatedName).I32(0).U8(1).U8(1).U8(0).U8(1).Str("\x05" "ab");
    const TCase cases[] = {
        {"pattern longer than the stream", hugePattern.Data(), true},
        {"negative pattern length", negativePattern.Data(), true},
        {"pattern cut short", shortPattern.Data(), true},
        {"name field cut short", truncatedName.Data(), false},
        {"empty record", {}, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TQV_21Layer layer(3);
        TMemoryStream s(c.Bytes);
        if (c.FileNotValid)
            EXPECT_THROW(layer.LoadFromStream(s, sig), ECADFileNotValid);
        else
            EXPECT_THROW(layer.LoadFromStream(s, sig), EStreamReadError);
        EXPECT_EQ(layer.Pen().Color, 0u);
        EXPECT_EQ(layer.Name(), "Layer_3");
        EXPECT_FALSE(layer.Modified());
    }
}

TEST(Layers, NameLengthByteAboveTheFieldIsCut)
{
    kbtest::TBytes b;
    PenAndBrush(b).I32(0).U8(1).U8(1).U8(0).U8(1);
    std::string field(32, 'n');
    field[0] = static_cast<char>(200);
    b.Str(field).U8(0x55); // a byte after the record that must not become part of the name
    TQV_21Layer layer(0);
    TMemoryStream s(b.Data());
    layer.LoadFromStream(s, "QV-3.6");
    EXPECT_EQ(layer.Name(), std::string(31, 'n'));
    EXPECT_EQ(s.Remaining(), 1);
}

TEST(Layers, SectionIsReadIntoTheLayersItNames)
{
    kbtest::TBytes b;
    b.I16(1).I16(9);
    PenAndBrush(b).I32(0).U8(1).U8(0).U8(0).U8(1).Str(NameField("Hidden"));
    b.I16(256).U8(2); // the byte after the section stays unread

    TQV_20Layers layers;
    layers.GetLayer(4).SetName("Mine");
    TMemoryStream s(b.Data());
    layers.LoadFromStream(s, "QV-3.6");
    EXPECT_EQ(s.Remaining(), 1);
    EXPECT_EQ(layers.GetLayer(9).Name(), "Hidden");
    EXPECT_EQ(layers.GetLayer(9).Visible(), 0);
    EXPECT_TRUE(layers.GetLayer(9).Modified());
    EXPECT_EQ(layers.GetLayer(4).Name(), "Mine");
    EXPECT_FALSE(layers.GetLayer(8).Modified());

    // The section may also end with the stream.
    TMemoryStream endsEarly(kbtest::TBytes().I16(1).Data());
    EXPECT_NO_THROW(layers.LoadFromStream(endsEarly, "QV-3.6"));
}

TEST(Layers, SectionErrors)
{
    TQV_20Layers layers;
    TMemoryStream noLayers(kbtest::TBytes().I16(2).I16(256).Data());
    try {
        layers.LoadFromStream(noLayers, "QV-3.6");
        FAIL();
    } catch (const ECADFileNotValid& e) {
        EXPECT_STREQ(e.what(), "TLayers.LoadFromStream: No layers found");
    }
    for (int16_t number : {int16_t(300), int16_t(-1)}) {
        TMemoryStream badNumber(kbtest::TBytes().I16(1).I16(number).Data());
        EXPECT_THROW(layers.LoadFromStream(badNumber, "QV-3.6"), ECADOutOfBound);
    }
}

TEST(Layers, NameAndModifiedFlag)
{
    TQV_21Layer layer(5);
    layer.SetName("Layer_5");
    EXPECT_FALSE(layer.Modified());
    const std::string forty(40, 'a');
    layer.SetName(forty);
    EXPECT_EQ(layer.Name(), forty.substr(0, 31));
    EXPECT_TRUE(layer.Modified());

    TQV_21Layer other(1);
    other.SetVisible(0);
    other.SetActive(0);
    EXPECT_FALSE(other.Modified());
    other.SetPenWidth(1); // the same value again still counts as a change
    EXPECT_TRUE(other.Modified());
}

TEST(Layers, DefaultColorFollowsOnlyLayersTheUserLeftAlone)
{
    TQV_20Layers layers;
    layers.GetLayer(3).SetPenColor(0x00FF00);
    layers.SetDefaultLayersColor(0x0000FF);
    EXPECT_EQ(layers.DefaultLayersColor(), 0x0000FFu);
    EXPECT_EQ(layers.GetLayer(200).Pen().Color, 0x0000FFu);
    EXPECT_FALSE(layers.GetLayer(200).Modified());
    EXPECT_EQ(layers.GetLayer(3).Pen().Color, 0x00FF00u);
    EXPECT_TRUE(layers.GetLayer(3).Modified());

    const TSceneColor v = LayerColorToVector(layers.GetLayer(3));
    EXPECT_FLOAT_EQ(v.R, 0.0f);
    EXPECT_FLOAT_EQ(v.G, 1.0f);
    EXPECT_FLOAT_EQ(v.B, 0.0f);
    EXPECT_FLOAT_EQ(v.A, 1.0f);
}

TEST(Layers, DecorativePenBits)
{
    TDecorativePen pen;
    pen.SetBit(3, true);
    EXPECT_EQ(pen.PatternLength(), 4);
    EXPECT_FALSE(pen.GetBit(0));
    EXPECT_TRUE(pen.GetBit(3));
    EXPECT_THROW(pen.GetBit(4), ECADOutOfBound);
    EXPECT_THROW(pen.SetBit(TDecorativePen::MaxPatternLength, true), ECADOutOfBound);
}

TEST(Layers, PromptsComeFromTheirKeysInSlotOrder)
{
    auto ini = std::make_unique<TIniFile>();
    ini->LoadFromString("[String]\n470=select\n482=ellipse\n477=one\n477A=many\n477B=second\n");
    SetLanguageIni(std::move(ini));
    LoadCADPrompts();
    SetLanguageIni(nullptr);
    EXPECT_EQ(CADPrompts[0], "select");
    EXPECT_EQ(CADPrompts[7], "ellipse");
    EXPECT_EQ(CADPrompts[9], "one");
    EXPECT_EQ(CADPrompts[16], "many");
    EXPECT_EQ(CADPrompts[17], "second");
    EXPECT_EQ(CADPrompts[1], ""); // missing key

    LoadCADPrompts();
    EXPECT_EQ(CADPrompts[0], "");
}

}  // namespace layers_test
