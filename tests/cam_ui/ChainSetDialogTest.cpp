#include "cam/ui/frmChainSet.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "tests/cam/ChainTestSupport.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TCatena> Chain(const std::vector<TVector2D>& points, bool closed)
{
    auto chain = std::make_unique<TCatena>();
    for (const TVector2D& p : points)
        chain->AddVertex(TAVertice::CreateAt(p, 0));
    chain->Closed = closed ? 1 : 0;
    return chain;
}

class ChainSetDialogTest : public ::testing::Test {
protected:
    ChainSetDialogTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Square = &Chains.AddChain(Chain({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, true));
        Chains.AddChain(Chain({{20, 0}, {30, 0}, {25, 5}, {20, 0}}, true));
        Open = &Chains.AddChain(Chain({{0, 20}, {10, 20}}, false));
        Chains.AddChain(Chain({{40, 0}, {50, 0}, {45, 5}, {40, 0}}, true));
        for (int i = 0; i < Chains.Count(); ++i)
            Original.push_back(Chains.ChainAt(i));
        Form.CurrentChains = [this] { return &Chains; };
        Form.show();
        QApplication::processEvents();
    }
    ~ChainSetDialogTest() override { SetLanguageIni(nullptr); }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < Form.lsvChain().count(); ++i)
            texts.push_back(Form.lsvChain().item(i)->text().toStdString());
        return texts;
    }
    // The position of the original chain of each list slot, from 1.
    std::vector<int> Order() const
    {
        std::vector<int> order;
        for (int i = 0; i < Chains.Count(); ++i)
            for (size_t k = 0; k < Original.size(); ++k)
                if (Chains.Items[static_cast<size_t>(i)].get() == Original[k])
                    order.push_back(static_cast<int>(k) + 1);
        return order;
    }
    void Click(int row)
    {
        Form.lsvChain().setCurrentRow(row);
        Form.lsvChainClick();
    }
    void Drag(int from, int to)
    {
        const QPoint a = Form.lsvChain().visualItemRect(Form.lsvChain().item(from)).center();
        const QPoint b = Form.lsvChain().visualItemRect(Form.lsvChain().item(to)).center();
        Form.lsvChainMouseDown(a.x(), a.y());
        Form.lsvChainDragDrop(b.x(), b.y());
    }
    // The chain's colour as "r g b".
    static std::string Color(uint32_t winColor) { return Rgb(SceneColorFromWinColor(winColor)); }
    static std::string Rgb(const TSceneColor& c)
    {
        return std::to_string(c.R) + " " + std::to_string(c.G) + " " + std::to_string(c.B);
    }

    kbtest::TFakeChainContext Context;
    TListaCatene Chains;
    TCatena* Square = nullptr;
    TCatena* Open = nullptr;
    std::vector<TCatena*> Original;
    TfrmChainSet Form;
};

TEST_F(ChainSetDialogTest, ListsTheChainsClosedOrOpenInTheirOrder)
{
    const std::string closed = LangText("718");
    const std::string open = LangText("719");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"1 " + closed, "2 " + closed, "3 " + open, "4 " + closed}));
    EXPECT_EQ(Form.SelectedIndex, -1);
}

TEST_F(ChainSetDialogTest, DraggingAnItemPutsItBeforeTheOneItIsDroppedOnAndClosingStoresTheOrder)
{
    struct TCase {
        int From, To;
        std::vector<int> Expected;
    };
    for (const TCase& c : {TCase{0, 2, {2, 1, 3, 4}}, TCase{3, 0, {4, 1, 2, 3}}}) {
        Form.FormShow();
        Drag(c.From, c.To);
        EXPECT_EQ(Order(), (std::vector<int>{1, 2, 3, 4})) << "only closing stores the order";
        Form.FormClose();
        EXPECT_EQ(Order(), c.Expected) << c.From << " onto " << c.To;
        // Back to the first order for the next case.
        std::vector<std::unique_ptr<TACurva>> taken = std::move(Chains.Items);
        Chains.Items.clear();
        for (TCatena* chain : Original)
            for (auto& slot : taken)
                if (slot.get() == chain)
                    Chains.Items.push_back(std::move(slot));
    }
}

TEST_F(ChainSetDialogTest, TheHighlightFollowsTheClickAndGoesAtClose)
{
    Click(0);
    EXPECT_EQ(Rgb(Square->ChainLines().Color), Color(AppConfig().ToolPathG2));
    Click(2);
    EXPECT_EQ(Rgb(Square->ChainLines().Color), Color(AppConfig().Chain));
    EXPECT_EQ(Rgb(Open->ChainLines().Color), Color(AppConfig().ToolPathG2));
    Form.FormClose();
    EXPECT_EQ(Rgb(Open->ChainLines().Color), Color(AppConfig().Chain));
}

TEST_F(ChainSetDialogTest, TheScrollBarMovesTheStartOfAClosedChainRoundItsCorners)
{
    Click(2);
    EXPECT_FALSE(Form.ScrollBar1().isEnabled()) << "open chain";
    Click(0);
    EXPECT_TRUE(Form.ScrollBar1().isEnabled());
    EXPECT_EQ(Form.ScrollBar1().maximum(), 4);
    EXPECT_EQ(Form.ScrollBar1().value(), 0);

    Form.ScrollBar1().setValue(1);
    EXPECT_EQ(Square->Vertices.front().EndPoint.X, 10.0);
    EXPECT_EQ(Square->Vertices.front().EndPoint.Y, 0.0);
    Form.ScrollBar1().setValue(3);
    EXPECT_EQ(Square->Vertices.front().EndPoint.X, 0.0);
    EXPECT_EQ(Square->Vertices.front().EndPoint.Y, 10.0);
    Form.ScrollBar1().setValue(0);
    EXPECT_EQ(Square->Vertices.front().EndPoint.X, 0.0);
    EXPECT_EQ(Square->Vertices.front().EndPoint.Y, 0.0);
    EXPECT_EQ(Square->Count(), 5);
}

TEST_F(ChainSetDialogTest, DeleteFreesTheSelectedChainOnceAndASecondDeleteDoesNothing)
{
    Click(1);
    Form.mnuDelSelChainClick();
    EXPECT_EQ(Chains.Count(), 3);
    EXPECT_EQ(Form.lsvChain().count(), 3);
    EXPECT_EQ(Form.SelectedChain, nullptr);
    Form.mnuDelSelChainClick();
    EXPECT_EQ(Chains.Count(), 3);
    EXPECT_EQ(Form.lsvChain().count(), 3);
}

TEST_F(ChainSetDialogTest, AChainFreedElsewhereTakesItsItemWithIt)
{
    Click(0);
    Drag(0, 2);
    Chains.ClearAll(); // another command empties the operation's chains
    EXPECT_EQ(Form.lsvChain().count(), 0);
    EXPECT_EQ(Form.SelectedChain, nullptr);
    Form.mnuDelSelChainClick();
    Form.FormClose();
    EXPECT_EQ(Chains.Count(), 0);
}

} // namespace
