// Path data: the tokenizer's grammar and the renderer's interpretation of
// every command into stored vertices.

#include "io/svg/SvgException.h"
#include "io/svg/SvgPathRenderer.h"
#include "io/svg/SvgPathTokenizer.h"
#include "tests/io/SvgTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <variant>
#include <vector>

namespace svg_path_data_test {

using namespace kbtest;

namespace {

constexpr unsigned M = path_cmd_move_to;
constexpr unsigned L = path_cmd_line_to;
constexpr unsigned Q = path_cmd_curve3;
constexpr unsigned C = path_cmd_curve4;
constexpr unsigned A = path_cmd_arc;
constexpr unsigned Z = path_cmd_end_poly | path_flags_close;

// A token: a command letter or a number.
using TToken = std::variant<char, double>;

std::vector<TToken> Tokens(std::string_view data)
{
    path_tokenizer tok;
    tok.set_path_str(data);
    std::vector<TToken> tokens;
    while (tok.next()) {
        if (tok.last_is_command())
            tokens.emplace_back(tok.last_command());
        else
            tokens.emplace_back(tok.last_number());
    }
    return tokens;
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const svg_exception& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(SvgPathTokenizer, SplitsByTheGrammar)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* Data;
        std::vector<TToken> Expected;
    } cases[] = {
        // No separators: a sign or a second point starts the next number.
        {"M1-2.5.5", {'M', 1.0, -2.5, 0.5}},
        {"m 1e2,3E-1", {'m', 100.0, 0.3}},
        {"L+4 -.5e+1", {'L', 4.0, -5.0}},
        {"z\t\r\n\fM1.,2", {'z', 'M', 1.0, 2.0}},
        {"C0 0 0 0 0 0z", {'C', 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 'z'}},
        // F and P pass here; the interpreter refuses them.
        {"F1P", {'F', 1.0, 'P'}},
        // Beyond a double: an infinity of its sign, or 0.
        {"M1e999-1e999 1e-999 000.000e99999", {'M', inf, -inf, 0.0, 0.0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.Data), c.Expected) << c.Data;
}

TEST(SvgPathTokenizer, RefusesWhatTheGrammarDoesNotHave)
{
    const struct {
        const char* Data;
        const char* Error;
    } cases[] = {
        {"M 0 0 X 1", "path_tokenizer::next : Invalid Character X"},
        {"M 1e", "path_tokenizer::next : Invalid Character e"},
        {"M - 1", "path_tokenizer::next : Invalid Character -"},
        {"M . 1", "path_tokenizer::next : Invalid Character ."},
        {"10 10", "path_tokenizer::next : Invalid Character 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf([&] { Tokens(c.Data); }), c.Error) << c.Data;
}

TEST(SvgPathRenderer, StoresEveryCommand)
{
    const struct {
        const char* Data;
        std::vector<TSvgVertex> Expected;
    } cases[] = {
        {"M 10 10 L 20 10 z m 5 5 l 1 0", {{M, 10, 10}, {L, 20, 10}, {Z, 0, 0}, {M, 15, 15}, {L, 16, 15}}},
        {"M 0 0 a 5 5 0 0 1 10 0", {{M, 0, 0}, {A, 5, 5}, {A, 0, 0}, {A, 0, 1}, {A, 10, 0}}},
        {"M1 2 H5 V7 h-1 v-2", {{M, 1, 2}, {L, 5, 2}, {L, 5, 7}, {L, 4, 7}, {L, 4, 5}}},
        {"M0 0 Q1 2 3 4", {{M, 0, 0}, {Q, 1, 2}, {Q, 3, 4}}},
        {"M0 0 C1 1 2 2 3 3 S 5 5 6 6",
         {{M, 0, 0}, {C, 1, 1}, {C, 2, 2}, {C, 3, 3}, {C, 4, 4}, {C, 5, 5}, {C, 6, 6}}},
        // Smooth forms: a quadratic after a cubic reflects its second
        // control point; after a line there is nothing to reflect.
        {"M0 0 C1 1 2 2 3 3 T5 5", {{M, 0, 0}, {C, 1, 1}, {C, 2, 2}, {C, 3, 3}, {Q, 4, 4}, {Q, 5, 5}}},
        {"M0 0 Q1 1 2 0 T4 0", {{M, 0, 0}, {Q, 1, 1}, {Q, 2, 0}, {Q, 3, -1}, {Q, 4, 0}}},
        {"M0 0 C1 1 2 2 3 3 L4 4 S6 6 7 7",
         {{M, 0, 0}, {C, 1, 1}, {C, 2, 2}, {C, 3, 3}, {L, 4, 4}, {C, 4, 4}, {C, 6, 6}, {C, 7, 7}}},
        {"M2 2 T4 0", {{M, 2, 2}, {Q, 2, 2}, {Q, 4, 0}}},
        // Every relative form offsets by the point before the command.
        {"m1 1 l2 0 q1 1 2 0 c1 1 2 1 3 0 s1 -1 2 0 t2 0 a1 1 0 0 0 2 0",
         {{M, 1, 1}, {L, 3, 1}, {Q, 4, 2}, {Q, 5, 1}, {C, 6, 2}, {C, 7, 2}, {C, 8, 1}, {C, 9, 0},
          {C, 9, 0}, {C, 10, 1}, {Q, 11, 2}, {Q, 12, 1}, {A, 1, 1}, {A, 0, 0}, {A, 0, 0}, {A, 14, 1}}},
        // Implicit repeats; pairs after a move are lines.
        {"M0 0 10 10 20 0", {{M, 0, 0}, {L, 10, 10}, {L, 20, 0}}},
        {"m1 1 2 2", {{M, 1, 1}, {L, 3, 3}}},
        {"M0 0 h1 2 V3 4", {{M, 0, 0}, {L, 1, 0}, {L, 3, 0}, {L, 3, 3}, {L, 3, 4}}},
        {"M0 0 c1 0 1 0 1 0 1 0 1 0 1 0", {{M, 0, 0}, {C, 1, 0}, {C, 1, 0}, {C, 1, 0}, {C, 2, 0}, {C, 2, 0}, {C, 2, 0}}},
        {"M0 0 A1 2 30 1 0 5 5 1 1 0 0 1 6 6",
         {{M, 0, 0}, {A, 1, 2}, {A, 30, 30}, {A, 1, 0}, {A, 5, 5}, {A, 1, 1}, {A, 0, 0}, {A, 0, 1}, {A, 6, 6}}},
        // Arc flags may touch what follows them.
        {"M0 0 a5 5 0 015 5", {{M, 0, 0}, {A, 5, 5}, {A, 0, 0}, {A, 0, 1}, {A, 5, 5}}},
        // No separators, exponents.
        {"M1-2.5.5.5", {{M, 1, -2.5}, {L, 0.5, 0.5}}},
        {"M1e1-1E-1", {{M, 10, -0.1}}},
        // After a close the current point is the subpath's start.
        {"M1 1 L5 1 z l2 2", {{M, 1, 1}, {L, 5, 1}, {Z, 0, 0}, {L, 3, 3}}},
        {"M5 5 L6 6 z H10", {{M, 5, 5}, {L, 6, 6}, {Z, 0, 0}, {L, 10, 5}}},
        // A second close adds nothing.
        {"M0 0 L1 0 z z", {{M, 0, 0}, {L, 1, 0}, {Z, 0, 0}}},
        // Without a current point: relative points stay as they are, and
        // horizontal or vertical lines add nothing.
        {"l2 3 H4", {{L, 2, 3}, {L, 4, 3}}},
        {"H4 v1", {}},
    };
    for (const auto& c : cases) {
        path_renderer renderer;
        ParsePathData(renderer, c.Data);
        EXPECT_EQ(StoredVertices(renderer.storage()), c.Expected) << c.Data;
    }
}

TEST(SvgPathRenderer, RefusesBadPathDataKeepingWhatCameBefore)
{
    const struct {
        const char* Data;
        const char* Error;
        unsigned Kept;
    } cases[] = {
        {"M 0 0 F 1", "parse_path: Invalid Command F", 1},
        {"M 0 0 L 1 1 P", "parse_path: Invalid Command P", 2},
        {"M 0 0 X 1", "path_tokenizer::next : Invalid Character X", 1},
        {"M 0", "parse_path: Unexpected end of path", 0},
        {"M 0 L 1 1", "parse_path: Command M: bad or missing parameters", 0},
        {"M0 0 C1 1 2 2 3", "parse_path: Unexpected end of path", 1},
        {"M0 0 A1 1 0 1 z", "parse_path: Command A: bad or missing parameters", 1},
        {"M0 0 z 5 5", "parse_path: Command z: bad or missing parameters", 2},
    };
    for (const auto& c : cases) {
        path_renderer renderer;
        EXPECT_EQ(ErrorOf([&] { ParsePathData(renderer, c.Data); }), c.Error) << c.Data;
        EXPECT_EQ(renderer.storage().total_vertices(), c.Kept) << c.Data;
    }
}

TEST(SvgPathRenderer, AttributeRecordsFollowTheStack)
{
    path_renderer renderer;
    EXPECT_EQ(ErrorOf([&] { renderer.end_path(); }), "end_path : The path was not begun");
    EXPECT_EQ(ErrorOf([&] { renderer.pop_attr(); }), "pop_attr : Attribute stack is empty");
    EXPECT_EQ(ErrorOf([&] { renderer.cur_attr(); }), "cur_attr : Attribute stack is empty");

    // A group's style reaches its shapes; a shape's own change stays its own.
    renderer.push_attr();
    renderer.fill(agg::rgba8(255, 0, 0));
    renderer.begin_path();
    ParsePathData(renderer, "M0 0 L1 1");
    renderer.stroke_width(3.0);
    renderer.end_path();
    renderer.begin_path(); // adds no vertex
    renderer.end_path();
    renderer.begin_path();
    ParsePathData(renderer, "M2 2 L3 3");
    renderer.end_path();
    renderer.pop_attr();

    ASSERT_EQ(renderer.attribute_count(), 3u);
    EXPECT_EQ(renderer.attribute(0).Index, 0u);
    EXPECT_EQ(renderer.attribute(0).FillColor.r, 255);
    EXPECT_TRUE(renderer.attribute(0).StrokeFlag);
    EXPECT_EQ(renderer.attribute(0).StrokeWidth, 3.0);
    // The empty shape shares its first index with the next one, after the
    // separating stop vertex.
    EXPECT_EQ(renderer.attribute(1).Index, 3u);
    EXPECT_EQ(renderer.attribute(2).Index, 3u);
    EXPECT_FALSE(renderer.attribute(2).StrokeFlag);
    EXPECT_EQ(renderer.attribute(2).FillColor.r, 255);
    EXPECT_EQ(renderer.storage().command(2), path_cmd_stop);
    // Indexing a shape makes its transform the current one.
    renderer.push_attr();
    renderer.transform() = agg::trans_affine_translation(4, 5);
    renderer.begin_path();
    renderer.end_path();
    renderer.pop_attr();
    EXPECT_EQ(renderer[3], 6u);
    EXPECT_EQ(renderer.current_transform().tx, 4.0);
    EXPECT_EQ(renderer[0], 0u);
    EXPECT_EQ(renderer.current_transform().tx, 0.0);
    EXPECT_EQ(ErrorOf([&] { renderer.pop_attr(); }), "pop_attr : Attribute stack is empty");
}

TEST(SvgPathRenderer, BoundsTheAttributeStack)
{
    path_renderer renderer;
    for (unsigned i = 0; i < MaxSvgAttrDepth; ++i)
        renderer.push_attr();
    EXPECT_EQ(ErrorOf([&] { renderer.push_attr(); }), "push_attr : Attribute stack is too deep");
    EXPECT_EQ(ErrorOf([&] { renderer.begin_path(); }), "push_attr : Attribute stack is too deep");
}

TEST(SvgPathStorage, ReadsOutsideTheStorageGiveStop)
{
    path_storage storage;
    double x = 1.0;
    double y = 1.0;
    EXPECT_EQ(storage.last_vertex(&x, &y), path_cmd_stop);
    EXPECT_EQ(storage.vertex(7, &x, &y), path_cmd_stop);
    EXPECT_EQ(x, 0.0);
    storage.move_to(1, 2);
    EXPECT_EQ(storage.prev_vertex(&x, &y), path_cmd_stop);
    storage.line_to(3, 4);
    EXPECT_EQ(storage.start_new_path(), 3u);
    EXPECT_EQ(storage.start_new_path(), 3u);
    // As a vertex source: every vertex once, then stop.
    storage.rewind(1);
    EXPECT_EQ(storage.vertex(&x, &y), path_cmd_line_to);
    EXPECT_EQ(x, 3.0);
    EXPECT_EQ(storage.vertex(&x, &y), path_cmd_stop);
    EXPECT_EQ(storage.vertex(&x, &y), path_cmd_stop);
    EXPECT_EQ(storage.total_vertices(), 3u);
}

}  // namespace svg_path_data_test
