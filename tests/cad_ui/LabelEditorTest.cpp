// The label editor offscreen: rows with "+" and "-", numbers typed into the
// fields, and the position button driving the real interaction program.

#include "cad/ui/LabelEditor.h"

#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/states/PositionStates.h"
#include "core/entities/Container2D.h"
#include "core/entities/Etichetta.h"
#include "core/entities/LabelServices.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// One stroke per text: from the baseline start up by the height and along
// by one unit per character.
class TOneStrokeText final : public TLabelTextConverter {
public:
    void SetTextHeight(double value) override { m_Height = value; }
    void SetCharSpacing(double) override {}
    void SetStrokeFontIndex(int32_t value) override { FontIndexes.push_back(value); }
    void StrokeTextToPolylines(std::string_view text, std::vector<std::unique_ptr<TPolyline2D>>& polylines, float y,
                               float x) override
    {
        if (text.empty())
            return;
        const TPoint2D points[] = {MakePoint2D(x, y), MakePoint2D(x + text.size(), y + m_Height)};
        polylines.push_back(std::make_unique<TPolyline2D>(-1, points));
    }
    std::unique_ptr<TContainer2D> StrokeTextToContainer(std::string_view text) override
    {
        std::vector<std::unique_ptr<TPolyline2D>> polylines;
        StrokeTextToPolylines(text, polylines, 0, 0);
        std::vector<std::unique_ptr<TObject2D>> children;
        for (auto& polyline : polylines)
            children.push_back(std::move(polyline));
        return std::make_unique<TContainer2D>(-1, std::move(children));
    }

    std::vector<int32_t> FontIndexes; // every stroke font set

private:
    double m_Height = 10;
};

class LabelEditorTest : public ::testing::Test {
protected:
    LabelEditorTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        m_PreviousConverter = SetLabelTextConverter(&Converter);
        View.SetViewportSize(800, 600);
        // 0.1 drawing units a pixel, (0, 0) in the middle.
        View.ZoomToBox(TBox3D{{-24, -32, 0, 1}, {24, 32, 0, 1}});
        View.SetDocument(&Doc);
        Editor.BuildLabelEditors();
    }
    ~LabelEditorTest() override
    {
        SetLabelTextConverter(m_PreviousConverter);
        SetLanguageIni(nullptr);
    }

    bool Idle() const
    {
        return !Prg.Busy() && Prg.CurrentState() && Prg.CurrentState()->StateClass() == Prg.IdleClass();
    }
    bool Positioning() const
    {
        return Prg.CurrentState() && Prg.CurrentState()->StateClass() == StateClassOf<TQV_40PosizionaContainer>();
    }
    QPushButton* Button(const char* name, int row = -1) const
    {
        for (QPushButton* button : Editor.findChildren<QPushButton*>(QString::fromLatin1(name)))
            if (row < 0 || button->property("Tag").toInt() == row)
                return button;
        return nullptr;
    }
    std::vector<QString> RowCaptions() const
    {
        std::vector<QString> captions;
        for (QLabel* caption : Editor.findChildren<QLabel*>(QStringLiteral("lblEti1")))
            captions.push_back(caption->text());
        return captions;
    }
    // Types into the field as the user does, then Enter.
    static void TypeInto(QLineEdit* field, const QString& text, bool enter)
    {
        ASSERT_NE(field, nullptr);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        if (enter)
            QTest::keyClick(field, Qt::Key_Return);
    }

    TOneStrokeText Converter;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingShell Shell;
    TAppConfig Config{""};
    TQV_01Cmp2D Doc;
    TQVScene View{Config};
    kbtest::TRecordingReadout Readout;
    TQV_00Prog Prg;
    TViewServicesScope Services{TViewServices{&View.SceneBuilder(), &View, &Readout, &Prg}};
    kbtest::TCADDriver Driver{Prg, View, [this](const TPoint2D& p) { return View.PointToScreen(p); }, Shell};
    TEtichetta Label{false};
    TLabelEditor Editor{Label, &Prg, &Doc};

private:
    TLabelTextConverter* m_PreviousConverter = nullptr;
};

TEST_F(LabelEditorTest, PlusAndMinusAddAndDropRows)
{
    EXPECT_EQ(RowCaptions(), (std::vector<QString>{"(1) Label"}));
    QTest::mouseClick(Button("sbtEtiAdd"), Qt::LeftButton);
    QTest::mouseClick(Button("sbtEtiAdd"), Qt::LeftButton);
    EXPECT_EQ(Label.LabelCount(), 3);
    EXPECT_EQ(RowCaptions(), (std::vector<QString>{"(1) Label", "(2) Label", "(3) Label"}));
    EXPECT_EQ(Editor.Field(2, "edtEtiHeight")->text(), "10");
    EXPECT_EQ(Button("sbtEtiPosXY", 2)->text(), "Position");
    EXPECT_EQ(Button("sbtEtiApply")->text(), "Apply");

    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(Button("sbtEtiRemove"), Qt::LeftButton);
    EXPECT_EQ(Label.LabelCount(), 0);
    EXPECT_EQ(Editor.RowCount(), 0);
    EXPECT_TRUE(RowCaptions().empty());
}

TEST_F(LabelEditorTest, NumbersAreTakenWhenCompleteAndRefusedWithoutRaising)
{
    TDatiEtichetta& entry = Label.Labels()[0];
    QLineEdit* x = Editor.Field(0, "edtEtiX");
    TypeInto(x, "-", false);
    EXPECT_EQ(entry.X, 0.0f) << "a lone sign is not a number yet";
    EXPECT_FALSE(TLabelEditor::IsRefused(*x));
    QTest::keyClicks(x, "12,5"); // the key filter types the comma as a point
    EXPECT_EQ(x->text(), "-12.5");
    EXPECT_EQ(entry.X, -12.5f);

    QLineEdit* height = Editor.Field(0, "edtEtiHeight");
    TypeInto(height, "7", false);
    EXPECT_EQ(entry.Height, 10.0f) << "the height is taken when the field is left";
    QTest::keyClick(height, Qt::Key_Return);
    EXPECT_EQ(entry.Height, 7.0f);
    TypeInto(height, "1.2.3", true);
    EXPECT_EQ(entry.Height, 7.0f);
    EXPECT_TRUE(TLabelEditor::IsRefused(*height));
    height->setText("1e99"); // pasted (no key filter); no single holds it
    QTest::keyClick(height, Qt::Key_Return);
    EXPECT_EQ(entry.Height, 7.0f);
    EXPECT_TRUE(TLabelEditor::IsRefused(*height));
    TypeInto(height, "2.5", true);
    EXPECT_EQ(entry.Height, 2.5f);
    EXPECT_FALSE(TLabelEditor::IsRefused(*height));
    EXPECT_TRUE(Notifier.Messages().empty());

    TypeInto(Editor.Field(0, "edtEtiText"), "KB", false);
    EXPECT_EQ(entry.Text, "KB");
}

TEST_F(LabelEditorTest, PositionButtonLetsTheTextFollowAndTheClickFillsXAndY)
{
    // An empty text starts nothing.
    QTest::mouseClick(Button("sbtEtiPosXY", 0), Qt::LeftButton);
    EXPECT_TRUE(Idle());

    TypeInto(Editor.Field(0, "edtEtiText"), "AB", false);
    QTest::mouseClick(Button("sbtEtiPosXY", 0), Qt::LeftButton);
    EXPECT_TRUE(Positioning());
    Driver.MoveTo({4, 5, 1});
    EXPECT_EQ(Editor.Field(0, "edtEtiX")->text(), "4");
    EXPECT_EQ(Editor.Field(0, "edtEtiY")->text(), "5");

    Driver.Click({7, 2.5, 1});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Editor.Field(0, "edtEtiX")->text(), "7");
    EXPECT_EQ(Editor.Field(0, "edtEtiY")->text(), "2.5");
    EXPECT_EQ(Label.Labels()[0].X, 7.0f);
    EXPECT_EQ(Label.Labels()[0].Y, 2.5f);
    // The click applied: the outlines stand at the picked point.
    TContainer2D* outlines = Label.OutlineContainer(&Doc);
    ASSERT_NE(outlines, nullptr);
    EXPECT_EQ(Doc.ObjectsCount(), 1);
    TGraphicObjIterator it = outlines->Objects().GetIterator();
    const auto& stroke = dynamic_cast<TPolyline2D&>(*it.First()).Points();
    EXPECT_EQ(stroke.Get(0).X, 7.0);
    EXPECT_EQ(stroke.Get(0).Y, 2.5);

    // Rows rebuilt while the text follows the cursor are not written to.
    QTest::mouseClick(Button("sbtEtiPosXY", 0), Qt::LeftButton);
    QTest::mouseClick(Button("sbtEtiAdd"), Qt::LeftButton);
    Driver.Click({1, 1, 1});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Label.Labels()[0].X, 7.0f);
    EXPECT_EQ(Editor.Field(0, "edtEtiX")->text(), "7");
}

TEST_F(LabelEditorTest, TheFontPickerShowsTheLabelsFontAndSetsTheConverters)
{
    Label.SetFontIndex(1);
    Editor.SetFontNames({"cursive", "futural", "scripts"});
    auto* picker = Editor.findChild<QComboBox*>(QStringLiteral("cmbEtiFont"));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->currentIndex(), 1);
    EXPECT_TRUE(Converter.FontIndexes.empty()) << "showing the stored font changes nothing";
    picker->setCurrentIndex(2);
    EXPECT_EQ(Label.FontIndex(), 2);
    EXPECT_EQ(Converter.FontIndexes, (std::vector<int32_t>{3}));
}

// Not a check: a picture of the editor with three labels for review, written
// when KB_SHOTS_DIR names a folder (scripts/shots/label-editor.sh).
TEST_F(LabelEditorTest, DISABLED_ShotForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "KB_SHOTS_DIR not set";
    Label.Labels()[0] = {"KESTRABEL", 10.0f, 20.0f, 10.0f, 1.0f};
    Label.AppendLabel();
    Label.Labels()[1] = {"Part 7", 10.0f, 5.0f, 6.0f, 0.5f};
    Label.AppendLabel();
    Label.Labels()[2] = {"2026-12", -3.5f, -12.0f, 4.0f, 1.0f};
    Editor.SetFontNames({"cursive", "futural", "rowmans", "scripts"});
    Editor.BuildLabelEditors();
    Editor.resize(320, 420);
    Editor.show();
    QTest::qWait(50);
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/label-editor.png");
    ASSERT_TRUE(Editor.grab().save(file));
    std::printf("%s\n", file.toLocal8Bit().constData());
}

} // namespace
