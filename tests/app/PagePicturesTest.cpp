// The explanatory pictures of the operation pages (offscreen): every index
// draws a picture of one size, no two alike, and entering a field of the
// milling pages shows its picture in the page's picture label.

#include "app/machining/OperationPages.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/frmToolWin.h"
#include "tests/app/MachiningPagesFixture.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QImage>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

QByteArray PixelHash(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    return QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()),
        QCryptographicHash::Sha1);
}

TEST(PagePictures, EveryIndexDrawsItsOwnPictureOfOneSize)
{
    const QSize size = ToolWinPicture(0).size();
    ASSERT_FALSE(size.isEmpty());
    std::map<QByteArray, int> seen;
    for (int index = 0; index < ToolWinPictureCount; ++index) {
        SCOPED_TRACE(index);
        const QPixmap picture = ToolWinPicture(index);
        EXPECT_EQ(picture.size(), size);
        // A drawing, not a blank tile: a fair share of the pixels is not white.
        const QImage image = picture.toImage().convertToFormat(QImage::Format_RGB32);
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        EXPECT_GT(inked, image.width() * image.height() / 20);
        const auto [other, added] = seen.emplace(PixelHash(picture), index);
        EXPECT_TRUE(added) << "same as picture " << other->second;
        // Drawn once: the same pixmap again.
        EXPECT_EQ(ToolWinPicture(index).cacheKey(), picture.cacheKey());
    }
    for (int outside : {-1, ToolWinPictureCount})
        EXPECT_TRUE(ToolWinPicture(outside).isNull()) << outside;
}

struct PagePicturesOnPages : kbtest::MachiningPages {
    PagePicturesOnPages() { Pages = std::make_unique<TOperationPages>(*Win, &Monitor); }
    ~PagePicturesOnPages() override
    {
        Win->hide();
        Pages.reset();
    }
    void Show(int kind, const char* tab)
    {
        Pages->Context().SetNewOperation(std::make_unique<TOpManagerField>(kind));
        Pages->ImpostaDialoghi(kind);
        Win->pgCtrToolWin().setCurrentWidget(Win->Sheet(tab));
        QApplication::setActiveWindow(Win.get());
        QApplication::processEvents();
    }
    std::unique_ptr<TOperationPages> Pages;
};

TEST_F(PagePicturesOnPages, EnteringAFieldShowsItsPicture)
{
    struct TCase {
        int Kind;
        const char* Tab;
        const char* Field;
        const char* Image;
        int Index;
        const char* Enabler = nullptr; // the box that enables the field
    };
    const TCase cases[] = {
        {OpKind::Contour, "tabContour", "txtConZRapid", "imgContour", 0},
        {OpKind::Contour, "tabContour", "txtConZDepthTot", "imgContour", 2},
        {OpKind::Pocket, "tabPocket", "spePocNFinishCuts", "imgPocket", 5},
        {OpKind::Pocket, "tabPocket", "txtPocFinishSize", "imgPocket", 6},
        {OpKind::Pocket, "tabPocket", "txtPocStepOverPer", "imgPocket", 8},
        {OpKind::Pocket, "tabPocket", "txtPocIncPassZ", "imgPocket", 3},
        {OpKind::Drilling, "tabDrill", "txtDriTopStock", "imgDrill", 1},
        {OpKind::Drilling, "tabDrill", "txtDriZRetr", "imgDrill", 40, "chkDriRetr"},
        {OpKind::Contour, "tabContour", "txtConZRetr", "imgContour", 40, "chkConRetr"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Field);
        Show(c.Kind, c.Tab);
        if (c.Enabler)
            Click(c.Enabler);
        auto& field = Find<QWidget>(c.Field);
        field.setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), &field);
        const auto& label = Find<QLabel>(c.Image);
        EXPECT_EQ(label.property("imageIndex").toInt(), c.Index);
        EXPECT_EQ(label.pixmap().cacheKey(), ToolWinPicture(c.Index).cacheKey());
        Win->hide();
        Pages->Context().FreeNewOperation();
    }
}

// The fullest pages show their picture whole, clear of every other control.
TEST_F(PagePicturesOnPages, PictureIsShownWholeAndClearOfTheFields)
{
    const std::tuple<int, const char*, const char*> pages[] = {
        {OpKind::Contour, "tabContour", "imgContour"},
        {OpKind::Pocket, "tabPocket", "imgPocket"},
        {OpKind::Drilling, "tabDrill", "imgDrill"},
    };
    for (const auto& [kind, tab, image] : pages) {
        SCOPED_TRACE(image);
        Show(kind, tab);
        const auto& picture = Find<QLabel>(image);
        QWidget* group = picture.parentWidget();
        EXPECT_EQ(picture.size(), ToolWinPicture(0).size());
        EXPECT_TRUE(group->rect().contains(picture.geometry()));
        EXPECT_TRUE(Win->rect().contains(QRect(picture.mapTo(Win.get(), QPoint(0, 0)), picture.size())));
        for (QWidget* other : group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other != &picture && other->isVisible()) {
                EXPECT_FALSE(other->geometry().intersects(picture.geometry())) << other->objectName().toStdString();
            }
        }
        Win->hide();
        Pages->Context().FreeNewOperation();
    }
}

} // namespace
