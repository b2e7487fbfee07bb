// The stock-size panel through its real edits: keys typed, Enter applies.

#include "nc/ui/NcVisuCont.h"

#include "core/settings/Language.h"
#include "nc/sim/Simulatore2D.h"
#include "tests/nc/sim/SimTestFakes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A window whose grpSimSol holds the real panel.
class TPanelWindow final : public kbtest::TFakeSimWindow {
public:
    TPanelWindow(QWidget& group, TSimulatore2D& sim) : m_Group(group), m_Sim(sim) {}
    std::unique_ptr<TStockPanel> CreateStockPanel(TNcVisu&) override
    {
        auto panel = std::make_unique<TNcVisuCont>(&m_Group, m_Sim);
        Panel = panel.get();
        return panel;
    }
    void MatSizeClick() override
    {
        if (m_Sim.Solid() && m_Sim.Solid()->Panel())
            m_Sim.Solid()->Panel()->ShowStock();
    }
    TNcVisuCont* Panel = nullptr;

private:
    QWidget& m_Group;
    TSimulatore2D& m_Sim;
};

class StockPanel : public ::testing::Test {
protected:
    StockPanel() : SimView(View.Scene), Window(Group, Sim)
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Sim.SetWindow(&Window);
        Sim.SetView(&SimView);
        Op = std::make_unique<kbtest::TFakeSimOperation>(View.Scene, 1);
        Op->Tool->Diameter = 2;
        Op->Comp = 1;
        Op->AddCurve({{0, 0, -2}, {20, 0, -2}, {20, 10, -2}});
        Group.resize(200, 160);
        Group.show();
    }
    ~StockPanel() override
    {
        Sim.FreeSolid();
        SetLanguageIni(nullptr);
    }
    QLineEdit& Edit(int k) { return *Window.Panel->Edit(k); }
    void Retype(int k, const char* keys)
    {
        Edit(k).selectAll();
        QTest::keyClicks(&Edit(k), keys);
    }

    QWidget Group;
    kbtest::TRecordingViewServices View;
    kbtest::TFakeSimView SimView;
    TSimulatore2D Sim;
    TPanelWindow Window;
    std::unique_ptr<kbtest::TFakeSimOperation> Op;
};

TEST_F(StockPanel, ShowsTheStockAndEnterAppliesTheEdits)
{
    Window.SolidSim = true;
    Sim.SelectOperation(Op.get());
    ASSERT_NE(Window.Panel, nullptr);
    // Laid out as two groups of three rows with their language texts.
    EXPECT_EQ(Window.Panel->Group(0)->title(), "Origin");
    EXPECT_EQ(Window.Panel->Group(1)->geometry(), QRect(96, 56, 81, 92));
    EXPECT_EQ(Window.Panel->Group(1)->findChildren<QLabel*>().size(), 3u);
    // Shown by the stock-size toggle: origin, top, sizes.
    EXPECT_EQ(Edit(0).text(), "0");
    EXPECT_EQ(Edit(2).text(), "0");
    EXPECT_EQ(Edit(3).text(), "20");
    EXPECT_EQ(Edit(5).text(), "2");

    Sim.Play();
    ASSERT_FALSE(View.Scene.Children(Op->Group).empty());
    Retype(2, "10");
    Retype(5, "4");
    QTest::keyClick(&Edit(5), Qt::Key_Tab); // any other key changes nothing
    EXPECT_DOUBLE_EQ(Sim.Solid()->Grid().Origin().Z, -2);
    QTest::keyClick(&Edit(5), Qt::Key_Return);
    const TNcVisuGrid& grid = Sim.Solid()->Grid();
    EXPECT_DOUBLE_EQ(grid.Origin().Z, 6);
    EXPECT_DOUBLE_EQ(grid.SizeZ(), 4);
    EXPECT_EQ(grid.Cell(20, 0).Height, 4); // uncut at the new size
    EXPECT_EQ(grid.Cell(20, 0).Colour, TNcVisuGrid::kFreshColour);
    EXPECT_TRUE(View.Scene.Children(Op->Group).empty()); // the path cleared

    // A size of 0 or a text that is no number: nothing changes.
    for (const char* bad : {"0", "x"}) {
        Retype(3, bad);
        QTest::keyClick(&Edit(3), Qt::Key_Enter);
        EXPECT_DOUBLE_EQ(Sim.Solid()->Grid().SizeX(), 20) << bad;
    }
}

TEST_F(StockPanel, FreedWithTheModel)
{
    Window.SolidSim = true;
    Sim.SelectOperation(Op.get());
    ASSERT_EQ(Group.findChildren<QGroupBox*>().size(), 2u);
    Sim.FreeSolid();
    EXPECT_TRUE(Group.findChildren<QGroupBox*>().empty());
}

} // namespace
