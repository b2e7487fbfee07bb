#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace stream_test {

TEST(Stream, FieldsAreLittleEndian)
{
    TMemoryStream s;
    WriteInt16(s, -2);
    WriteInt32(s, 0x01020304);
    WriteDouble(s, 1.0);
    WriteSingle(s, -2.0f);
    const auto expected = kbtest::TBytes().I16(-2).I32(0x01020304).F64(1.0).F32(-2.0f).Data();
    EXPECT_EQ(s.Data(), expected);
    EXPECT_EQ(s.Data()[2], 0x04);

    s.SetPosition(0);
    EXPECT_EQ(ReadInt16(s), -2);
    EXPECT_EQ(ReadInt32(s), 0x01020304);
    EXPECT_EQ(ReadDouble(s), 1.0);
    EXPECT_EQ(ReadSingle(s), -2.0f);
    EXPECT_THROW(ReadUInt8(s), EStreamReadError);
}

TEST(Stream, StreamExLengthsBelowOneReadEmptyAndConsumeFourBytes)
{
    for (int32_t length : {0, -5}) {
        TMemoryStream s(kbtest::TBytes().I32(length).U8(0x7f).Data());
        EXPECT_EQ(ReadStreamEx(s), "");
        EXPECT_EQ(s.Position(), 4);
        EXPECT_EQ(ReadUInt8(s), 0x7f);
    }
    TMemoryStream s(kbtest::TBytes().StreamEx("abc").Data());
    EXPECT_EQ(ReadStreamEx(s), "abc");
    TMemoryStream w;
    WriteStreamEx(w, "abc");
    EXPECT_EQ(w.Data(), kbtest::TBytes().StreamEx("abc").Data());
}

TEST(Stream, StreamExLongerThanTheStreamRaisesWithoutAllocating)
{
    TMemoryStream s(kbtest::TBytes().I32(0x7fffffff).Str("abc").Data());
    EXPECT_THROW(ReadStreamEx(s), EStreamReadError);
}

TEST(Stream, ShortReadRaises)
{
    TMemoryStream s(kbtest::TBytes().U8(1).U8(2).U8(3).Data());
    EXPECT_THROW(ReadInt32(s), EStreamReadError);
    EXPECT_FALSE(s.CanHold(1, 4));
    EXPECT_FALSE(s.CanHold(-1, 4));
}

TEST(Stream, SignaturesCompareAsPlainByteStrings)
{
    struct Case {
        std::string a, b;
        int sign;
    };
    const std::string nul("CAD4\0\0", 6);
    const Case cases[] = {
        {"CAD4", "CAD4  ", -1},   // a prefix sorts lower
        {"CAD4  ", "CAD41", -1},  // space < '1'
        {"CAD41", "CAD422", -1},
        {"CAD422", "QV-002", -1},
        {"QV-002", "QV-3.2", -1}, // '0' < '3'
        {"QV-3.2", "QV-3.6", -1},
        {"QV-3.6", "QV-3.6", 0},
        {nul, "CAD4", 1},         // NUL bytes still make it longer
        {nul, "CAD4  ", -1},      // NUL < space
        {"CAD3  ", "CAD33", -1},
    };
    for (const auto& c : cases) {
        const int r = CompareSignature(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        const int back = CompareSignature(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign);
    }
}

TEST(Stream, FileStreamWritesAndReads)
{
    kbtest::TTempDir dir;
    {
        TFileStream f(dir.File("a.bin"), TFileStream::TMode::Create);
        WriteInt32(f, 42);
        f.Close();
    }
    TFileStream f(dir.File("a.bin"), TFileStream::TMode::OpenRead);
    EXPECT_EQ(f.Size(), 4);
    EXPECT_EQ(ReadInt32(f), 42);
    EXPECT_THROW(TFileStream(dir.File("missing.bin"), TFileStream::TMode::OpenRead), std::runtime_error);
}

TEST(Stream, FileSizeAndPositionBetweenReadsKeepThePlace)
{
    kbtest::TTempDir dir;
    const std::string name = dir.File("bytes.bin");
    constexpr int Count = 20000; // several read buffers
    {
        TFileStream f(name, TFileStream::TMode::Create);
        for (int i = 0; i < Count; ++i)
            WriteUInt8(f, static_cast<uint8_t>(i * 7));
        // Written bytes count before they reach the disk.
        EXPECT_EQ(f.Size(), Count);
        EXPECT_EQ(f.Position(), Count);
    }
    TFileStream f(name, TFileStream::TMode::OpenRead);
    for (int i = 0; i < Count; ++i) {
        ASSERT_EQ(f.Size(), Count);
        ASSERT_EQ(f.Position(), i);
        ASSERT_TRUE(f.CanHold(Count - i, 1));
        ASSERT_FALSE(f.CanHold(Count - i + 1, 1));
        ASSERT_EQ(ReadUInt8(f), static_cast<uint8_t>(i * 7)) << i;
    }
    EXPECT_THROW(ReadUInt8(f), EStreamReadError);
    EXPECT_EQ(f.Position(), Count);
    // Back, past the end and before the start, as the seeks leave it.
    const struct {
        int64_t To, Expected;
    } seeks[] = {{100, 100}, {Count + 10, Count + 10}, {-5, 0}};
    for (const auto& seek : seeks) {
        f.SetPosition(seek.To);
        EXPECT_EQ(f.Position(), seek.Expected) << seek.To;
        EXPECT_EQ(f.Remaining(), std::max<int64_t>(0, Count - seek.Expected)) << seek.To;
    }
    f.SetPosition(100);
    EXPECT_EQ(ReadUInt8(f), static_cast<uint8_t>(100 * 7));
    EXPECT_EQ(f.Position(), 101);
}

}  // namespace stream_test
