#include "io/svg/SvgPathStorage.h"

#include "io/svg/SvgException.h"

void path_storage::remove_all()
{
    m_Vertices.remove_all();
    m_Iterator = 0;
    m_SubpathStart = NoVertex;
}

void path_storage::add_vertex(double x, double y, unsigned cmd)
{
    const unsigned index = m_Vertices.total_vertices();
    if (index >= MaxSvgVertices)
        throw svg_exception("path_storage: Too many vertices");
    m_Vertices.add_vertex(x, y, cmd);
    if (cmd == path_cmd_move_to)
        m_SubpathStart = index;
    else if (cmd == path_cmd_stop)
        m_SubpathStart = NoVertex;
}

unsigned path_storage::vertex(unsigned idx, double* x, double* y) const
{
    if (idx >= m_Vertices.total_vertices()) {
        *x = 0.0;
        *y = 0.0;
        return path_cmd_stop;
    }
    return m_Vertices.vertex(idx, x, y);
}

unsigned path_storage::command(unsigned idx) const
{
    return idx < m_Vertices.total_vertices() ? m_Vertices.command(idx) : path_cmd_stop;
}

unsigned path_storage::vertex(double* x, double* y)
{
    if (m_Iterator >= m_Vertices.total_vertices()) {
        *x = 0.0;
        *y = 0.0;
        return path_cmd_stop;
    }
    return m_Vertices.vertex(m_Iterator++, x, y);
}

unsigned path_storage::last_vertex(double* x, double* y) const
{
    const unsigned n = m_Vertices.total_vertices();
    if (n == 0) {
        *x = 0.0;
        *y = 0.0;
        return path_cmd_stop;
    }
    return m_Vertices.vertex(n - 1, x, y);
}

unsigned path_storage::prev_vertex(double* x, double* y) const
{
    const unsigned n = m_Vertices.total_vertices();
    if (n < 2) {
        *x = 0.0;
        *y = 0.0;
        return path_cmd_stop;
    }
    return m_Vertices.vertex(n - 2, x, y);
}

unsigned path_storage::last_command() const
{
    const unsigned n = m_Vertices.total_vertices();
    return n ? m_Vertices.command(n - 1) : path_cmd_stop;
}

bool path_storage::current_point(double* x, double* y) const
{
    const unsigned cmd = last_command();
    if (is_vertex(cmd)) {
        last_vertex(x, y);
        return true;
    }
    if (is_close(cmd) && m_SubpathStart != NoVertex) {
        m_Vertices.vertex(m_SubpathStart, x, y);
        return true;
    }
    return false;
}

void path_storage::rel_to_abs(double* x, double* y) const
{
    double x0;
    double y0;
    if (current_point(&x0, &y0)) {
        *x += x0;
        *y += y0;
    }
}

void path_storage::move_to(double x, double y)
{
    add_vertex(x, y, path_cmd_move_to);
}

void path_storage::line_to(double x, double y)
{
    add_vertex(x, y, path_cmd_line_to);
}

void path_storage::curve3(double x_ctrl, double y_ctrl, double x_to, double y_to)
{
    add_vertex(x_ctrl, y_ctrl, path_cmd_curve3);
    add_vertex(x_to, y_to, path_cmd_curve3);
}

void path_storage::smooth_control(double* x, double* y) const
{
    double x0;
    double y0;
    double xp;
    double yp;
    const unsigned last = last_vertex(&x0, &y0);
    const unsigned prev = prev_vertex(&xp, &yp);
    // Only a curve's own end point makes its control point the one to
    // reflect: after "C ... L ..." the line ends the curve run.
    if (is_curve(last) && is_curve(prev)) {
        *x = x0 + x0 - xp;
        *y = y0 + y0 - yp;
        return;
    }
    if (!current_point(x, y)) {
        *x = 0.0;
        *y = 0.0;
    }
}

void path_storage::curve3(double x_to, double y_to)
{
    double x_ctrl;
    double y_ctrl;
    smooth_control(&x_ctrl, &y_ctrl);
    curve3(x_ctrl, y_ctrl, x_to, y_to);
}

void path_storage::curve3_rel(double dx_to, double dy_to)
{
    rel_to_abs(&dx_to, &dy_to);
    curve3(dx_to, dy_to);
}

void path_storage::curve4(double x_ctrl1, double y_ctrl1, double x_ctrl2, double y_ctrl2, double x_to, double y_to)
{
    add_vertex(x_ctrl1, y_ctrl1, path_cmd_curve4);
    add_vertex(x_ctrl2, y_ctrl2, path_cmd_curve4);
    add_vertex(x_to, y_to, path_cmd_curve4);
}

void path_storage::curve4(double x_ctrl2, double y_ctrl2, double x_to, double y_to)
{
    double x_ctrl1;
    double y_ctrl1;
    smooth_control(&x_ctrl1, &y_ctrl1);
    curve4(x_ctrl1, y_ctrl1, x_ctrl2, y_ctrl2, x_to, y_to);
}

void path_storage::curve4_rel(double dx_ctrl2, double dy_ctrl2, double dx_to, double dy_to)
{
    rel_to_abs(&dx_ctrl2, &dy_ctrl2);
    rel_to_abs(&dx_to, &dy_to);
    curve4(dx_ctrl2, dy_ctrl2, dx_to, dy_to);
}

void path_storage::circle(double cx, double cy, double r)
{
    add_vertex(cx, cy, path_cmd_circle);
    add_vertex(r, cy, path_cmd_circle);
}

void path_storage::arc_to(double rx, double ry, double angle, bool large_arc_flag, bool sweep_flag, double x, double y)
{
    add_vertex(rx, ry, path_cmd_arc);
    add_vertex(angle, angle, path_cmd_arc);
    add_vertex(large_arc_flag ? 1.0 : 0.0, sweep_flag ? 1.0 : 0.0, path_cmd_arc);
    add_vertex(x, y, path_cmd_arc);
}

void path_storage::arc_rel(double rx, double ry, double angle, bool large_arc_flag, bool sweep_flag, double dx,
                           double dy)
{
    rel_to_abs(&dx, &dy);
    arc_to(rx, ry, angle, large_arc_flag, sweep_flag, dx, dy);
}

void path_storage::end_poly(unsigned flags)
{
    if (is_vertex(last_command()))
        add_vertex(0.0, 0.0, path_cmd_end_poly | flags);
}

unsigned path_storage::start_new_path()
{
    if (total_vertices() != 0 && last_command() != path_cmd_stop)
        add_vertex(0.0, 0.0, path_cmd_stop);
    return total_vertices();
}
