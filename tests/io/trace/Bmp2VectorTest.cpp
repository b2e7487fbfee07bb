#include "io/trace/Bmp2Vector.h"

#include "core/entities/Bitmap2D.h"
#include "core/entities/Container2D.h"
#include "core/model/GraphicObjList.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace bmp2_vector_test {

namespace {

constexpr uint32_t Black = 0xFF000000;
constexpr uint32_t White = 0xFFFFFFFF;

// An image from rows of text, top row first: '#' black, anything else white.
QImage Picture(const std::vector<std::string>& rows)
{
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rows[y][x] == '#' ? Black : White);
    return image;
}

std::vector<std::string> Rows(const QImage& image)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x)
            row += image.pixel(x, y) == Black ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// A white w x h picture with a black rectangle.
std::vector<std::string> Blank(int w, int h, int x0 = 0, int y0 = 0, int bw = 0, int bh = 0)
{
    std::vector<std::string> rows(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.'));
    for (int y = y0; y < y0 + bh; ++y)
        for (int x = x0; x < x0 + bw; ++x)
            rows[y][x] = '#';
    return rows;
}

// A document with one bitmap entity between two corners.
struct TRig {
    TQV_01Cmp2D Document;
    QImage Source;
    TBitmap2D* Bitmap;
    TBmp2Vector Vectorizer;

    TRig(const QImage& source, TPoint2D corner1, TPoint2D corner2)
        : Source(source),
          Bitmap(Document.AddObject(-1, std::make_unique<TBitmap2D>(-1, corner1, corner2, source))),
          Vectorizer(Document, *Bitmap, source)
    {
    }
};

// A stand-in tracer: records its arguments one per line, copies a prepared
// DXF to the -outfile path and exits with the given code.
void WriteFakeTracer(const kbtest::TTempDir& dir, const std::string& dxf, int exitCode)
{
    kbtest::WriteFileText(dir.File("result.dxf"), dxf);
    const std::string script = "#!/bin/sh\n"
                               "printf '%s\\n' \"$@\" > '" + dir.File("args.txt") + "'\n"
                               "out=''; prev=''\n"
                               "for a in \"$@\"; do if [ \"$prev\" = -outfile ]; then out=\"$a\"; fi; prev=\"$a\"; done\n"
                               "cp '" + dir.File("result.dxf") + "' \"$out\"\n"
                               "exit " + std::to_string(exitCode) + "\n";
    kbtest::WriteFileText(dir.File("qvtr"), script);
    std::filesystem::permissions(dir.File("qvtr"), std::filesystem::perms::owner_all);
}

std::string LinesDxf(const std::vector<std::array<double, 4>>& lines)
{
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    for (const auto& l : lines)
        text += "0\nLINE\n8\n0\n10\n" + std::to_string(l[0]) + "\n20\n" + std::to_string(l[1]) + "\n11\n" +
                std::to_string(l[2]) + "\n21\n" + std::to_string(l[3]) + "\n";
    return text + "0\nENDSEC\n0\nEOF\n";
}

} // namespace

TEST(Bmp2Vector, ThresholdIsStrictOnAllThreeChannels)
{
    QImage source(3, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgb(129, 128, 127)); // just above 128/127/126
    source.setPixel(1, 0, qRgb(128, 200, 200)); // red at its threshold
    source.setPixel(2, 0, qRgb(255, 255, 126)); // blue at its threshold
    TRig rig(source, {0, 0, 1}, {3, 1, 1});
    rig.Vectorizer.UpdatePreview(false);
    const QImage& shown = rig.Bitmap->Bitmap();
    EXPECT_EQ(shown.pixel(0, 0), White);
    EXPECT_EQ(shown.pixel(1, 0), Black);
    EXPECT_EQ(shown.pixel(2, 0), Black);

    rig.Vectorizer.UpdatePreview(true);
    EXPECT_EQ(rig.Bitmap->Bitmap().pixel(0, 0), TBmp2Vector::FinalLight);
    EXPECT_EQ(rig.Bitmap->Bitmap().pixel(1, 0), TBmp2Vector::FinalDark);

    rig.Vectorizer.Settings.ShowSource = true;
    rig.Vectorizer.UpdatePreview(false);
    EXPECT_EQ(rig.Bitmap->Bitmap().pixel(1, 0), qRgb(128, 200, 200));
}

// A picture traced without a threshold applied first (no slider moved) is
// thresholded for the tracer all the same: dark pixels that are not exactly
// black, as a JPEG decodes them, are traced black, light ones white.
TEST(Bmp2Vector, TheTracerGetsTheThresholdedPictureWithoutAPreview)
{
    kbtest::TTempDir dir;
    kbtest::TRecordingNotifier notifier;
    WriteFakeTracer(dir, LinesDxf({{0, 0, 5, 5}}), 0);
    QImage source(4, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgb(3, 1, 2));       // a JPEG's black
    source.setPixel(1, 0, qRgb(0, 0, 0));       // black
    source.setPixel(2, 0, qRgb(250, 252, 249)); // a JPEG's white
    source.setPixel(3, 0, qRgb(120, 120, 120)); // below the thresholds
    TRig rig(source, {0, 0, 1}, {4, 1, 1});
    rig.Vectorizer.ProgramFolder = dir.Path().string() + "/";
    ASSERT_TRUE(rig.Vectorizer.Vectorize());
    const std::vector<uint8_t> bmp = kbtest::ReadFileBytes(rig.Vectorizer.TempFolder() + "csq.bmp");
    const size_t pixels = 14 + 40 + 1024;
    ASSERT_GE(bmp.size(), pixels + 4);
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + pixels, bmp.begin() + pixels + 4),
              (std::vector<uint8_t>{0, 0, 255, 0}));
}

TEST(Bmp2Vector, DespeckleRemovesEnclosedBlocksUpToTheSize)
{
    const struct {
        const char* Name;
        double Size;
        bool White; // the white-spots pass
        std::vector<std::string> Before;
        std::vector<std::string> After;
    } cases[] = {
        {"isolated pixel", 1, false, {".....", "..#..", "....."}, Blank(5, 3)},
        {"pixel with a black neighbour", 1, false, {"......", "..##..", "......"}, {"......", "..##..", "......"}},
        {"corner pixel: missing ring counts white", 1, false, {"#....", ".....", "....."}, Blank(5, 3)},
        {"last row is never in a block", 1, false, {".....", ".....", "..#.."}, {".....", ".....", "..#.."}},
        {"line 2 x 20 with size 3 stays", 3, false, Blank(6, 22, 2, 1, 2, 20), Blank(6, 22, 2, 1, 2, 20)},
        {"size 12 acts as 8: 8 x 8 goes", 12, false, Blank(12, 12, 2, 2, 8, 8), Blank(12, 12)},
        {"size 12 acts as 8: 9 x 9 stays", 12, false, Blank(13, 13, 2, 2, 9, 9), Blank(13, 13, 2, 2, 9, 9)},
        {"white hole in black", 1, true, {"#####", "##.##", "#####", "#####"}, {"#####", "#####", "#####", "#####"}},
        {"white pair in black stays", 1, true, {"#####", "#..##", "#####", "#####"}, {"#####", "#..##", "#####", "#####"}},
    };
    for (const auto& c : cases) {
        const QImage before = Picture(c.Before);
        TRig rig(before, {0, 0, 1}, {1, 1, 1});
        rig.Vectorizer.UpdatePreview(true); // the passes start from the final colours too
        rig.Vectorizer.Settings.BlackSpotsSize = c.Size;
        rig.Vectorizer.Settings.WhiteSpotsSize = c.Size;
        if (c.White)
            rig.Vectorizer.RemoveWhiteSpots();
        else
            rig.Vectorizer.RemoveBlackSpots();
        EXPECT_EQ(Rows(rig.Bitmap->Bitmap()), c.After) << c.Name;
        EXPECT_FALSE(rig.Vectorizer.FinalColours()) << c.Name;
    }
}

TEST(Bmp2Vector, WorkBitmapIsAnEightBitGreyBmp)
{
    const QImage image = Picture({"#..", ".#."});
    kbtest::TBytes expected;
    const uint32_t offset = 14 + 40 + 1024;
    expected.Str("BM").U32(offset + 8).U32(0).U32(offset);
    expected.U32(40).I32(3).I32(2).I16(1).I16(8).U32(0).U32(8).I32(2835).I32(2835).U32(256).U32(0);
    for (int i = 0; i < 256; ++i)
        expected.U8(static_cast<uint8_t>(i)).U8(static_cast<uint8_t>(i)).U8(static_cast<uint8_t>(i)).U8(0);
    expected.U8(255).U8(0).U8(255).U8(0); // bottom row first, padded to 4 bytes
    expected.U8(0).U8(255).U8(255).U8(0);
    const std::string bytes = MonochromeBmpBytes(image);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected.Data());
}

TEST(Bmp2Vector, TracerGetsItsOptionsAndSmallObjectsAreRemoved)
{
    kbtest::TTempDir dir;
    kbtest::TRecordingNotifier notifier;
    WriteFakeTracer(dir, LinesDxf({{0, 0, 0.09, 0}, {0, 0, 0.1, 0}, {1, 1, 4, 5}}), 0);
    TRig rig(Picture(Blank(4, 2, 1, 0, 2, 1)), {10, 20, 1}, {18, 22, 1});
    rig.Vectorizer.ProgramFolder = dir.Path().string() + "/";
    rig.Vectorizer.Settings.Centerline = true;
    TContainer2D* shown = nullptr;
    int previews = 0;
    rig.Vectorizer.OnShowPreview = [&](TContainer2D* c) {
        shown = c;
        ++previews;
    };
    ASSERT_TRUE(rig.Vectorizer.Vectorize());

    const std::string t = rig.Vectorizer.TempFolder();
    EXPECT_EQ(kbtest::ReadFileText(dir.File("args.txt")),
              "-et\n0.1\n-fi\n1\n-ct\n90\n-outfile\n" + t + "csq.tmp\n-cline\n" + t + "csq.bmp\n");
    EXPECT_NE(t.rfind(std::filesystem::temp_directory_path().string(), 0), std::string::npos);
    EXPECT_EQ(kbtest::ReadFileBytes(t + "csq.bmp")[28], 8); // bits per pixel

    TContainer2D* traced = rig.Vectorizer.TracedContainer();
    ASSERT_NE(traced, nullptr);
    EXPECT_EQ(shown, traced);
    EXPECT_EQ(previews, 2); // overlay cleared, then the preview
    EXPECT_EQ(traced->Objects().Count(), 2); // the 0.09 line went, the 0.1 line stayed
    ASSERT_EQ(rig.Vectorizer.Report.size(), 2u);
    EXPECT_TRUE(notifier.Messages().empty());
    // Pixels of 2 x 1 drawing units from the corner (10, 20).
    const TPoint2D p = traced->GetModelTransform().TransformPoint2D({4, 5, 1});
    EXPECT_DOUBLE_EQ(p.X, 18.0);
    EXPECT_DOUBLE_EQ(p.Y, 25.0);
    EXPECT_TRUE(rig.Vectorizer.FinalColours());

    // Done: the objects move into the drawing where the preview showed them.
    rig.Vectorizer.AddToDrawing();
    EXPECT_EQ(traced->Objects().Count(), 0);
    EXPECT_EQ(shown, nullptr);
    ASSERT_EQ(rig.Document.Objects().Count(), 1 + 2);
    TGraphicObjIterator it = rig.Document.ObjectsIterator();
    it.First();
    auto* line = dynamic_cast<TObject2D*>(it.Next());
    ASSERT_NE(line, nullptr);
    const TPoint2D start = line->GetModelTransform().TransformPoint2D({0, 0, 1});
    EXPECT_DOUBLE_EQ(start.X, 10.0);
    EXPECT_DOUBLE_EQ(start.Y, 20.0);
}

TEST(Bmp2Vector, FailuresOfTheTracerReadNothing)
{
    kbtest::TTempDir dir;
    kbtest::TRecordingNotifier notifier;
    TRig rig(Picture(Blank(4, 2, 1, 0, 2, 1)), {0, 0, 1}, {4, 2, 1});
    rig.Vectorizer.ProgramFolder = dir.Path().string() + "/";

    // No tracer at all.
    EXPECT_FALSE(rig.Vectorizer.Vectorize());
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Text.rfind("QVTR DLL ", 0), 0u);

    // A tracer that fails, though it left a readable file.
    WriteFakeTracer(dir, LinesDxf({{0, 0, 5, 5}}), 3);
    notifier.Clear();
    EXPECT_FALSE(rig.Vectorizer.Vectorize());
    EXPECT_EQ(rig.Vectorizer.TracedContainer(), nullptr);
    EXPECT_EQ(notifier.Messages().size(), 1u);

    // A remove size that is not a number stops before anything runs.
    rig.Vectorizer.Settings.VecRemove = "0,1";
    EXPECT_THROW(rig.Vectorizer.Vectorize(), std::invalid_argument);
}

TEST(Bmp2Vector, RealTracerOutlinesAFilledSquare)
{
    // 40 x 30 pixels, a 20 x 20 black square 10 pixels from the left and 2
    // from the top, placed at 0.5 drawing units per pixel.
    TRig rig(Picture(Blank(40, 30, 10, 2, 20, 20)), {0, 0, 1}, {20, 15, 1});
    rig.Vectorizer.UpdatePreview(false);
    ASSERT_TRUE(rig.Vectorizer.Vectorize());
    TContainer2D* traced = rig.Vectorizer.TracedContainer();
    ASSERT_NE(traced, nullptr);
    ASSERT_EQ(traced->Objects().Count(), 1);
    TGraphicObjIterator it = traced->Objects().GetIterator();
    auto* outline = dynamic_cast<TPolyline2D*>(it.First());
    ASSERT_NE(outline, nullptr);
    const TPointsSet2D& points = outline->Points();
    ASSERT_GE(points.Count(), 5);
    EXPECT_DOUBLE_EQ(points.Get(0).X, points.Get(points.Count() - 1).X);
    EXPECT_DOUBLE_EQ(points.Get(0).Y, points.Get(points.Count() - 1).Y);
    double minX = std::numeric_limits<double>::max(), minY = minX, maxX = -minX, maxY = -minX;
    for (int i = 0; i < points.Count(); ++i) {
        const TPoint2D p = traced->GetModelTransform().TransformPoint2D(points.Get(i));
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    // In drawing units: x 5..15, y 4..14 (image rows run downwards).
    EXPECT_NEAR(minX, 5.0, 0.3);
    EXPECT_NEAR(maxX, 15.0, 0.3);
    EXPECT_NEAR(minY, 4.0, 0.3);
    EXPECT_NEAR(maxY, 14.0, 0.3);
}

TEST(Bmp2Vector, TracingKeepsTheDespeckledImageAndThresholdsTheOriginalView)
{
    kbtest::TTempDir dir;
    kbtest::TRecordingNotifier notifier;
    WriteFakeTracer(dir, LinesDxf({{0, 0, 5, 5}}), 0);
    std::vector<std::string> withSpeck = Blank(6, 4, 0, 0, 3, 3);
    withSpeck[1][5] = '#';
    TRig rig(Picture(withSpeck), {0, 0, 1}, {6, 4, 1});
    rig.Vectorizer.ProgramFolder = dir.Path().string() + "/";
    rig.Vectorizer.UpdatePreview(false);
    rig.Vectorizer.RemoveBlackSpots();
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(rig.Vectorizer.Vectorize()) << run;
        // The work bitmap (bottom row first) has no speck, and the preview
        // shows the same image in the final colours.
        const std::vector<uint8_t> bmp = kbtest::ReadFileBytes(rig.Vectorizer.TempFolder() + "csq.bmp");
        ASSERT_EQ(bmp.size(), 14u + 40 + 1024 + 4 * 8);
        EXPECT_EQ(bmp[14 + 40 + 1024 + 2 * 8 + 5], 255) << run; // row 1 from the top
        EXPECT_EQ(bmp[14 + 40 + 1024 + 2 * 8 + 0], 0) << run;
        EXPECT_EQ(rig.Bitmap->Bitmap().pixel(5, 1), TBmp2Vector::FinalLight) << run;
        EXPECT_EQ(rig.Bitmap->Bitmap().pixel(0, 1), TBmp2Vector::FinalDark) << run;
    }

    // "View Original" shows the source; tracing still gets the black and white.
    rig.Vectorizer.Settings.ShowSource = true;
    rig.Vectorizer.UpdatePreview(false);
    ASSERT_TRUE(rig.Vectorizer.Vectorize());
    const std::vector<uint8_t> bmp = kbtest::ReadFileBytes(rig.Vectorizer.TempFolder() + "csq.bmp");
    EXPECT_EQ(bmp[14 + 40 + 1024 + 2 * 8 + 0], 0);
    EXPECT_EQ(bmp[14 + 40 + 1024 + 3 * 8 + 2], 0);
    EXPECT_TRUE(notifier.Messages().empty());
}

}  // namespace bmp2_vector_test
