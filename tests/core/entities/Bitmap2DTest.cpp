// The bitmap entity: its embedded BMP, its record under each document
// version, the scene plane and overlay outline that follow the model
// transform, Assign, and the current-bitmap reference.

#include "core/entities/Bitmap2D.h"
#include "core/entities/BitmapRecord.h"
#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace bitmap2_d_test {

using kbtest::TBytes;

namespace {

// The 3 x 2 image of most tests, top row first, each pixel 0xAARRGGBB.
const std::vector<uint32_t> kPixels = {0x80112233u, 0xFF445566u, 0x00778899u,
                                       0x01AABBCCu, 0x7FDDEEFFu, 0xFE010203u};
constexpr int32_t kMarker = 0x5AA55AA5;

QImage MakeImage(int width, int height, const std::vector<uint32_t>& pixels)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, pixels[static_cast<size_t>(y * width + x)]);
    return image;
}

std::vector<uint32_t> PixelsOf(const QImage& image)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    return pixels;
}

// File and info header of a BMP, field by field.
TBytes& BmpHeader(TBytes& b, uint32_t total, int32_t width, int32_t storedHeight, int16_t bitCount,
                  uint32_t compression = 0)
{
    b.Str("BM").U32(total).U32(0).U32(54);
    b.U32(40).I32(width).I32(storedHeight).I16(1).I16(bitCount).U32(compression).U32(total - 54);
    return b.U32(0).U32(0).U32(0).U32(0);
}

// A 32-bit BMP of the 3 x 2 image, rows top-down (height -2) or bottom-up.
TBytes& Bmp32(TBytes& b, bool bottomUp)
{
    BmpHeader(b, 78, 3, bottomUp ? 2 : -2, 32);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x) {
            const uint32_t p = kPixels[static_cast<size_t>((bottomUp ? 1 - row : row) * 3 + x)];
            b.U8(p & 0xFF).U8((p >> 8) & 0xFF).U8((p >> 16) & 0xFF).U8(p >> 24);
        }
    return b;
}

// A 24-bit BMP of the 3 x 2 image: 9 pixel bytes per row padded to 12.
TBytes& Bmp24(TBytes& b, bool bottomUp)
{
    BmpHeader(b, 54 + 24, 3, bottomUp ? 2 : -2, 24);
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 3; ++x) {
            const uint32_t p = kPixels[static_cast<size_t>((bottomUp ? 1 - row : row) * 3 + x)];
            b.U8(p & 0xFF).U8((p >> 8) & 0xFF).U8((p >> 16) & 0xFF);
        }
        b.U8(0).U8(0).U8(0);
    }
    return b;
}

std::vector<uint32_t> Opaque(std::vector<uint32_t> pixels)
{
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    return pixels;
}

// The TPrimitive2D record of ID 7, layer 3, visible and enabled, identity
// transform (the 3x3 form up to "QV-002"), corners (1, 2) and (4, 4), not
// growable.
TBytes PrimitiveRecord(const std::string& signature)
{
    TBytes b;
    b.I32(7).U8(3).U8(0x03);
    if (signature > std::string("QV-002")) {
        for (int i = 0; i < 16; ++i)
            b.F64(i % 5 == 0 ? 1.0 : 0.0);
    } else {
        for (int i = 0; i < 9; ++i)
            b.F64(i % 4 == 0 ? 1.0 : 0.0);
    }
    b.I16(2).F64(1).F64(2).F64(1).F64(4).F64(4).F64(1).U8(0);
    return b;
}

std::unique_ptr<TBitmap2D> ReadBitmap(TStream& stream, const std::string& signature)
{
    std::unique_ptr<TGraphicObject> object =
        QV_00FindClassByIndex(TBitmap2D::kStreamClassId).CreateFromStream(stream, signature);
    EXPECT_EQ(object->ClassName(), "TBitmap2D");
    return std::unique_ptr<TBitmap2D>(static_cast<TBitmap2D*>(object.release()));
}

std::unique_ptr<TBitmap2D> SampleBitmap()
{
    return std::make_unique<TBitmap2D>(1, MakePoint2D(1, 2), MakePoint2D(4, 4), MakeImage(3, 2, kPixels));
}

// The plane's corners: bottom-left, bottom-right, top-right, top-left.
std::array<TVector3D, 4> Corners(const TScenePlane& p)
{
    auto at = [&p](double u, double v) {
        return TVector3D{p.Centre.X + u * p.Width / 2 * p.AxisX.X + v * p.Height / 2 * p.AxisY.X,
                         p.Centre.Y + u * p.Width / 2 * p.AxisX.Y + v * p.Height / 2 * p.AxisY.Y,
                         p.Centre.Z + u * p.Width / 2 * p.AxisX.Z + v * p.Height / 2 * p.AxisY.Z};
    };
    return {at(-1, -1), at(1, -1), at(1, 1), at(-1, 1)};
}

// The image rectangle of the sample bitmap, in the same corner order.
std::array<TPoint2D, 4> SampleCorners()
{
    return {MakePoint2D(1, 2), MakePoint2D(4, 2), MakePoint2D(4, 4), MakePoint2D(1, 4)};
}

void ExpectPlaneOn(const TScenePlane& plane, const TMatrix4& m)
{
    const auto corners = Corners(plane);
    const auto expected = SampleCorners();
    for (size_t i = 0; i < 4; ++i) {
        const TPoint2D e = m.TransformPoint2D(expected[i]);
        EXPECT_NEAR(corners[i].X, e.X, 1e-9) << "corner " << i;
        EXPECT_NEAR(corners[i].Y, e.Y, 1e-9) << "corner " << i;
        EXPECT_NEAR(corners[i].Z, 0.0, 1e-12) << "corner " << i;
    }
}

class Bitmap2DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterEntityClasses();
        SetCurrentBitmap2D(nullptr);
    }
    void TearDown() override { SetCurrentBitmap2D(nullptr); }
};

} // namespace

TEST(BitmapRecord, ThreeByTwoIsWrittenAs78BytesTopDownAndReadBack)
{
    TBytes expected;
    Bmp32(expected, false);
    ASSERT_EQ(expected.Size(), 78u);

    TMemoryStream out;
    WriteBitmapRecord(out, MakeImage(3, 2, kPixels));
    EXPECT_EQ(out.Data(), expected.Data());

    expected.I32(kMarker);
    TMemoryStream in(expected.Data());
    const QImage image = ReadBitmapRecord(in);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(image.width(), 3);
    EXPECT_EQ(image.height(), 2);
    EXPECT_EQ(PixelsOf(image), kPixels);
    EXPECT_EQ(ReadInt32(in), kMarker);

    // An empty image is a 54-byte record and reads back empty.
    TMemoryStream empty;
    WriteBitmapRecord(empty, QImage());
    EXPECT_EQ(empty.Size(), 54);
    empty.SetPosition(0);
    EXPECT_TRUE(ReadBitmapRecord(empty).isNull());
    EXPECT_EQ(empty.Remaining(), 0);
}

TEST(BitmapRecord, OtherHeadersGiveTheSameImageAndConsumeExactlyTheirSize)
{
    struct Case {
        const char* name;
        std::function<void(TBytes&)> bmp;
        std::vector<uint32_t> pixels;
    };
    const Case cases[] = {
        {"32-bit bottom-up", [](TBytes& b) { Bmp32(b, true); }, kPixels},
        {"24-bit bottom-up", [](TBytes& b) { Bmp24(b, true); }, Opaque(kPixels)},
        {"24-bit top-down", [](TBytes& b) { Bmp24(b, false); }, Opaque(kPixels)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes b;
        c.bmp(b);
        b.I32(kMarker);
        TMemoryStream in(b.Data());
        const QImage image = ReadBitmapRecord(in);
        EXPECT_EQ(image.format(), QImage::Format_ARGB32);
        EXPECT_EQ(PixelsOf(image), c.pixels);
        EXPECT_EQ(ReadInt32(in), kMarker);
    }
}

TEST(BitmapRecord, DamagedHeadersAreRefusedBeforeAllocating)
{
    enum class TError { FileNotValid, ReadError };
    struct Case {
        const char* name;
        std::function<void(TBytes&)> bytes;
        TError error;
    };
    const Case cases[] = {
        {"no BM signature", [](TBytes& b) { b.Str("XM").U32(78).Str(std::string(72, '\0')); }, TError::FileNotValid},
        {"ends inside the file header", [](TBytes& b) { b.Str("BM").U32(78); }, TError::ReadError},
        {"negative width", [](TBytes& b) { BmpHeader(b, 78, -3, 2, 32); }, TError::FileNotValid},
        {"side beyond the limit", [](TBytes& b) { BmpHeader(b, 54, 40000, -1, 32); }, TError::FileNotValid},
        {"lowest height", [](TBytes& b) { BmpHeader(b, 54, 1, INT32_MIN, 32); }, TError::FileNotValid},
        {"pixels beyond the stream",
         [](TBytes& b) { BmpHeader(b, 54 + 40000, 100, 100, 32).U32(1).U32(2); }, TError::FileNotValid},
        {"declared size beyond the stream", [](TBytes& b) { BmpHeader(b, 1000000, 3, 2, 24); },
         TError::FileNotValid},
        {"declared size inside the header", [](TBytes& b) { BmpHeader(b, 20, 3, 2, 24); }, TError::FileNotValid},
        {"huge image in a small file", [](TBytes& b) { BmpHeader(b, 62, 100000, 100000, 24).U32(0).U32(0); },
         TError::FileNotValid},
        {"unknown compression", [](TBytes& b) { BmpHeader(b, 62, 2, 2, 16, 99).U32(0).U32(0); },
         TError::FileNotValid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes b;
        c.bytes(b);
        TMemoryStream in(b.Data());
        if (c.error == TError::FileNotValid)
            EXPECT_THROW(ReadBitmapRecord(in), ECADFileNotValid);
        else
            EXPECT_THROW(ReadBitmapRecord(in), EStreamReadError);
    }
}

TEST_F(Bitmap2DTest, RecordFieldsFollowTheDocumentVersion)
{
    struct Case {
        const char* signature;
        bool reserved; // reserved values and copy mode stored
        bool opacity;
        double r1, r2;
        int32_t copyMode;
        float alpha;
    };
    const Case cases[] = {
        {"CAD41", false, false, 0.0, 0.0, 0, 0.5f},
        {"QV-3.2", true, false, 1.5, -2.25, 0x00CC0020, 0.5f},
        {"QV-3.6", true, true, 1.5, -2.25, 0x00CC0020, 0.75f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature);
        TBytes b = PrimitiveRecord(c.signature);
        Bmp32(b, false);
        if (c.reserved)
            b.F64(1.5).F64(-2.25).I32(0x00CC0020);
        if (c.opacity)
            b.F32(0.75f);
        b.I32(kMarker);
        TMemoryStream in(b.Data());
        auto bitmap = ReadBitmap(in, c.signature);
        EXPECT_EQ(ReadInt32(in), kMarker);
        EXPECT_EQ(bitmap->ID(), 7);
        EXPECT_EQ(bitmap->Layer(), 3);
        EXPECT_EQ(bitmap->ReservedValue1(), c.r1);
        EXPECT_EQ(bitmap->ReservedValue2(), c.r2);
        EXPECT_EQ(bitmap->CopyMode(), c.copyMode);
        EXPECT_EQ(bitmap->Opacity(), c.alpha);
        EXPECT_EQ(PixelsOf(bitmap->Bitmap()), kPixels);
        EXPECT_EQ(bitmap->Box().FirstEdge.X, 1.0);
        EXPECT_EQ(bitmap->Box().SecondEdge.Y, 4.0);
        EXPECT_EQ(CurrentBitmap2D(), bitmap.get());

        // Saved in the newest layout with all four values.
        TBytes expected = PrimitiveRecord("QV-3.6");
        Bmp32(expected, false).F64(c.r1).F64(c.r2).I32(c.copyMode).F32(c.alpha);
        TMemoryStream out;
        bitmap->SaveToStream(out);
        EXPECT_EQ(out.Data(), expected.Data());
    }
}

TEST_F(Bitmap2DTest, ABitmapWithAnOtherHeaderLeavesTheNextObjectReadable)
{
    TBytes b;
    b.I16(TBitmap2D::kStreamClassId);
    const TBytes head = PrimitiveRecord("QV-3.6");
    b.Str(std::string(head.Data().begin(), head.Data().end()));
    Bmp24(b, true).F64(0).F64(0).I32(0x00CC0020).F32(0.5f);
    // A line from (5, 6) to (7, 8) follows.
    b.I16(TLine2D::kStreamClassId).I32(8).U8(0).U8(0x03);
    for (int i = 0; i < 16; ++i)
        b.F64(i % 5 == 0 ? 1.0 : 0.0);
    b.I16(2).F64(5).F64(6).F64(1).F64(7).F64(8).F64(1).U8(0);

    TMemoryStream in(b.Data());
    std::vector<std::unique_ptr<TGraphicObject>> objects;
    while (in.Remaining() > 0) {
        const auto id = static_cast<uint16_t>(ReadInt16(in));
        objects.push_back(QV_00FindClassByIndex(id).CreateFromStream(in, "QV-3.6"));
    }
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(PixelsOf(static_cast<TBitmap2D&>(*objects[0]).Bitmap()), Opaque(kPixels));
    const auto& line = dynamic_cast<const TLine2D&>(*objects[1]);
    EXPECT_EQ(line.ID(), 8);
    EXPECT_EQ(line.Points().Get(1).Y, 8.0);
}

TEST_F(Bitmap2DTest, PlaneAndOutlineFollowTheModelTransform)
{
    struct Case {
        const char* name;
        TMatrix4 m;
    };
    TMatrix4 turnAndMove = TMatrix4::CreateRotationZ(90, true);
    turnAndMove.Translate(10, 0, 0);
    const Case cases[] = {
        {"none", TMatrix4()},
        {"translation", TMatrix4::CreateTranslation(10, -5, 0)},
        {"scale", TMatrix4::CreateScale(2, 3, 1)},
        {"mirror", TMatrix4::CreateMirror(1)},
        {"rotation", TMatrix4::CreateRotationZ(30, true)},
        {"rotation then translation", turnAndMove},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kbtest::TRecordingViewServices view;
        auto bitmap = SampleBitmap();
        bitmap->SetTransform(c.m);
        bitmap->Draw();
        const auto* plane = view.Scene.As<TScenePlane>(bitmap->Plane());
        ASSERT_TRUE(plane);
        EXPECT_EQ(view.Scene.Node(bitmap->Plane())->Parent, view.Scene.Group(TSceneGroup::Entity));
        EXPECT_EQ(bitmap->SceneNode(), bitmap->Plane());
        ExpectPlaneOn(*plane, c.m);

        // The outline: corner 0, (x0, y1), corner 1, (x1, y0), corner 0,
        // each through the transform; no control-point squares.
        view.Projection.Scale = 10;
        bitmap->DrawOnCanvas(view.Canvas, true);
        std::vector<TIntPoint> expected;
        for (size_t i : {0, 3, 2, 1, 0})
            expected.push_back(view.Projection.PointToScreen(c.m.TransformPoint2D(SampleCorners()[i])));
        std::string line = "polyline";
        for (const TIntPoint& p : expected)
            line += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
        EXPECT_EQ(view.Canvas.Calls, std::vector<std::string>{line});
    }
}

TEST_F(Bitmap2DTest, PlaneFollowsATransformCommandOfTheDocument)
{
    kbtest::TRecordingViewServices view;
    TQV_01Cmp2D document;
    TBitmap2D* bitmap = document.AddObject(-1, SampleBitmap());
    const TMatrix4 mirror = TMatrix4::CreateMirror(0);
    TMatrix4 total = TMatrix4::CreateRotationZ(45, true);
    total.Multiply(total, mirror);
    const std::array<int32_t, 1> ids{bitmap->ID()};
    document.TransformObjects(ids, TMatrix4::CreateRotationZ(45, true));
    document.TransformObjects(ids, mirror);
    RedrawAllObjects(document);
    const auto* plane = view.Scene.As<TScenePlane>(bitmap->Plane());
    ASSERT_TRUE(plane);
    ExpectPlaneOn(*plane, total);
}

TEST_F(Bitmap2DTest, PlaneShowsTheImageOpaqueUnderTheEntityOpacity)
{
    kbtest::TRecordingViewServices view;
    auto bitmap = SampleBitmap();
    bitmap->SetOpacity(0.25f);
    bitmap->Draw();
    bitmap->DrawSelected();
    EXPECT_EQ(view.Scene.Children(view.Scene.Group(TSceneGroup::Selection)).size(), 0u);
    const auto* plane = view.Scene.As<TScenePlane>(bitmap->Plane());
    ASSERT_TRUE(plane && plane->Image);
    EXPECT_EQ(plane->Color.A, 0.25f);
    EXPECT_EQ(plane->Color.R, 1.0f);
    EXPECT_TRUE(plane->Blended);
    EXPECT_FALSE(plane->DepthTest);
    EXPECT_EQ(plane->Image->Width, 3);
    EXPECT_EQ(plane->Image->Pixels, Opaque(kPixels));

    // Changed pixels reach the same plane node through UpdateTexture.
    const TSceneNodeId node = bitmap->Plane();
    bitmap->Bitmap().setPixel(0, 0, 0x00000000u);
    bitmap->UpdateTexture();
    EXPECT_EQ(bitmap->Plane(), node);
    EXPECT_EQ(view.Scene.As<TScenePlane>(node)->Image->Pixels[0], 0xFF000000u);

    // An opacity out of range is clamped for the scene, not in the record.
    bitmap->SetOpacity(7.0f);
    bitmap->Draw();
    EXPECT_EQ(view.Scene.As<TScenePlane>(bitmap->Plane())->Color.A, 1.0f);
    EXPECT_EQ(bitmap->Opacity(), 7.0f);
}

TEST_F(Bitmap2DTest, AssignCopiesImageAndCornersButKeepsTheOpacity)
{
    TBytes b = PrimitiveRecord("QV-3.6");
    Bmp32(b, false).F64(1.5).F64(-2.25).I32(42).F32(0.8f);
    TMemoryStream in(b.Data());
    auto source = ReadBitmap(in, "QV-3.6");

    auto target = std::make_unique<TBitmap2D>(2, MakePoint2D(0, 0), MakePoint2D(1, 1), QImage());
    target->Assign(*source);
    EXPECT_EQ(target->Opacity(), 0.5f);
    EXPECT_EQ(target->ReservedValue1(), 1.5);
    EXPECT_EQ(target->ReservedValue2(), -2.25);
    EXPECT_EQ(target->CopyMode(), 42);
    EXPECT_EQ(PixelsOf(target->Bitmap()), kPixels);
    ASSERT_EQ(target->Points().Count(), 2);
    EXPECT_EQ(target->Points().Get(1).X, 4.0);
    EXPECT_TRUE(target->Points().Growable());
    EXPECT_EQ(target->Box().SecondEdge.X, 4.0);
    EXPECT_EQ(target->ID(), 2);

    // From a primitive of another class: no corners, nothing drawn.
    TLine2D line(3, MakePoint2D(0, 0), MakePoint2D(1, 1));
    target->Assign(line);
    EXPECT_EQ(target->Points().Count(), 0);
    kbtest::TRecordingViewServices view;
    target->Draw();
    target->DrawOnCanvas(view.Canvas, true);
    EXPECT_EQ(target->Plane(), NoSceneNode);
    EXPECT_TRUE(view.Canvas.Calls.empty());
}

TEST_F(Bitmap2DTest, CurrentBitmapNeverOutlivesItsEntity)
{
    TBytes record = PrimitiveRecord("QV-3.6");
    Bmp32(record, false).F64(0).F64(0).I32(0).F32(0.5f);
    auto read = [&record]() {
        TMemoryStream in(record.Data());
        return ReadBitmap(in, "QV-3.6");
    };

    TQV_01Cmp2D document;
    // Deleting the current bitmap from the drawing clears the reference.
    TBitmap2D* first = document.AddObject(-1, read());
    EXPECT_EQ(CurrentBitmap2D(), first);
    document.DeleteObject(first->ID());
    EXPECT_EQ(CurrentBitmap2D(), nullptr);

    // A temporary copy read and dropped (as the undo journal does) hands
    // the reference back to the bitmap that was current before.
    TBitmap2D* second = document.AddObject(-1, read());
    read().reset();
    EXPECT_EQ(CurrentBitmap2D(), second);

    // Clearing the drawing clears it too, however many bitmaps it held.
    document.AddObject(-1, read());
    document.DeleteAllObjects();
    EXPECT_EQ(CurrentBitmap2D(), nullptr);

    // The image import names its new entity; a created bitmap is not current
    // by itself.
    TBitmap2D* placed = document.AddObject(-1, SampleBitmap());
    EXPECT_EQ(CurrentBitmap2D(), nullptr);
    SetCurrentBitmap2D(placed);
    EXPECT_EQ(CurrentBitmap2D(), placed);
}

}  // namespace bitmap2_d_test
