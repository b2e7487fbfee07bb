#pragma once
// path_storage: every vertex of every shape read from an SVG file, in order
// of addition, with one command byte per vertex. Vertices live in blocks of
// 256 (AGG's vertex_block_storage), so adding one never moves those already
// stored. Beside AGG's commands the storage knows two of its own that keep
// circles and elliptical arcs whole instead of flattening them:
//
//   path_cmd_circle (8): (cx, cy), then (r, cy)
//   path_cmd_arc    (9): (rx, ry), (x-axis rotation in degrees, the same
//                        again), (large-arc flag, sweep flag) as 0 or 1,
//                        (end x, end y)
//
// Paths are separated by a path_cmd_stop vertex at (0, 0); a close of a
// subpath is the vertex (0, 0) with command 79 (end_poly | close flag).
//
// The current point (what relative coordinates and horizontal or vertical
// lines start from) is SVG's: the last vertex while the last command is a
// vertex command; after a close, the start (move-to) of the subpath that
// was closed; none in an empty storage or at the start of a new path.
//
// Hostile input: the storage refuses to grow past MaxSvgVertices vertices
// with svg_exception, so a path that never ends cannot exhaust memory.
// Index reads outside the storage give path_cmd_stop at (0, 0).

#include <agg_path_storage.h>

#include <cstdint>

// Vertex commands: one byte per vertex.
inline constexpr unsigned path_cmd_stop = 0;
inline constexpr unsigned path_cmd_move_to = 1;
inline constexpr unsigned path_cmd_line_to = 2;
inline constexpr unsigned path_cmd_curve3 = 3;
inline constexpr unsigned path_cmd_curve4 = 4;
inline constexpr unsigned path_cmd_circle = 8;
inline constexpr unsigned path_cmd_arc = 9;
inline constexpr unsigned path_cmd_end_poly = 15;
inline constexpr unsigned path_cmd_mask = 15;
inline constexpr unsigned path_flags_close = 64;

// Commands 1..14 carry a vertex (so circle and arc vertices count).
constexpr bool is_vertex(unsigned cmd) { return cmd >= path_cmd_move_to && cmd < path_cmd_end_poly; }
constexpr bool is_curve(unsigned cmd) { return cmd == path_cmd_curve3 || cmd == path_cmd_curve4; }
constexpr bool is_close(unsigned cmd) { return cmd == (path_cmd_end_poly | path_flags_close); }

// The most vertices one storage holds (about 285 MB of blocks).
inline constexpr unsigned MaxSvgVertices = 1u << 24;

class path_storage {
public:
    path_storage() = default;
    virtual ~path_storage() = default;
    path_storage(const path_storage&) = delete;
    path_storage& operator=(const path_storage&) = delete;

    // Count and iteration position to 0; the blocks are kept for reuse.
    void remove_all();
    // Appends one vertex. Overrides must call this one, which keeps the
    // current-point bookkeeping. Past MaxSvgVertices raises svg_exception
    // "path_storage: Too many vertices".
    virtual void add_vertex(double x, double y, unsigned cmd);

    unsigned total_vertices() const { return m_Vertices.total_vertices(); }
    // The command of vertex idx and its coordinates.
    unsigned vertex(unsigned idx, double* x, double* y) const;
    unsigned command(unsigned idx) const;

    // AGG's vertex-source interface: rewind sets the iteration position to
    // path_id (a vertex index), vertex hands out the vertex there and moves
    // on; past the end it gives path_cmd_stop.
    void rewind(unsigned path_id) { m_Iterator = path_id; }
    unsigned vertex(double* x, double* y);

    // The vertex at count - 1 (count - 2); path_cmd_stop at (0, 0) when
    // there is none.
    unsigned last_vertex(double* x, double* y) const;
    unsigned prev_vertex(double* x, double* y) const;
    unsigned last_command() const;

    // SVG's current point (see the header comment); false when there is
    // none.
    bool current_point(double* x, double* y) const;
    // Adds the current point to (x, y); nothing when there is none.
    void rel_to_abs(double* x, double* y) const;

    void move_to(double x, double y);
    void line_to(double x, double y);
    // Quadratic Bezier: control, end (two vertices of command 3).
    void curve3(double x_ctrl, double y_ctrl, double x_to, double y_to);
    // Smooth quadratic: the control point is implied (see smooth_control).
    void curve3(double x_to, double y_to);
    // The smooth quadratic with its end relative to the current point.
    void curve3_rel(double dx_to, double dy_to);
    // Cubic Bezier: two controls, end (three vertices of command 4).
    void curve4(double x_ctrl1, double y_ctrl1, double x_ctrl2, double y_ctrl2, double x_to, double y_to);
    // Smooth cubic: the first control point is implied.
    void curve4(double x_ctrl2, double y_ctrl2, double x_to, double y_to);
    // The smooth cubic with its second control and end relative to the
    // current point.
    void curve4_rel(double dx_ctrl2, double dy_ctrl2, double dx_to, double dy_to);
    // A whole circle: two vertices of command 8.
    void circle(double cx, double cy, double r);
    // An SVG elliptical arc from the current point: four vertices of
    // command 9. The flags are stored as 0 or 1.
    void arc_to(double rx, double ry, double angle, bool large_arc_flag, bool sweep_flag, double x, double y);
    // The same with the end point relative to the current point.
    void arc_rel(double rx, double ry, double angle, bool large_arc_flag, bool sweep_flag, double dx, double dy);

    // Adds (0, 0) with path_cmd_end_poly | flags when the last command is a
    // vertex command; nothing otherwise (so a second close adds nothing).
    void end_poly(unsigned flags);
    // Adds a path_cmd_stop vertex unless the storage is empty or already
    // ends with one; returns the index the new path's first vertex will get.
    unsigned start_new_path();

    // The control point a smooth curve implies: the reflection of the
    // previous control point about the current point when the last command
    // was a curve (quadratic or cubic), otherwise the current point itself
    // ((0, 0) when there is none).
    void smooth_control(double* x, double* y) const;

private:
    agg::vertex_block_storage<double, 8, 256> m_Vertices;
    unsigned m_Iterator = 0;
    // Index of the move-to that started the current subpath; NoVertex when
    // the current path has none.
    static constexpr unsigned NoVertex = ~0u;
    unsigned m_SubpathStart = NoVertex;
};
