#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/model/GraphicObject.h"
#include "core/file/Stream.h"
#include "tests/support/TestObject2D.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace class_registry_test {

namespace {

class ClassRegistry : public ::testing::Test {
protected:
    void SetUp() override { QV_00ClearClassRegistry(); }
    void TearDown() override { QV_00ClearClassRegistry(); }
};

TGraphicObjectClass Class(const std::string& name)
{
    return TGraphicObjectClass{name, &kbtest::TTestObject2D::CreateFromStream};
}

template <class E> void ExpectError(const std::function<void()>& call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

} // namespace

TEST_F(ClassRegistry, ErrorsNameTheMethodAndTheCause)
{
    QV_00RegisterClass(5, Class("TFirst"));
    QV_00RegisterClass(511, Class("TLast"));

    ExpectError<ECADOutOfBound>([] { QV_00RegisterClass(512, Class("TX")); },
                                "QV_00RegisterClass: Out of bound registration index");
    // A negative stored id is a large unsigned one.
    ExpectError<ECADOutOfBound>([] { QV_00RegisterClass(static_cast<uint16_t>(int16_t{-1}), Class("TX")); },
                                "QV_00RegisterClass: Out of bound registration index");
    ExpectError<ECADObjClassNotFound>([] { QV_00RegisterClass(5, Class("TSecond")); },
                                      "QV_00RegisterClass: Index 5 already allocated by TFirst");
    ExpectError<ECADObjClassNotFound>([] { QV_00FindClassByIndex(10); },
                                      "QV_00FindClassByIndex: Index not registered");
    ExpectError<ECADOutOfBound>([] { QV_00FindClassByIndex(512); },
                                "QV_00FindClassByIndex: Out of bound registration index");
    ExpectError<ECADObjClassNotFound>([] { QV_00FindClassIndex("tfirst"); },
                                      "QV_00FindClassIndex: tfirst graphic class not found");
    ExpectError<ECADObjClassNotFound>([] { QV_00FindClassByName("TMissing"); },
                                      "QV_00FindClassIndex: TMissing graphic class not found");

    EXPECT_EQ(QV_00FindClassByIndex(5).Name, "TFirst") << "a refused registration leaves the slot";
    EXPECT_EQ(QV_00FindClassByIndex(511).Name, "TLast");
}

TEST_F(ClassRegistry, NamesResolveToTheLowestSlotAndClearEmptiesAll)
{
    QV_00RegisterClass(7, Class("TDup"));
    QV_00RegisterClass(3, Class("TDup"));
    EXPECT_EQ(QV_00FindClassIndex("TDup"), 3);
    EXPECT_EQ(QV_00FindClassByName("TDup").Name, "TDup");

    QV_00ClearClassRegistry();
    EXPECT_THROW(QV_00FindClassByIndex(3), ECADObjClassNotFound);
    EXPECT_THROW(QV_00FindClassIndex("TDup"), ECADObjClassNotFound);
    QV_00RegisterClass(3, Class("TOther")); // the slot is free again
}

TEST_F(ClassRegistry, StoredClassIdRebuildsTheObject)
{
    const int16_t id = 30;
    QV_00RegisterClass(id, Class(std::string(kbtest::TTestObject2D::kClassName)));

    kbtest::TTestObject2D original(12);
    original.SetLayer(4);
    TMemoryStream s;
    WriteInt16(s, QV_00FindClassIndex(original.ClassName()));
    original.SaveToStream(s);

    s.SetPosition(0);
    const auto& cls = QV_00FindClassByIndex(static_cast<uint16_t>(ReadInt16(s)));
    std::unique_ptr<TGraphicObject> copy = cls.CreateFromStream(s, "QV-3.6");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->ClassName(), kbtest::TTestObject2D::kClassName);
    EXPECT_EQ(copy->ID(), 12);
    EXPECT_EQ(copy->Layer(), 4);
    EXPECT_EQ(s.Remaining(), 0);
}

}  // namespace class_registry_test
