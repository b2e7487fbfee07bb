// The holding-tab list: its record from hand-built bytes, and its markers in
// the drawing and lines in the list box.

#include "cam/params/ListaTab.h"

#include "core/entities/Line2D.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"

#include "tests/cam/ToolBytes.h"

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

class TFakeTabListBox : public TTabListBox {
public:
    void AddLine(const std::string& text) override { Lines.push_back(text); }
    void DeleteLine(int index) override { Lines.erase(Lines.begin() + index); }
    void Clear() override { Lines.clear(); }
    std::vector<std::string> Lines;
};

// A drawing with one plain line (ID 0) and a marker line per tab; the list
// box and the marker drawing are attached for the fixture's lifetime.
struct TTabDrawing {
    TTabDrawing()
    {
        Doc.AddObject(-1, std::make_unique<TLine2D>(-1, Point2D(0, 0), Point2D(10, 0)));
        SetTabMarkerDocument(&Doc);
        Tabs.SetListBox(&Box);
    }
    ~TTabDrawing() { SetTabMarkerDocument(nullptr); }

    void AddTab(double x, double y)
    {
        auto tab = std::make_unique<TDatiTab>();
        tab->ChainPoint = {x, y};
        tab->MarkerId = Doc.AddObject(-1, std::make_unique<TLine2D>(-1, Point2D(x, y), Point2D(x + 1, y)))->ID();
        Tabs.AddTab(std::move(tab));
    }

    TQV_01Cmp2D Doc;
    TFakeTabListBox Box;
    TListaTab Tabs;
};

} // namespace

TEST(HoldingTabs, RecordReadsByVersionAndWritesTheFullLayout)
{
    struct TCase {
        const char* Version;
        bool KindFields;
    };
    for (const TCase& c : {TCase{"QV-001", false}, TCase{"QV-002", true}, TCase{"QV-3.6", true}}) {
        SCOPED_TRACE(c.Version);
        TBytes bytes = TabListBytes(3, c.KindFields);
        bytes.U8(0xEE); // what follows the list in a document
        TMemoryStream in(bytes.Data());
        TListaTab tabs;
        tabs.LoadFromStream(in, c.Version);
        EXPECT_EQ(in.Position(), in.Size() - 1);
        ASSERT_EQ(tabs.Count(), 3);
        EXPECT_EQ(tabs.TabWidth, 2.5);
        // Older lists: thickness 0 and partial tabs.
        EXPECT_EQ(tabs.TabThickness, c.KindFields ? 0.75 : 0.0);
        EXPECT_EQ(tabs.Full, c.KindFields ? 1 : 0);
        EXPECT_EQ(tabs.Tab(2).ChainPoint.Y, 1.25);
        EXPECT_EQ(tabs.Tab(2).ChainId, 102);
        EXPECT_EQ(tabs.Tab(2).MarkerId, kNoTabMarker);

        tabs.TabThickness = 0.75;
        tabs.Full = 1;
        tabs.Reserved = 7;
        TMemoryStream out;
        tabs.SaveToStream(out);
        EXPECT_EQ(out.Data(), TabListBytes(3).Data());
    }
}

TEST(HoldingTabs, EmptyListIsItsCountAloneAndKeepsTheSettings)
{
    TListaTab tabs;
    tabs.TabWidth = 4;
    tabs.TabThickness = 1.5;
    tabs.Full = 1;
    TMemoryStream out;
    tabs.SaveToStream(out);
    EXPECT_EQ(out.Data(), TabListBytes(0).Data());
    EXPECT_EQ(out.Size(), 4);

    for (int32_t n : {0, -5}) {
        TBytes bytes;
        bytes.I32(n).F64(99).F64(99);
        TMemoryStream in(bytes.Data());
        tabs.LoadFromStream(in, "QV-3.6");
        EXPECT_EQ(in.Position(), 4);
        EXPECT_EQ(tabs.Count(), 0);
        EXPECT_EQ(tabs.TabWidth, 4.0);
        EXPECT_EQ(tabs.TabThickness, 1.5);
        EXPECT_EQ(tabs.Full, 1);
    }
}

TEST(HoldingTabs, ListThatEndsTheStreamOrOverstatesItsCountIsRefused)
{
    TBytes overstated;
    overstated.I32(1000).F64(2.5).F64(0.75).U8(1).U8(0);
    AppendTab(overstated, 0);
    AppendTab(overstated, 1);
    const std::vector<uint8_t> last = TabListBytes(2).Data();
    const std::vector<uint8_t> cut(last.begin(), last.end() - 3);
    for (const std::vector<uint8_t>& bytes : {last, cut, overstated.Data()}) {
        TMemoryStream in(bytes);
        TListaTab tabs;
        try {
            tabs.LoadFromStream(in, "QV-3.6");
            ADD_FAILURE() << "read";
        } catch (const ECADFileNotValid& e) {
            EXPECT_STREQ(e.what(), "LoadFromStream: Invalid stream.");
        }
        EXPECT_EQ(tabs.Count(), 0);
    }
}

TEST(HoldingTabs, ClearAndDeleteTakeMarkersAndLinesAlong)
{
    TTabDrawing d;
    d.AddTab(1.5, -2);
    d.AddTab(3, 4.25);
    d.AddTab(5, 6);
    EXPECT_EQ(d.Box.Lines, (std::vector<std::string>{"X1.5 Y-2", "X3 Y4.25", "X5 Y6"}));
    ASSERT_EQ(d.Doc.ObjectsCount(), 4);

    const int32_t third = d.Tabs.Tab(2).MarkerId;
    d.Tabs.DeleteTab(1);
    EXPECT_EQ(d.Box.Lines, (std::vector<std::string>{"X1.5 Y-2", "X5 Y6"}));
    EXPECT_EQ(d.Doc.ObjectsCount(), 3);
    EXPECT_EQ(d.Tabs.Tab(1).MarkerId, third);
    d.Tabs.DeleteTab(7); // no such tab
    EXPECT_EQ(d.Tabs.Count(), 2);

    // A tab read from a document has no marker: the drawing's object 0
    // stays.
    d.Tabs.AddTab(std::make_unique<TDatiTab>());
    d.Tabs.ClearTabs();
    EXPECT_EQ(d.Tabs.Count(), 0);
    EXPECT_TRUE(d.Box.Lines.empty());
    ASSERT_EQ(d.Doc.ObjectsCount(), 1);
    EXPECT_NE(d.Doc.GetObjectByID(0), nullptr);
}

TEST(HoldingTabs, MarkerTheDrawingRefusesEndsTheMarkerDeletion)
{
    TTabDrawing d;
    d.AddTab(1, 1);
    d.AddTab(2, 2);
    d.AddTab(3, 3);
    const int32_t last = d.Tabs.Tab(2).MarkerId;
    d.Doc.DeleteObject(d.Tabs.Tab(1).MarkerId); // gone already
    d.Tabs.RemoveMarkers();
    EXPECT_EQ(d.Tabs.Count(), 3);
    EXPECT_EQ(d.Tabs.Tab(0).MarkerId, kNoTabMarker);
    EXPECT_NE(d.Doc.GetObjectByID(last), nullptr);
    // Deleting that tab still drops it and its line.
    d.Tabs.DeleteTab(1);
    EXPECT_EQ(d.Tabs.Count(), 2);
    EXPECT_EQ(d.Box.Lines.size(), 2u);
}
