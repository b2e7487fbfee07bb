#include "cad/ui/QPainterCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr QRgb Black = 0xFF000000;

struct PainterCanvas : ::testing::Test {
    PainterCanvas() : Image(40, 30, QImage::Format_RGB32)
    {
        Image.fill(Qt::black);
    }

    // Draws with a fresh painter and canvas; the pen starts red, width 1.
    template <class F> void Draw(F&& draw)
    {
        QPainter painter(&Image);
        TQPainterCanvas canvas(painter);
        canvas.SetPenColor(0x000000FF);
        draw(canvas);
    }

    QRgb At(int x, int y) const { return Image.pixel(x, y); }

    QImage Image;
};

TEST_F(PainterCanvas, ColoursAreWindowsValues)
{
    Draw([](TCanvas2D& c) {
        c.Line(1, 1, 10, 1);
        c.SetPenColor(0x00FF0000); // blue
        c.Line(1, 5, 10, 5);
        c.SetPenColor(0x0000FFFF); // yellow
        c.Line(1, 9, 10, 9);
    });
    EXPECT_EQ(At(5, 1), qRgb(255, 0, 0));
    EXPECT_EQ(At(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(At(5, 9), qRgb(255, 255, 0));
}

TEST_F(PainterCanvas, FrameRectIncludesItsCornersAndIsNotFilled)
{
    Draw([](TCanvas2D& c) { c.FrameRect(5, 6, 15, 20); });
    for (const QPoint p : {QPoint(5, 6), QPoint(15, 6), QPoint(15, 20), QPoint(5, 20), QPoint(10, 6), QPoint(5, 13)})
        EXPECT_EQ(At(p.x(), p.y()), qRgb(255, 0, 0)) << p.x() << "," << p.y();
    EXPECT_EQ(At(10, 13), Black);
    EXPECT_EQ(At(16, 13), Black);
}

TEST_F(PainterCanvas, PolylineIsAnOpenStrip)
{
    Draw([](TCanvas2D& c) { c.Polyline({{2, 2}, {20, 2}, {20, 20}}); });
    EXPECT_EQ(At(10, 2), qRgb(255, 0, 0));
    EXPECT_EQ(At(20, 10), qRgb(255, 0, 0));
    // No closing edge back to the start.
    EXPECT_EQ(At(11, 11), Black);
}

TEST_F(PainterCanvas, ClearPenDrawsNothingAndFarPointsAreSafe)
{
    Draw([](TCanvas2D& c) {
        c.SetPenStyle(TPenStyle::Clear);
        c.Line(0, 0, 39, 29);
        c.SetPenStyle(TPenStyle::Solid);
        // Points of a drawing zoomed far in lie far outside the viewer.
        c.Line(INT32_MIN, 3, INT32_MAX, 3);
        c.Polyline({});
        c.TextOut(28, 18, std::string("\x80\xFF\r\nz", 5));
    });
    EXPECT_EQ(At(20, 15), Black);
    EXPECT_EQ(At(20, 3), qRgb(255, 0, 0));
}

} // namespace
