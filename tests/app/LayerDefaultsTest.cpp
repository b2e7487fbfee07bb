#include "app/LayerDefaults.h"

#include "core/model/QV_01Cmp2D.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(LayerDefaults, ValuesFromTheFileOrTheDefaultsAndNothingMarkedModified)
{
    kbtest::TTempDir dir;
    kbtest::WriteFileText(dir.File("Layers.ini"), "[LayersCol]\n5=255\n[LayersPen]\n5=3\n6=-2\n7=abc\n"
                                                  "[LayersName]\n5=A name much longer than thirty-one characters\n"
                                                  "6=\n");
    TQV_01Cmp2D doc;
    doc.Layers().GetLayer(9).SetPenColor(0x123456); // a user's change is overwritten too
    CaricaImpLayers(doc, dir.Path().string(), 0x00FF00);

    struct TCase {
        int Layer;
        uint32_t Color;
        int32_t Width;
        std::string Name;
    };
    const TCase cases[] = {
        {0, 0x00FF00, 1, "Layer_0"},
        {5, 255, 3, "A name much longer than thirty-"},
        {6, 0x00FF00, 1, ""},         // a width below 1 counts as 1; an empty name stays empty
        {7, 0x00FF00, 1, "Layer_7"},  // a width that is no number gives the default
        {9, 0x00FF00, 1, "Layer_9"},
        {255, 0x00FF00, 1, "Layer_255"},
    };
    for (const TCase& c : cases) {
        const TQV_21Layer& layer = doc.Layers().GetLayer(c.Layer);
        EXPECT_EQ(layer.Pen().Color, c.Color) << "layer " << c.Layer;
        EXPECT_EQ(layer.Pen().Width, c.Width) << "layer " << c.Layer;
        EXPECT_EQ(layer.Name(), c.Name) << "layer " << c.Layer;
    }
    for (int i = 0; i < TQV_20Layers::LayerCount; ++i)
        EXPECT_FALSE(doc.Layers().GetLayer(i).Modified()) << "layer " << i;
}

TEST(LayerDefaults, AMissingFileGivesTheDefaults)
{
    kbtest::TTempDir dir;
    TQV_01Cmp2D doc;
    CaricaImpLayers(doc, dir.Path().string(), 0x0000FF);
    EXPECT_EQ(doc.Layers().GetLayer(17).Pen().Color, 0x0000FFu);
    EXPECT_EQ(doc.Layers().GetLayer(17).Name(), "Layer_17");
    EXPECT_FALSE(doc.Layers().GetLayer(17).Modified());
}

} // namespace
