#pragma once
// path_renderer: what the SVG parser fills and the SVG import reads. It
// holds the path storage with the vertices of every shape, one attribute
// record per shape (its style and transform, in shape order) and the
// attribute stack of the groups being read, and it interprets SVG path
// data (parse_path).
//
// Path data follows SVG's rules: lower-case commands are relative to the
// current point (path_storage); numbers after a complete group repeat the
// command, except that pairs after a move-to are line-tos (relative after
// "m"); arc flags may be written without separators. A horizontal or
// vertical line without a current point adds nothing.
//
// Errors raise svg_exception or Esvg_exception with the messages given at
// each call; what was stored before an error stays. Hostile input is bounded:
// at most MaxSvgAttrDepth nested groups and MaxSvgPaths shapes.

#include "io/svg/SvgPathStorage.h"

#include <agg_array.h>
#include <agg_color_rgba.h>
#include <agg_trans_affine.h>

#include <cstdint>

class path_tokenizer;

// The deepest attribute stack (nested groups plus the shape being read).
inline constexpr unsigned MaxSvgAttrDepth = 1024;
// The most shapes (attribute records) one renderer holds.
inline constexpr unsigned MaxSvgPaths = 1u << 22;

// The style of one shape. The defaults are SVG's initial values.
struct path_attributes {
    // Vertex index of the shape's first vertex in the storage.
    unsigned Index = 0;
    agg::rgba8 FillColor{0, 0, 0, 255};
    agg::rgba8 StrokeColor{0, 0, 0, 255};
    bool FillFlag = true;
    bool StrokeFlag = false;
    bool EvenOddFlag = false;
    int32_t LineJoin = 0; // 0 miter, 2 round, 3 bevel
    int32_t LineCap = 0;  // 0 butt, 1 square, 2 round
    double MiterLimit = 4.0;
    double StrokeWidth = 1.0;
    agg::trans_affine Transform;
};

class path_renderer {
public:
    path_renderer() = default;
    path_renderer(const path_renderer&) = delete;
    path_renderer& operator=(const path_renderer&) = delete;

    // Empties storage, records and stack.
    void remove_all();

    // push_attr, then a new path in the storage and a copy of the current
    // record stored for it, its Index the new path's first vertex. More than
    // MaxSvgPaths shapes raise svg_exception "begin_path : Too many paths".
    void begin_path();
    // Stores the current record over the shape's record (keeping its Index),
    // then pop_attr. Without any shape: svg_exception "end_path : The path
    // was not begun".
    void end_path();

    // Pushes a copy of the top record, or a default one on an empty stack.
    // A stack of MaxSvgAttrDepth raises svg_exception "push_attr : Attribute
    // stack is too deep".
    void push_attr();
    // svg_exception "pop_attr : Attribute stack is empty" on an empty stack.
    void pop_attr();
    // The top record; svg_exception "cur_attr : Attribute stack is empty" on
    // an empty stack.
    path_attributes& cur_attr();

    // Setters on cur_attr.
    void fill(const agg::rgba8& color);   // also sets the fill flag
    void stroke(const agg::rgba8& color); // also sets the stroke flag
    void fill_none();
    void stroke_none();
    void fill_opacity(double opacity);
    void stroke_opacity(double opacity);
    void stroke_width(double width); // also sets the stroke flag
    void line_join(int32_t join);
    void line_cap(int32_t cap);
    void miter_limit(double limit);
    agg::trans_affine& transform();

    // Path commands; rel: the points are relative to the current point.
    void move_to(double x, double y, bool rel = false);
    void line_to(double x, double y, bool rel = false);
    void hline_to(double x, bool rel = false);
    void vline_to(double y, bool rel = false);
    void curve3(double x1, double y1, double x, double y, bool rel = false);
    void curve3(double x, double y, bool rel = false);
    void curve4(double x1, double y1, double x2, double y2, double x, double y, bool rel = false);
    void curve4(double x2, double y2, double x, double y, bool rel = false);
    // Only the end point is ever relative.
    void arc_to(double rx, double ry, double angle, bool large_arc_flag, bool sweep_flag, double x, double y,
                bool rel = false);
    void circle(double cx, double cy, double r);
    void close_subpath();

    // Interprets the tokenizer's path data into the storage. An unknown
    // command letter raises Esvg_exception "parse_path: Invalid Command %c";
    // numbers after "z" raise "parse_path: Command z: bad or missing
    // parameters"; the tokenizer raises its own errors.
    void parse_path(path_tokenizer& tok);

    unsigned attribute_count() const { return m_AttrStorage.size(); }
    const path_attributes& attribute(unsigned i) const { return m_AttrStorage[i]; }
    // Makes record i's transform the current transform and returns its Index.
    unsigned operator[](unsigned i);
    const agg::trans_affine& current_transform() const { return m_Transform; }

    path_storage& storage() { return m_Storage; }
    const path_storage& storage() const { return m_Storage; }

private:
    path_storage m_Storage;
    agg::pod_bvector<path_attributes, 6> m_AttrStorage;
    agg::pod_bvector<path_attributes, 6> m_AttrStack;
    agg::trans_affine m_Transform;
};
