#include "core/file/Stl.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>

namespace stl_test {

namespace {

using TVec = std::array<float, 3>;

struct TCubeFacet {
    TVec Normal, A, B, C;
};

// A 2 x 2 x 2 cube at (10, 20, -5), written out corner by corner with its
// outward normals: the reference the readers are checked against.
std::vector<TCubeFacet> Cube()
{
    auto p = [](int corner) {
        return TVec{10.0f + 2.0f * (corner & 1), 20.0f + 2.0f * ((corner >> 1) & 1), -5.0f + 2.0f * ((corner >> 2) & 1)};
    };
    struct Face {
        TVec n;
        int t[2][3];
    };
    const Face faces[] = {
        {{0, 0, -1}, {{0, 2, 1}, {1, 2, 3}}}, {{0, 0, 1}, {{4, 5, 6}, {5, 7, 6}}},
        {{0, -1, 0}, {{0, 1, 4}, {1, 5, 4}}}, {{0, 1, 0}, {{2, 6, 3}, {3, 6, 7}}},
        {{-1, 0, 0}, {{0, 4, 2}, {2, 4, 6}}}, {{1, 0, 0}, {{1, 3, 5}, {3, 7, 5}}},
    };
    std::vector<TCubeFacet> facets;
    for (const Face& f : faces)
        for (const auto& t : f.t)
            facets.push_back({f.n, p(t[0]), p(t[1]), p(t[2])});
    return facets;
}

kbtest::TBytes& Vec(kbtest::TBytes& b, const TVec& v)
{
    return b.F32(v[0]).F32(v[1]).F32(v[2]);
}

// An 80-byte header starting with the text, the count and the facets.
kbtest::TBytes BinaryStl(const std::string& headerText, uint32_t count, const std::vector<TCubeFacet>& facets)
{
    kbtest::TBytes b;
    b.Str(headerText).Str(std::string(80 - headerText.size(), '\0')).U32(count);
    for (const TCubeFacet& f : facets) {
        Vec(Vec(Vec(Vec(b, f.Normal), f.A), f.B), f.C);
        b.U8(0xAB).U8(0xCD); // attribute bytes are ignored
    }
    return b;
}

std::string AsciiStl(const std::vector<TCubeFacet>& facets, const std::string& eol)
{
    auto v = [](const TVec& x) {
        return std::to_string(x[0]) + " " + std::to_string(x[1]) + " " + std::to_string(x[2]);
    };
    std::string s = "solid cube" + eol;
    for (const TCubeFacet& f : facets) {
        s += "  facet normal " + v(f.Normal) + eol + "    outer loop" + eol;
        for (const TVec* p : {&f.A, &f.B, &f.C})
            s += "      vertex " + v(*p) + eol;
        s += "    endloop" + eol + "  endfacet" + eol;
    }
    return s + "endsolid cube" + eol;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void ExpectCube(const TStlMesh& mesh)
{
    const auto cube = Cube();
    ASSERT_EQ(mesh.Facets.size(), cube.size());
    EXPECT_EQ(mesh.SkippedFacets, 0u);
    for (size_t i = 0; i < cube.size(); ++i) {
        const TStlFacet& m = mesh.Facets[i];
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(m.Normal[k], cube[i].Normal[k]) << "facet " << i;
            EXPECT_EQ(m.A[k], cube[i].A[k]) << "facet " << i;
            EXPECT_EQ(m.B[k], cube[i].B[k]) << "facet " << i;
            EXPECT_EQ(m.C[k], cube[i].C[k]) << "facet " << i;
        }
    }
}

std::span<const uint8_t> Bytes(const std::string& s)
{
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

} // namespace

TEST(Stl, BinaryCubeInsideAStreamIsReadToItsLastByteAndNoFurther)
{
    kbtest::TBytes b = BinaryStl("cube", 12, Cube());
    ASSERT_EQ(b.Size(), 684u);
    b.I32(0x12345678).Str("next");
    TMemoryStream stream(b.Data());

    ExpectCube(ReadStlBinary(stream));
    EXPECT_EQ(stream.Position(), 684);
    EXPECT_EQ(ReadInt32(stream), 0x12345678);
    EXPECT_EQ(ReadFixedString(stream, 4), "next");

    // Several surfaces one after another, as a document holds them.
    auto both = BinaryStl("a", 1, {Cube()[0]}).Data();
    const auto second = BinaryStl("b", 2, {Cube()[1], Cube()[2]}).Data();
    both.insert(both.end(), second.begin(), second.end());
    TMemoryStream two(both);
    EXPECT_EQ(ReadStlBinary(two).Facets.size(), 1u);
    EXPECT_EQ(two.Position(), 134);
    EXPECT_EQ(ReadStlBinary(two).Facets.size(), 2u);
    EXPECT_EQ(two.Remaining(), 0);
}

TEST(Stl, BinaryWhoseHeaderStartsWithSolidIsReadAsBinary)
{
    for (const std::string header : {"solid cube", "SOLID", "solid\nfacet normal 0 0 1\n"}) {
        const auto bytes = BinaryStl(header, 12, Cube()).Data();
        ExpectCube(LoadStl(bytes));
    }
    // With bytes after the last facet the size rule does not hold; the
    // text does not parse, so the binary reading still wins.
    auto padded = BinaryStl("solid cube", 12, Cube());
    padded.Str(std::string(7, '\0'));
    ExpectCube(LoadStl(padded.Data()));
}

TEST(Stl, CountBeyondTheBytesIsRefusedWithAClearError)
{
    struct Case {
        uint32_t count;
        size_t facets;
    };
    const Case cases[] = {{13, 12}, {1000000, 2}, {0xFFFFFFFFu, 0}, {1, 0}};
    for (const Case& c : cases) {
        const std::vector<TCubeFacet> all = Cube();
        const auto bytes =
            BinaryStl("x", c.count, std::vector<TCubeFacet>(all.begin(), all.begin() + c.facets)).Data();
        TMemoryStream stream(bytes);
        try {
            ReadStlBinary(stream);
            ADD_FAILURE() << "count " << c.count << " accepted";
        } catch (const EStlError& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(c.count) + " facets need"), std::string::npos)
                << e.what();
        }
        EXPECT_THROW(LoadStl(bytes), EStlError) << c.count;
    }
    // Too short for the header and count.
    TMemoryStream shortStream(kbtest::TBytes().Str(std::string(83, 'x')).Data());
    EXPECT_THROW(ReadStlBinary(shortStream), EStlError);
}

TEST(Stl, AsciiCubeReadsInAnyLineEndAndLetterCase)
{
    const std::string text = AsciiStl(Cube(), "\n");
    ExpectCube(ReadStlAscii(text));
    ExpectCube(LoadStl(Bytes(text)));
    ExpectCube(LoadStl(Bytes(Upper(AsciiStl(Cube(), "\r\n")))));
    ExpectCube(LoadStl(Bytes("\xEF\xBB\xBF  " + text)));
    // Two solids, numbers with signs and exponents, tabs, no final line end.
    const std::string two = "solid a\nfacet normal +0 0 1e0 outer loop\tvertex 0 0 0 vertex +1.5E+1 0 0\n"
                            "vertex 0 -2.5e-1 0 endloop endfacet\nendsolid a\nsolid b\nendsolid";
    const TStlMesh mesh = ReadStlAscii(two);
    ASSERT_EQ(mesh.Facets.size(), 1u);
    EXPECT_EQ(mesh.Facets[0].B[0], 15.0f);
    EXPECT_EQ(mesh.Facets[0].C[1], -0.25f);
    EXPECT_EQ(ReadStlAscii("solid empty\nendsolid empty\n").Facets.size(), 0u);
}

TEST(Stl, DamagedAsciiEndsInAnErrorNamingTheLine)
{
    const std::string facet = "facet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
                              "endloop\nendfacet\n";
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"solid x\n" + facet, "line 9: the text ends before \"endsolid\""},
        {"solid x\n" + facet.substr(0, 40), "line 4: the text ends where a number was expected"},
        {"solid x\nfacet 0 0 1\n", "line 2: expected \"normal\", found \"0\""},
        {"solid x\nfacet normal 0 0 1\nloop\n", "line 3: expected \"outer\""},
        {"solid x\nfacet normal 0 zero 1\n", "\"zero\" is not a number"},
        {"solid x\nfacet normal 0 0 1e999\n", "\"1e999\" is not a number"},
        {"solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\n", "line 6: expected \"vertex\""},
        {"solid x\n" + facet + "endsolid x\ngarbage\n", "line 10: expected \"solid\", found \"garbage\""},
        {"solid x\nvertex 1 2 3\n", "expected \"facet\" or \"endsolid\""},
        {"solid", "ends before \"endsolid\""},
    };
    for (const Case& c : cases) {
        try {
            LoadStl(Bytes(c.text));
            ADD_FAILURE() << c.text << " accepted";
        } catch (const EStlError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("ASCII STL, line ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
    }
    EXPECT_THROW(LoadStl(Bytes("")), EStlError);
    EXPECT_THROW(LoadStl(Bytes("not an stl file")), EStlError);
}

TEST(Stl, NonFiniteVerticesAreSkippedAndBadNormalsRecomputed)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<TCubeFacet> facets = Cube();
    facets[0].Normal = {nan, 0, 0};          // recomputed: (0, 0, -1)
    facets[2].Normal = {0, 0, 0};            // recomputed: (0, 0, 1)
    facets[3].Normal = {0.0f, -0.5f, 0.0f};  // kept as read
    facets[5].B[1] = nan;                    // skipped
    facets[7].C[2] = -inf;                   // skipped
    const auto bytes = BinaryStl("", 12, facets).Data();
    TMemoryStream stream(bytes);
    const TStlMesh mesh = ReadStlBinary(stream);
    EXPECT_EQ(stream.Position(), 684);
    ASSERT_EQ(mesh.Facets.size(), 10u);
    EXPECT_EQ(mesh.SkippedFacets, 2u);
    EXPECT_EQ(mesh.Facets[0].Normal[2], -1.0f);
    EXPECT_EQ(mesh.Facets[0].Normal[0], 0.0f);
    EXPECT_EQ(mesh.Facets[2].Normal[2], 1.0f);
    EXPECT_EQ(mesh.Facets[3].Normal[1], -0.5f);
    EXPECT_EQ(mesh.Facets[5].A[0], Cube()[6].A[0]); // the facet after the skipped one

    // The same in ASCII, where a value beyond the single range is infinite.
    const TStlMesh ascii = ReadStlAscii("solid\nfacet normal nan 0 0 outer loop vertex 0 0 0 vertex 1 0 0 vertex 0 1 0 "
                                        "endloop endfacet facet normal 0 0 1 outer loop vertex 1e39 0 0 vertex 1 0 0 "
                                        "vertex 0 1 0 endloop endfacet endsolid");
    ASSERT_EQ(ascii.Facets.size(), 1u);
    EXPECT_EQ(ascii.SkippedFacets, 1u);
    EXPECT_EQ(ascii.Facets[0].Normal[2], 1.0f);
}

TEST(Stl, WritingGivesTheHeaderCountComputedNormalsAndZeroAttributes)
{
    TStlMesh mesh;
    TStlFacet f;
    f.Normal[0] = 1.0f; // not written: the normal comes from the vertices
    const float a[3] = {1, 2, 3}, b[3] = {1, 2, 7}, c[3] = {1, 5, 3};
    std::copy(a, a + 3, f.A);
    std::copy(b, b + 3, f.B);
    std::copy(c, c + 3, f.C);
    mesh.Facets = {f, f};
    std::swap(mesh.Facets[1].B, mesh.Facets[1].C);

    TMemoryStream stream;
    WriteStlBinary(stream, mesh);
    kbtest::TBytes expected;
    expected.Str("GLScene STL export").Str(std::string(62, '\0')).U32(2);
    expected.F32(-1).F32(0).F32(0).F32(1).F32(2).F32(3).F32(1).F32(2).F32(7).F32(1).F32(5).F32(3).U8(0).U8(0);
    expected.F32(1).F32(0).F32(0).F32(1).F32(2).F32(3).F32(1).F32(5).F32(3).F32(1).F32(2).F32(7).U8(0).U8(0);
    EXPECT_EQ(stream.Data(), expected.Data());

    // A cube is 684 bytes with the count 12 at offset 80.
    TMemoryStream cube;
    WriteStlBinary(cube, ReadStlAscii(AsciiStl(Cube(), "\n")));
    ASSERT_EQ(cube.Size(), 684);
    cube.SetPosition(80);
    EXPECT_EQ(ReadUInt32(cube), 12u);
    cube.SetPosition(0);
    ExpectCube(ReadStlBinary(cube));
}

TEST(Stl, FilesAreReadAndErrorsNameTheFile)
{
    kbtest::TTempDir dir;
    kbtest::WriteFileText(dir.File("cube.stl"), AsciiStl(Cube(), "\r\n"));
    kbtest::WriteFileBytes(dir.File("cube-bin.stl"), BinaryStl("solid", 12, Cube()).Data());
    kbtest::WriteFileBytes(dir.File("cut.stl"), BinaryStl("", 12, {Cube()[0]}).Data());
    ExpectCube(LoadStlFromFile(dir.File("cube.stl")));
    ExpectCube(LoadStlFromFile(dir.File("cube-bin.stl")));
    for (const std::string name : {"cut.stl", "missing.stl"}) {
        try {
            LoadStlFromFile(dir.File(name));
            ADD_FAILURE() << name;
        } catch (const EStlError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
}

}  // namespace stl_test
