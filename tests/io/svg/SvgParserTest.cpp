// The SVG parser: elements, styles, colours and transforms into the path
// renderer, and its errors on damaged and hostile documents.

#include "io/svg/SvgColorNames.h"
#include "io/svg/SvgException.h"
#include "io/svg/SvgParser.h"
#include "io/svg/SvgPathRenderer.h"
#include "tests/io/SvgTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace svg_parser_test {

using namespace kbtest;

namespace {

constexpr unsigned M = path_cmd_move_to;
constexpr unsigned L = path_cmd_line_to;
constexpr unsigned Z = path_cmd_end_poly | path_flags_close;
constexpr unsigned S = path_cmd_stop;

// Parses a document into renderer; returns the error text, empty when none.
std::string Parse(path_renderer& renderer, const std::string& document)
{
    svg_parser parser(renderer);
    try {
        parser.parse_buffer(document);
    } catch (const svg_exception& e) {
        return e.what();
    }
    return {};
}

struct TRgba {
    int R;
    int G;
    int B;
    int A;
    bool operator==(const TRgba&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TRgba& c)
{
    return os << "(" << c.R << ", " << c.G << ", " << c.B << ", " << c.A << ")";
}

TRgba Rgba(const agg::rgba8& c) { return {c.r, c.g, c.b, c.a}; }

// Where the transform of shape i puts (x, y).
std::pair<double, double> Apply(const path_renderer& renderer, unsigned i, double x, double y)
{
    renderer.attribute(i).Transform.transform(&x, &y);
    return {x, y};
}

} // namespace

TEST(SvgParser, ShapeElementsBecomePaths)
{
    path_renderer renderer;
    ASSERT_EQ(Parse(renderer, SvgDocument(R"svg(<rect x="1" y="2" width="3" height="4" rx="9"/>
        <line x1="1" y1="2" x2="3" y2="4"/>
        <polyline points="0,0 1,1 2,0"/>
        <polygon points="0 0 1 1"/>
        <path d="M5 5 L6 6"/><path d="M7 7 L8 8"/>
        <circle cx="1" cy="2" r="-2"/>
        <ellipse cx="1" cy="1" rx="2" ry="3"/><text>ignored</text>)svg")),
              "");
    const std::vector<TSvgVertex> expected = {
        {M, 1, 2}, {L, 4, 2}, {L, 4, 6}, {L, 1, 6}, {Z, 0, 0}, {S, 0, 0}, // rect
        {M, 1, 2}, {L, 3, 4}, {S, 0, 0},                                  // line
        {M, 0, 0}, {L, 1, 1}, {L, 2, 0}, {S, 0, 0},                       // polyline
        {M, 0, 0}, {L, 1, 1}, {Z, 0, 0}, {S, 0, 0},                       // polygon
        {M, 5, 5}, {L, 6, 6}, {S, 0, 0},                                  // path
        {M, 7, 7}, {L, 8, 8}, {S, 0, 0},                                  // path after a path
        {M, -1, 0}, {path_cmd_circle, 1, 2}, {path_cmd_circle, -2, 2}, {Z, 0, 0}, // circle
    };
    EXPECT_EQ(StoredVertices(renderer.storage()), expected);
    ASSERT_EQ(renderer.attribute_count(), 7u);
    const unsigned firsts[] = {0, 6, 9, 13, 17, 20, 23};
    for (unsigned i = 0; i < 7; ++i)
        EXPECT_EQ(renderer.attribute(i).Index, firsts[i]) << i;
}

TEST(SvgParser, ShapeErrors)
{
    const struct {
        const char* Body;
        const char* Error;
    } cases[] = {
        {R"(<path d="M0 0"><path d="M1 1"/></path>)", "start_element: Nested path"},
        {R"(<rect width="-1" height="5"/>)", "parse_rect: Invalid width: "},
        {R"(<rect width="1" height="-5"/>)", "parse_rect: Invalid height: "},
        {R"(<rect width="-1" height="-5"/>)", "parse_rect: Invalid width: "},
        {R"(<polyline points="1 2 3"/>)", "parse_poly: Odd number of coordinates"},
        {R"(<polygon points="1"/>)", "parse_poly: Too few coordinates"},
        {R"(<polygon points="1 2 L 3 4"/>)", "path_tokenizer::next : Invalid Character L"},
        {R"(<path d="M0 0 F1"/>)", "parse_path: Invalid Command F"},
        {R"svg(<g transform="matrix(1 2 3 4 5)"/>)svg", "parse_matrix: Invalid number of arguments"},
        {R"svg(<g transform="rotate(1,2)"/>)svg", "parse_rotate: Invalid number of arguments"},
        {R"svg(<g transform="translate(1,2,3)"/>)svg", "parse_transform_args: Too many arguments"},
        {R"(<g transform="rotate 90"/>)", "parse_transform_args: Invalid syntax"},
    };
    for (const auto& c : cases) {
        path_renderer renderer;
        EXPECT_EQ(Parse(renderer, SvgDocument(c.Body)), c.Error) << c.Body;
    }

    // A zero-sized rectangle is a shape without vertices.
    path_renderer renderer;
    ASSERT_EQ(Parse(renderer, SvgDocument(R"(<rect width="0" height="5"/>)")), "");
    EXPECT_EQ(renderer.attribute_count(), 1u);
    EXPECT_EQ(renderer.storage().total_vertices(), 0u);

    // So is a circle of radius zero; the shapes after it are read.
    path_renderer circle;
    ASSERT_EQ(Parse(circle, SvgDocument(R"(<line x2="1"/><circle cx="4" r="0"/><line x2="2"/>)")), "");
    const std::vector<TSvgVertex> lines = {{M, 0, 0}, {L, 1, 0}, {S, 0, 0}, {M, 0, 0}, {L, 2, 0}};
    EXPECT_EQ(StoredVertices(circle.storage()), lines);
    ASSERT_EQ(circle.attribute_count(), 3u);
    EXPECT_EQ(circle.attribute(1).Index, 3u);
    EXPECT_EQ(circle.attribute(2).Index, 3u);
}

TEST(SvgParser, GroupsAndStylesSetTheAttributes)
{
    path_renderer renderer;
    ASSERT_EQ(Parse(renderer, SvgDocument(R"svg(
        <g fill="red" stroke="blue" stroke-width="2"><path d="M0 0 L1 1"/>
          <path d="M0 0 L1 1" style="fill: #00ff00 ; stroke:none;stroke-linecap : round;;"/></g>
        <path d="M0 0 L1 1" stroke-linejoin="bevel" stroke-linecap="nonsense" stroke-miterlimit="7"
              fill-opacity="0.5" stroke-opacity="2" fill="none"/>)svg")),
              "");
    ASSERT_EQ(renderer.attribute_count(), 3u);
    const path_attributes& inGroup = renderer.attribute(0);
    EXPECT_EQ(Rgba(inGroup.FillColor), (TRgba{255, 0, 0, 255}));
    EXPECT_EQ(Rgba(inGroup.StrokeColor), (TRgba{0, 0, 255, 255}));
    EXPECT_TRUE(inGroup.StrokeFlag);
    EXPECT_EQ(inGroup.StrokeWidth, 2.0);

    const path_attributes& styled = renderer.attribute(1);
    EXPECT_EQ(Rgba(styled.FillColor), (TRgba{0, 255, 0, 255}));
    EXPECT_FALSE(styled.StrokeFlag);
    EXPECT_EQ(styled.LineCap, 2);

    // After the group's end tag its style is gone.
    const path_attributes& after = renderer.attribute(2);
    EXPECT_FALSE(after.FillFlag);
    EXPECT_EQ(after.FillColor.r, 0);
    EXPECT_EQ(after.FillColor.a, 128);
    EXPECT_EQ(after.StrokeColor.a, 255);
    EXPECT_FALSE(after.StrokeFlag);
    EXPECT_EQ(after.LineJoin, 3);
    EXPECT_EQ(after.LineCap, 0);
    EXPECT_EQ(after.MiterLimit, 7.0);
}

TEST(SvgParser, ReadsColours)
{
    const struct {
        const char* Text;
        TRgba Expected;
    } cases[] = {
        {"#00ff00", {0, 255, 0, 255}},
        {"  #A0b1C2", {160, 177, 194, 255}},
        // The short form doubles each digit.
        {"#fff", {255, 255, 255, 255}},
        {"#f80", {255, 136, 0, 255}},
        {"#12345", {1, 35, 69, 255}},
        {"#12g456", {0, 0, 0, 255}},
        {"rgb(10, 20, 30)", {10, 20, 30, 255}},
        {"rgb(10,20,30)", {10, 20, 30, 255}},
        {"rgb(100%, 0%, 50%)", {255, 0, 128, 255}},
        {"rgb(300, 12.7, )", {255, 12, 0, 255}},
        {"red", {255, 0, 0, 255}},
        {"yellowgreen", {154, 205, 50, 255}},
        // Unknown names and other cases give the first keyword.
        {"foo", {240, 248, 255, 255}},
        {"Red", {240, 248, 255, 255}},
        {"", {240, 248, 255, 255}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rgba(svg_parser::parse_color(c.Text)), c.Expected) << c.Text;
}

TEST(SvgParser, ColourKeywordsAreSvgs)
{
    const auto colors = SvgColorNames();
    ASSERT_EQ(colors.size(), 148u);
    EXPECT_STREQ(colors.back().Name, "zzzzzzzzzzz");
    EXPECT_EQ(colors.back().A, 0);
    // Qt knows the same keywords: an independent table to check ours by.
    for (size_t i = 0; i + 1 < colors.size(); ++i) {
        const QColor qt = QColor::fromString(QString::fromLatin1(colors[i].Name));
        ASSERT_TRUE(qt.isValid()) << colors[i].Name;
        EXPECT_EQ((TRgba{colors[i].R, colors[i].G, colors[i].B, colors[i].A}),
                  (TRgba{qt.red(), qt.green(), qt.blue(), 255}))
            << colors[i].Name;
        if (i > 0) {
            EXPECT_LT(std::string_view(colors[i - 1].Name), std::string_view(colors[i].Name));
        }
    }
}

TEST(SvgParser, TransformsComposeRightToLeft)
{
    const struct {
        const char* Transform;
        double X;
        double Y;
        double ExpectedX;
        double ExpectedY;
    } cases[] = {
        {"translate(5)", 1, 1, 6, 1},
        {"translate(10,20) scale(2)", 1, 1, 12, 22},
        {"scale(2) translate(10,20)", 1, 1, 22, 42},
        {"scale(2,3)", 1, 1, 2, 3},
        {"scale()", 1, 1, 1, 1},
        {"rotate(90)", 1, 0, 0, 1},
        {"rotate(90 0 0)", 1, 0, 0, 1},
        {"rotate(90, 10, 10)", 10, 0, 20, 10},
        {"matrix(1 2 3 4 5 6)", 1, 1, 9, 12},
        {"skewX(45)", 0, 2, 2, 2},
        {"skewY(45)", 2, 0, 2, 2},
        {"  unknown(3) translate( 1e1 , -2.5e0 )", 0, 0, 10, -2.5},
    };
    for (const auto& c : cases) {
        path_renderer renderer;
        ASSERT_EQ(Parse(renderer, SvgDocument(std::string("<path d=\"M0 0\" transform=\"") + c.Transform + "\"/>")),
                  "")
            << c.Transform;
        const auto [x, y] = Apply(renderer, 0, c.X, c.Y);
        EXPECT_NEAR(x, c.ExpectedX, 1e-12) << c.Transform;
        EXPECT_NEAR(y, c.ExpectedY, 1e-12) << c.Transform;
    }

    // Nested groups: the inner transform acts first.
    path_renderer renderer;
    ASSERT_EQ(Parse(renderer, SvgDocument(R"svg(<g transform="translate(10,0)"><g transform="scale(2)">
        <rect width="1" height="1" transform="rotate(90)"/></g><line/></g><line/>)svg")),
              "");
    auto [x, y] = Apply(renderer, 0, 1, 0);
    EXPECT_NEAR(x, 10, 1e-12);
    EXPECT_NEAR(y, 2, 1e-12);
    std::tie(x, y) = Apply(renderer, 1, 1, 0);
    EXPECT_EQ(x, 11);
    std::tie(x, y) = Apply(renderer, 2, 1, 0);
    EXPECT_EQ(x, 1);
}

TEST(SvgParser, KeepsTheTitle)
{
    path_renderer renderer;
    svg_parser parser(renderer);
    parser.parse_buffer(SvgDocument("<title>a\tb&#10;" + std::string(300, 'x') + "</title>"));
    ASSERT_EQ(parser.title().size(), 255u);
    EXPECT_EQ(parser.title().substr(0, 5), "a b x");
}

TEST(SvgParser, ReportsDamagedDocuments)
{
    const struct {
        std::string Document;
        const char* Error;
    } cases[] = {
        {"", "no element found at line 1\r"},
        {"<svg><path d='M0 0'/>", "no element found at line 1\r"},
        {"<svg>\n<g></svg>", "mismatched tag at line 2\r"},
        {"<svg><path d='M0 0' d='M1 1'/></svg>", "duplicate attribute at line 1\r"},
        {"\x89PNG\r\n\x1a\n", "not well-formed (invalid token) at line 1\r"},
    };
    for (const auto& c : cases) {
        path_renderer renderer;
        EXPECT_EQ(Parse(renderer, c.Document), c.Error) << c.Document;
    }

    path_renderer renderer;
    svg_parser parser(renderer);
    EXPECT_THROW(
        {
            try {
                parser.parse("/nonexistent/folder/x.svg");
            } catch (const Esvg_exception& e) {
                EXPECT_STREQ(e.what(), "Couldn't open file /nonexistent/folder/x.svg");
                throw;
            }
        },
        Esvg_exception);
}

TEST(SvgParser, StopsAtTheFirstErrorKeepingEarlierShapes)
{
    path_renderer renderer;
    // The error lies in the second block of 512 bytes; the shapes before it
    // stay, none after it is read.
    const std::string body =
        "<line x2=\"1\"/>" + std::string(600, ' ') + "<rect width=\"-1\" height=\"5\"/><line x2=\"2\"/>";
    EXPECT_EQ(Parse(renderer, SvgDocument(body)), "parse_rect: Invalid width: ");
    EXPECT_EQ(renderer.attribute_count(), 2u);
    EXPECT_EQ(renderer.storage().total_vertices(), 3u);
}

TEST(SvgParser, RefusesHostileDocuments)
{
    // Entities that expand to a billion copies.
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY l0 \"lollollollollollollollollollol\">";
    for (int i = 1; i < 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]><svg><path d=\"&l9;\"/></svg>";

    std::string manyEntities = "<?xml version=\"1.0\"?><!DOCTYPE svg [";
    for (unsigned i = 0; i <= MaxSvgEntityDecls; ++i)
        manyEntities += "<!ENTITY e" + std::to_string(i) + " \"x\">";
    manyEntities += "]><svg/>";

    std::string deep = "<svg>";
    for (unsigned i = 0; i < MaxSvgAttrDepth + 1; ++i)
        deep += "<g>";

    const struct {
        const char* Name;
        std::string Document;
        const char* Error;
    } cases[] = {
        {"billion laughs", laughs,
         "limit on input amplification factor (from DTD and entities) breached at line 1\r"},
        {"entity declarations", manyEntities, "parse: Too many entity declarations"},
        {"deep groups", deep, "push_attr : Attribute stack is too deep"},
    };
    for (const auto& c : cases) {
        path_renderer renderer;
        EXPECT_EQ(Parse(renderer, c.Document), c.Error) << c.Name;
    }

    // A few entities, as some editors declare them, are fine; an external
    // one is never loaded.
    path_renderer renderer;
    EXPECT_EQ(Parse(renderer, "<!DOCTYPE svg [<!ENTITY ns \"M0 0 L1 1\"><!ENTITY ext SYSTEM \"/etc/passwd\">]>"
                              "<svg><path d=\"&ns;\"/><title>&ext;</title></svg>"),
              "");
    EXPECT_EQ(renderer.storage().total_vertices(), 2u);
}

TEST(SvgParser, ReadsFilesInBlocks)
{
    TTempDir dir;
    const std::string file = dir.File("shapes.svg");
    std::string body;
    for (int i = 0; i < 100; ++i)
        body += "<line x1=\"" + std::to_string(i) + "\" x2=\"1\"/>\n";
    WriteFileText(file, SvgDocument(body));
    path_renderer renderer;
    svg_parser parser(renderer);
    parser.parse(file);
    ASSERT_EQ(renderer.attribute_count(), 100u);
    double x = 0;
    double y = 0;
    renderer.storage().vertex(renderer.attribute(99).Index, &x, &y);
    EXPECT_EQ(x, 99.0);
}

}  // namespace svg_parser_test
