#include "cad/edit/ExplodeContainer.h"

#include "cad/edit/BreakIDs.h"
#include "core/model/CADSysException.h"
#include "core/entities/Container2D.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <gtest/gtest.h>

namespace explode_container_test {

namespace {

std::unique_ptr<TContainer2D> TwoLines(int32_t firstID, int32_t secondID)
{
    std::vector<std::unique_ptr<TObject2D>> children;
    children.push_back(std::make_unique<TLine2D>(firstID, MakePoint2D(0, 0), MakePoint2D(1, 0)));
    children.push_back(std::make_unique<TLine2D>(secondID, MakePoint2D(0, 0), MakePoint2D(0, 1)));
    return std::make_unique<TContainer2D>(-1, std::move(children));
}

TPoint2D Drawn(TGraphicObject* object, int i)
{
    auto& line = dynamic_cast<TLine2D&>(*object);
    return line.GetModelTransform().TransformPoint2D(line.Points().Get(i));
}

} // namespace

TEST(ExplodeContainerToDocument, ChildrenJoinTheDrawingWhereTheyWereShown)
{
    TQV_01Cmp2D document;
    document.SetCurrentLayer(4);
    auto container = TwoLines(-1, 40);
    // The second child is turned by itself; the container then moves both.
    {
        TGraphicObjIterator it = container->Objects().GetIterator();
        it.First();
        auto* turned = dynamic_cast<TObject2D*>(it.Next());
        turned->SetTransform(TMatrix4::CreateRotationZ(-90, true));
        turned->ApplyTransform();
    }
    container->SetTransform(TMatrix4::CreateTranslation(10, 20, 0));
    container->ApplyTransform();

    EXPECT_EQ(ExplodeContainerToDocument(document, std::move(container)), 2);
    ASSERT_EQ(document.ObjectsCount(), 2);
    TGraphicObjIterator objects = document.ObjectsIterator();
    TGraphicObject* first = objects.First();
    TGraphicObject* second = objects.Next();
    EXPECT_EQ(first->ID(), 0);  // a negative ID takes the next free one
    EXPECT_EQ(second->ID(), 40); // a given one is kept
    EXPECT_EQ(first->Layer(), 4);
    EXPECT_EQ(BreakIDs(), (std::vector<int32_t>{0, 40}));
    EXPECT_NEAR(Drawn(first, 1).X, 11, 1e-12);
    EXPECT_NEAR(Drawn(first, 1).Y, 20, 1e-12);
    EXPECT_NEAR(Drawn(second, 1).X, 11, 1e-12); // own turn first, then the move
    EXPECT_NEAR(Drawn(second, 1).Y, 20, 1e-12);
}

TEST(ExplodeContainerToDocument, ARefusedAddKeepsWhatWasAddedAndRaises)
{
    TQV_01Cmp2D document;
    document.AddObject(-1, std::make_unique<TLine2D>(0, MakePoint2D(0, 0), MakePoint2D(1, 1)));
    const TGraphicObjIterator walking = document.ObjectsIterator();
    BreakIDs() = {7, 8, 9};
    EXPECT_THROW(ExplodeContainerToDocument(document, TwoLines(-1, -1)), ECADListBlocked);
    EXPECT_TRUE(BreakIDs().empty());
    EXPECT_EQ(document.ObjectsCount(), 1);
}

}  // namespace explode_container_test
