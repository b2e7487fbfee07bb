#include "cad/panel/LayerDefaultsFile.h"

#include "core/model/Layers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace layer_defaults_file_test {

namespace {

TEST(LayerDefaultsFile, WritesModifiedLayersInPlaceAndKeepsTheRest)
{
    kbtest::TTempDir dir;
    const std::string file = LayerDefaultsFile(dir.Path().string());
    EXPECT_EQ(file, dir.File("Layers.ini"));
    kbtest::WriteFileText(file, "; kept\n"
                                "[LayersCol]\n"
                                "2=65280\n"
                                "5=1\n"
                                "[LayersPen]\n"
                                "2=3\n"
                                "[LayersName]\n"
                                "2=Old two\n"
                                "5=Old five\n"
                                "[Other]\n"
                                "x=y\n");
    TQV_20Layers layers;
    layers.GetLayer(5).SetPenColor(0x0000FF);
    layers.GetLayer(5).SetPenWidth(2);
    layers.GetLayer(200).SetName("Holes\r\nevil=1");
    // A system colour keeps its high bit: written as the int32 it is.
    layers.GetLayer(200).SetPenColor(0x80000005);
    layers.GetLayer(7).SetVisible(0); // visibility is no change for the file

    EXPECT_EQ(SaveLayerDefaults(layers, file), "");
    EXPECT_EQ(kbtest::ReadFileText(file), "; kept\n"
                                          "[LayersCol]\n"
                                          "2=65280\n"
                                          "5=255\n"
                                          "200=-2147483643\n"
                                          "[LayersPen]\n"
                                          "2=3\n"
                                          "5=2\n"
                                          "200=1\n"
                                          "[LayersName]\n"
                                          "2=Old two\n"
                                          "5=Layer_5\n"
                                          "200=Holes  evil=1\n"
                                          "[Other]\n"
                                          "x=y\n");
}

TEST(LayerDefaultsFile, NewFileHasTheThreeSectionsInOrder)
{
    kbtest::TTempDir dir;
    const std::string file = LayerDefaultsFile(dir.Path().string() + "/");
    TQV_20Layers layers;
    layers.GetLayer(0).SetName("Base");
    EXPECT_EQ(SaveLayerDefaults(layers, file), "");
    EXPECT_EQ(kbtest::ReadFileText(dir.File("Layers.ini")),
              "[LayersCol]\n0=0\n[LayersPen]\n0=1\n[LayersName]\n0=Base\n");
}

TEST(LayerDefaultsFile, NothingModifiedWritesNothingAndFailuresAreReported)
{
    kbtest::TTempDir dir;
    TQV_20Layers layers;
    EXPECT_EQ(SaveLayerDefaults(layers, dir.File("Layers.ini")), "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Layers.ini")));
    EXPECT_EQ(LayerDefaultsFile(""), "");

    layers.GetLayer(1).SetPenWidth(3);
    EXPECT_NE(SaveLayerDefaults(layers, ""), "");
    const std::string unreachable = dir.File("missing/Layers.ini");
    const std::string error = SaveLayerDefaults(layers, unreachable);
    EXPECT_NE(error.find(unreachable), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(unreachable));
}

} // namespace

}  // namespace layer_defaults_file_test
