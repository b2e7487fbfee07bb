#include "fuzz/FuzzEntries.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

// Every seed and every input a fuzzer once found is replayed here, so the
// sanitizer build checks them on each run.
TEST(FuzzReplay, Ini)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/ini", KbFuzzIni), 0u);
}

TEST(FuzzReplay, Fnd)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/fnd", KbFuzzFnd), 0u);
}

TEST(FuzzReplay, DXFGroups)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/dxfgroups", KbFuzzDXFGroups), 0u);
}

TEST(FuzzReplay, LayerSection)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/layersection", KbFuzzLayerSection), 0u);
}

TEST(FuzzReplay, Stl)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/stl", KbFuzzStl), 0u);
}

TEST(FuzzReplay, EntityRecord)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/entityrecord", KbFuzzEntityRecord), 0u);
}

TEST(FuzzReplay, BitmapRecord)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/bitmaprecord", KbFuzzBitmapRecord), 0u);
}

TEST(FuzzReplay, Document)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/document", KbFuzzDocument), 0u);
}

TEST(FuzzReplay, DXFImport)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/dxfimport", KbFuzzDXFImport), 0u);
}

TEST(FuzzReplay, Svg)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/svg", KbFuzzSvg), 0u);
}

TEST(FuzzReplay, ImageResolution)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/imageresolution", KbFuzzImageResolution), 0u);
}

TEST(FuzzReplay, GCode)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/gcode", KbFuzzGCode), 0u);
}

TEST(FuzzReplay, GCodeText)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/gcodetext", KbFuzzGCodeText), 0u);
}

TEST(FuzzReplay, ToolLibrary)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/toollibrary", KbFuzzToolLibrary), 0u);
}

TEST(FuzzReplay, OperationParameters)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/operationparameters", KbFuzzOperationParameters), 0u);
}

TEST(FuzzReplay, Operations)
{
    EXPECT_GT(kbtest::ReplayCorpus(KB_FIXTURES_DIR "/fuzz/operations", KbFuzzOperations), 0u);
}
