#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "cam/ui/EntryExitDialogs.h"
#include "core/settings/Language.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <string>

namespace {

class EntryExitDialogsTest : public ::testing::Test {
protected:
    EntryExitDialogsTest() { SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english")); }
    ~EntryExitDialogsTest() override { SetLanguageIni(nullptr); }

    TParametriOperazione Params{0};
};

TEST_F(EntryExitDialogsTest, TheLatheDialogsOpenOnTheDirectionOfTheStoredVector)
{
    struct TCase {
        double X, Z;
        int Direction;
        const char* Angle;
    };
    for (const TCase& c : {TCase{0, -2, 6, "270"}, TCase{3, 0, 0, "0"}, TCase{-1, 1, 3, "135"}, TCase{-2, -0.01, 4, "180"}}) {
        Params.LatheExit = TLathePoint{c.X, c.Z};
        TLatExit dialog(Params);
        EXPECT_EQ(dialog.Direction, c.Direction) << c.X << "," << c.Z;
        dialog.OnShowDialog();
        EXPECT_EQ(dialog.AngleEdit().text().toStdString(), c.Angle);
        EXPECT_TRUE(dialog.DirectionButton(c.Direction).isChecked());
        EXPECT_FALSE(dialog.AngleEdit().isEnabled());
    }
    Params.LatheEntry = TLathePoint{0, -2};
    TLatEntry entry(Params);
    entry.OnShowDialog();
    const TVector2D v = entry.GetVector();
    EXPECT_NEAR(v.X, 0.0, 1e-12);
    EXPECT_NEAR(v.Y, -2.0, 1e-12);
    entry.DirectionClick(1);
    EXPECT_NEAR(entry.GetVector().X, std::sqrt(2.0), 1e-12);
}

TEST_F(EntryExitDialogsTest, TheMillDialogCopiesTheLeadInToTheLeadOut)
{
    Params.LeadInKind = 2;
    Params.LeadInLength = 3.0;
    Params.LeadOutKind = 1;
    Params.LeadOutLength = 0.5;
    TFresaEntryExit dialog(Params);
    EXPECT_EQ(dialog.GetKind(1), 1);
    EXPECT_DOUBLE_EQ(dialog.GetLength(1), 0.5);
    dialog.CopyClick();
    EXPECT_EQ(dialog.GetKind(1), 2);
    EXPECT_DOUBLE_EQ(dialog.GetLength(1), 3.0);
    EXPECT_EQ(dialog.KindCombo(1).currentText(), QString::fromStdString(LangText("2835")));

    dialog.LengthEdit(0).setText("x");
    EXPECT_THROW(dialog.GetLength(0), EConvertError);
}

TEST_F(EntryExitDialogsTest, TheInsertDialogStoresOnlyTheUsersChanges)
{
    Params.CreateToolData(7);
    TDatiUtBase& tool = *Params.ToolData;
    tool.ToolName = "insert";
    tool.CornerRadius = 1.23456789;
    tool.Diameter = 0.4123456;
    tool.EdgeAngle1 = 35.123456f;
    tool.LatheFlags = kLatheGeometryVariant;
    TLatToolGeoDef dialog(Params);
    // Filling the edits (with rounded texts) stored nothing.
    EXPECT_EQ(tool.CornerRadius, 1.23456789);
    EXPECT_EQ(tool.Diameter, 0.4123456);
    EXPECT_EQ(tool.EdgeAngle1, 35.123456f);
    EXPECT_TRUE(dialog.VariantButton(1).isChecked());
    ASSERT_TRUE(dialog.Ready);

    dialog.NameEdit().setText(QString(60, QChar('n')));
    EXPECT_EQ(tool.ToolName, std::string(50, 'n'));
    dialog.ValueEdit(0).setText("2.5");
    EXPECT_EQ(tool.CornerRadius, 2.5);
    dialog.ValueEdit(0).setText("");
    EXPECT_EQ(tool.CornerRadius, 2.5) << "no number keeps the last one";
    dialog.RadiusEdit().setText("0.8");
    EXPECT_EQ(tool.Diameter, 0.8);
    dialog.TypeCombo().setCurrentIndex(1);
    EXPECT_EQ(tool.ToolType, 1);
    dialog.VariantButton(0).click();
    EXPECT_EQ(tool.LatheFlags & kLatheGeometryVariant, 0);
}

} // namespace
