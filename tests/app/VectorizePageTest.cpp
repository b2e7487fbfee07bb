// The vectorise page on its own (offscreen), driven through its widgets:
// the slider and spin-box twins, the redraws they cause, the Done rule,
// Cancel, the layer button and the arc-filter fields.

#include "app/toolwin/VectorizePage.h"

#include "core/entities/Bitmap2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "io/trace/Bmp2Vector.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/RecordingView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The recording scene, counting the redraws of image planes.
class TPlaneCountingScene final : public TSceneBuilder {
public:
    TSceneNodeId Group(TSceneGroup group) const override { return m_Scene.Group(group); }
    TSceneNodeId CreateGroup(TSceneNodeId parent, const std::string& name) override
    {
        return m_Scene.CreateGroup(parent, name);
    }
    TSceneNodeId AddLines(TSceneNodeId group, const TSceneLines& lines) override { return m_Scene.AddLines(group, lines); }
    TSceneNodeId AddPoints(TSceneNodeId group, const TScenePoints& p) override { return m_Scene.AddPoints(group, p); }
    TSceneNodeId AddPolygon(TSceneNodeId group, const TScenePolygon& p) override { return m_Scene.AddPolygon(group, p); }
    TSceneNodeId AddPlane(TSceneNodeId group, const TScenePlane& plane) override { return m_Scene.AddPlane(group, plane); }
    TSceneNodeId AddMesh(TSceneNodeId group, const TSceneMesh& mesh) override { return m_Scene.AddMesh(group, mesh); }
    TSceneNodeId AddSolid(TSceneNodeId group, const TSceneSolid& solid) override { return m_Scene.AddSolid(group, solid); }
    void UpdateLines(TSceneNodeId node, const TSceneLines& lines) override { m_Scene.UpdateLines(node, lines); }
    void UpdateSolid(TSceneNodeId node, const TSceneSolid& solid) override { m_Scene.UpdateSolid(node, solid); }
    void UpdatePlane(TSceneNodeId node, const TScenePlane& plane) override
    {
        ++PlaneUpdates;
        m_Scene.UpdatePlane(node, plane);
    }
    void AppendLines(TSceneNodeId node, const std::vector<TVector3D>& nodes) override { m_Scene.AppendLines(node, nodes); }
    void MoveMesh(TSceneNodeId node, const TVector3D& position) override { m_Scene.MoveMesh(node, position); }
    void SetNodeVisible(TSceneNodeId node, bool visible) override { m_Scene.SetNodeVisible(node, visible); }
    void RemoveNode(TSceneNodeId node) override { m_Scene.RemoveNode(node); }
    void ClearGroup(TSceneNodeId group) override { m_Scene.ClearGroup(group); }

    int PlaneUpdates = 0;

private:
    kbtest::TRecordingScene m_Scene;
};

struct VectorizePage : ::testing::Test {
    VectorizePage()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(0xFFFFFFFF);
        for (int y = 2; y < 6; ++y)
            for (int x = 2; x < 6; ++x)
                image.setPixel(x, y, 0xFF204060);
        Source = image;
        Bitmap = Doc.AddObject(-1, std::make_unique<TBitmap2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{8, 8, 1}, image));
        Page.HideToolWin = [this] {
            ++Hides;
            Page.Free();
        };
        Page.Start(*Bitmap, Source);
    }
    ~VectorizePage() override { SetLanguageIni(nullptr); }

    template <class T> T* W(const char* name) const
    {
        T* widget = Sheet.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingWorkMonitor Monitor;
    TPlaneCountingScene Scene;
    TViewServicesScope Services{TViewServices{&Scene, nullptr, nullptr, nullptr}};
    TQV_01Cmp2D Doc;
    QImage Source;
    TBitmap2D* Bitmap = nullptr;
    QWidget Sheet;
    TVectorizePage& Page = *new TVectorizePage(Sheet, Doc);
    int Hides = 0;
};

TEST_F(VectorizePage, SliderAndSpinBoxShowOneValueAndRedrawOnce)
{
    Scene.PlaneUpdates = 0;
    W<QSlider>("tbrRosso")->setValue(200);
    EXPECT_EQ(W<QSpinBox>("sedRosso")->value(), 200);
    EXPECT_EQ(Scene.PlaneUpdates, 1) << "one redraw";
    EXPECT_EQ(Page.Vectorizer()->Settings.RedThreshold, 200);

    QSpinBox* green = W<QSpinBox>("sedVerde");
    green->selectAll();
    QTest::keyClicks(green, "50");
    EXPECT_EQ(W<QSlider>("tbrVerde")->value(), 50);
    EXPECT_EQ(Page.Vectorizer()->Settings.GreenThreshold, 50);
    // The pixel (0x20, 0x40, 0x60) is light once every threshold is below it.
    W<QSpinBox>("sedRosso")->setValue(10);
    W<QSpinBox>("sedVerde")->setValue(10);
    W<QSpinBox>("sedBlu")->setValue(10);
    EXPECT_EQ(Bitmap->Bitmap().pixel(3, 3), 0xFFFFFFFFu);
}

TEST_F(VectorizePage, DoneWaitsForAPreviewAndCancelAddsNothing)
{
    EXPECT_FALSE(W<QPushButton>("sbtVectDone")->isEnabled());
    EXPECT_FALSE(W<QCheckBox>("chkViewOriginal")->isChecked());
    const int32_t objects = Doc.ObjectsCount();
    QTest::mouseClick(W<QPushButton>("sbtVectCancel"), Qt::LeftButton);
    EXPECT_EQ(Hides, 1);
    EXPECT_EQ(Page.Vectorizer(), nullptr);
    EXPECT_EQ(Doc.ObjectsCount(), objects);
}

TEST_F(VectorizePage, TheLayerButtonNamesTheCurrentLayer)
{
    const QString caption = QString::fromStdString(LangToolWinCaption(LangKeys::frmToolWin::sbtVecOnLayer));
    EXPECT_EQ(W<QPushButton>("sbtVecOnLayer")->text(), caption + " 0");
    Page.RunLayerDialog = [this] { Doc.SetCurrentLayer(12); };
    QTest::mouseClick(W<QPushButton>("sbtVecOnLayer"), Qt::LeftButton);
    EXPECT_EQ(W<QPushButton>("sbtVecOnLayer")->text(), caption + "12");
}

TEST_F(VectorizePage, TheArcFilterFieldsFollowTheirBox)
{
    const char* fields[] = {"txtVecFilterTol", "txtVecFilterMin", "txtVecFilterMax"};
    for (const char* field : fields)
        EXPECT_FALSE(W<QLineEdit>(field)->isEnabled()) << field;
    QTest::mouseClick(W<QCheckBox>("chkVecFilter"), Qt::LeftButton, {}, QPoint(6, 8));
    for (const char* field : fields)
        EXPECT_TRUE(W<QLineEdit>(field)->isEnabled()) << field;
    EXPECT_TRUE(W<QLabel>("lblVecFilterMin")->isEnabled());
    QTest::mouseClick(W<QCheckBox>("chkVecFilter"), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_FALSE(W<QLineEdit>("txtVecFilterMax")->isEnabled());
}

} // namespace
