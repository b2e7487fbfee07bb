// The pictures of the image lists: every index the program uses has one,
// drawn from vectors, so it stays crisp at a device pixel ratio of 2.
//
// With KB_SHOTS_DIR set, the disabled test ContactSheet writes every list
// as one picture at ratios 1 and 2 (scripts/shots/icons.sh runs it).

#include "app/mainwin/ImageLists.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int Size = 24;

QImage Picture(TImageList list, int index, qreal ratio)
{
    return ListImage(list, index).pixmap(QSize(Size, Size), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

int VisiblePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 64 ? 1 : 0;
    return count;
}

// The number of pixels where two pictures of the same size differ clearly.
int DifferentPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            count += std::abs(qAlpha(p) - qAlpha(q)) > 48 || std::abs(qGray(p) - qGray(q)) > 48 ? 1 : 0;
        }
    return count;
}

} // namespace

TEST(ImageLists, EveryIndexHasAPictureDrawnFromVectors)
{
    for (TImageList list : AllImageLists()) {
        const std::vector<int> indices = ImageListIndices(list);
        ASSERT_FALSE(indices.empty()) << ImageListName(list);
        for (int index : indices) {
            SCOPED_TRACE(std::string(ImageListName(list)) + " " + std::to_string(index));
            ASSERT_TRUE(HasListImage(list, index));
            ASSERT_FALSE(ListImage(list, index).isNull());
            const QImage one = Picture(list, index, 1.0);
            const QImage two = Picture(list, index, 2.0);
            ASSERT_EQ(one.size(), QSize(Size, Size));
            ASSERT_EQ(two.size(), QSize(2 * Size, 2 * Size));
            // Not empty, and not a filled tile: some of the square stays clear.
            const int visible = VisiblePixels(one);
            EXPECT_GE(visible, 20);
            EXPECT_LE(visible, Size * Size * 9 / 10);
            // Drawn anew at twice the size, not the small picture scaled up.
            const QImage scaled = one.scaled(two.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
            EXPECT_GT(DifferentPixels(two, scaled), 8);
        }
    }
}

TEST(ImageLists, IndicesWithoutAPictureGiveNone)
{
    EXPECT_FALSE(HasListImage(TImageList::File, 24));
    EXPECT_TRUE(ListImage(TImageList::File, 24).isNull());
    EXPECT_TRUE(ListImage(TImageList::Create, -1).isNull());
    EXPECT_TRUE(ListImage(TImageList::Status, 18).isNull());
}

TEST(ImageLists, PicturesOfDifferentCommandsDiffer)
{
    // Help and Exit once shared a picture; each command of a toolbar or
    // drop-down reads apart from its neighbours.
    const std::vector<std::vector<std::pair<TImageList, int>>> groups = {
        {{TImageList::File, 6}, {TImageList::File, 7}, {TImageList::File, 27}, {TImageList::File, 26},
         {TImageList::File, 25}, {TImageList::File, 9}, {TImageList::File, 14}},
        {{TImageList::File, 10}, {TImageList::File, 11}, {TImageList::File, 12}, {TImageList::File, 29},
         {TImageList::File, 38}, {TImageList::File, 36}, {TImageList::File, 13}},
    };
    for (const auto& group : groups)
        for (size_t i = 0; i < group.size(); ++i)
            for (size_t j = i + 1; j < group.size(); ++j) {
                const QImage a = Picture(group[i].first, group[i].second, 1.0);
                const QImage b = Picture(group[j].first, group[j].second, 1.0);
                EXPECT_GT(DifferentPixels(a, b), 20) << group[i].second << " and " << group[j].second;
            }
}

TEST(ImageLists, SetImageRemembersListAndIndex)
{
    QObject plain;
    TImageList list = TImageList::File;
    EXPECT_EQ(ImageIndex(plain), -1);
    EXPECT_FALSE(ImageListOf(plain, list));
    SetImage(plain, TImageList::Modify, 17);
    EXPECT_EQ(ImageIndex(plain), 17);
    ASSERT_TRUE(ImageListOf(plain, list));
    EXPECT_EQ(list, TImageList::Modify);
}

// Every list as rows of pictures with their indices, at ratios 1 and 2.
TEST(ImageLists, DISABLED_ContactSheet)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR", QStringLiteral("shots"));
    QDir().mkpath(folder);
    constexpr int Cell = 40, Label = 64, PerRow = 16;
    int rows = 0;
    for (TImageList list : AllImageLists())
        rows += (static_cast<int>(ImageListIndices(list).size()) + PerRow - 1) / PerRow;
    for (qreal ratio : {1.0, 2.0}) {
        QImage sheet(QSize(Label + PerRow * Cell, rows * (Cell + 12)) * ratio, QImage::Format_ARGB32);
        sheet.setDevicePixelRatio(ratio);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        QFont font = painter.font();
        font.setPixelSize(9);
        painter.setFont(font);
        int row = 0;
        for (TImageList list : AllImageLists()) {
            const std::vector<int> indices = ImageListIndices(list);
            painter.setPen(Qt::black);
            painter.drawText(QPoint(4, row * (Cell + 12) + 20), QString::fromLatin1(ImageListName(list)));
            for (size_t i = 0; i < indices.size(); ++i) {
                const int r = row + static_cast<int>(i) / PerRow, c = static_cast<int>(i) % PerRow;
                const QPoint at(Label + c * Cell + (Cell - Size) / 2, r * (Cell + 12) + 4);
                painter.drawPixmap(at, ListImage(list, indices[i]).pixmap(QSize(Size, Size), ratio));
                painter.setPen(Qt::darkGray);
                painter.drawText(QRect(Label + c * Cell, r * (Cell + 12) + Size + 6, Cell, 12), Qt::AlignCenter,
                                 QString::number(indices[i]));
            }
            row += (static_cast<int>(indices.size()) + PerRow - 1) / PerRow;
        }
        painter.end();
        ASSERT_TRUE(sheet.save(QDir(folder).filePath(QStringLiteral("icons-dpr%1.png").arg(int(ratio)))));
    }
}
