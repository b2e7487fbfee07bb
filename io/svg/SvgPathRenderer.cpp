#include "io/svg/SvgPathRenderer.h"

#include "io/svg/SvgException.h"
#include "io/svg/SvgPathTokenizer.h"

#include <algorithm>
#include <string>

void path_renderer::remove_all()
{
    m_Storage.remove_all();
    m_AttrStorage.remove_all();
    m_AttrStack.remove_all();
    m_Transform.reset();
}

void path_renderer::begin_path()
{
    if (m_AttrStorage.size() >= MaxSvgPaths)
        throw svg_exception("begin_path : Too many paths");
    push_attr();
    const unsigned index = m_Storage.start_new_path();
    path_attributes attr = cur_attr();
    attr.Index = index;
    m_AttrStorage.add(attr);
}

void path_renderer::end_path()
{
    if (m_AttrStorage.size() == 0)
        throw svg_exception("end_path : The path was not begun");
    path_attributes attr = cur_attr();
    attr.Index = m_AttrStorage[m_AttrStorage.size() - 1].Index;
    m_AttrStorage[m_AttrStorage.size() - 1] = attr;
    pop_attr();
}

void path_renderer::push_attr()
{
    if (m_AttrStack.size() >= MaxSvgAttrDepth)
        throw svg_exception("push_attr : Attribute stack is too deep");
    m_AttrStack.add(m_AttrStack.size() ? m_AttrStack[m_AttrStack.size() - 1] : path_attributes());
}

void path_renderer::pop_attr()
{
    if (m_AttrStack.size() == 0)
        throw svg_exception("pop_attr : Attribute stack is empty");
    m_AttrStack.remove_last();
}

path_attributes& path_renderer::cur_attr()
{
    if (m_AttrStack.size() == 0)
        throw svg_exception("cur_attr : Attribute stack is empty");
    return m_AttrStack[m_AttrStack.size() - 1];
}

void path_renderer::fill(const agg::rgba8& color)
{
    path_attributes& attr = cur_attr();
    attr.FillColor = color;
    attr.FillFlag = true;
}

void path_renderer::stroke(const agg::rgba8& color)
{
    path_attributes& attr = cur_attr();
    attr.StrokeColor = color;
    attr.StrokeFlag = true;
}

void path_renderer::fill_none()
{
    cur_attr().FillFlag = false;
}

void path_renderer::stroke_none()
{
    cur_attr().StrokeFlag = false;
}

// AGG's colour takes an opacity above 1 as alpha 1 of 255: clamp first.
void path_renderer::fill_opacity(double opacity)
{
    cur_attr().FillColor.opacity(std::clamp(opacity, 0.0, 1.0));
}

void path_renderer::stroke_opacity(double opacity)
{
    cur_attr().StrokeColor.opacity(std::clamp(opacity, 0.0, 1.0));
}

void path_renderer::stroke_width(double width)
{
    path_attributes& attr = cur_attr();
    attr.StrokeWidth = width;
    attr.StrokeFlag = true;
}

void path_renderer::line_join(int32_t join)
{
    cur_attr().LineJoin = join;
}

void path_renderer::line_cap(int32_t cap)
{
    cur_attr().LineCap = cap;
}

void path_renderer::miter_limit(double limit)
{
    cur_attr().MiterLimit = limit;
}

agg::trans_affine& path_renderer::transform()
{
    return cur_attr().Transform;
}

void path_renderer::move_to(double x, double y, bool rel)
{
    if (rel)
        m_Storage.rel_to_abs(&x, &y);
    m_Storage.move_to(x, y);
}

void path_renderer::line_to(double x, double y, bool rel)
{
    if (rel)
        m_Storage.rel_to_abs(&x, &y);
    m_Storage.line_to(x, y);
}

void path_renderer::hline_to(double x, bool rel)
{
    double x0;
    double y0;
    if (!m_Storage.current_point(&x0, &y0))
        return;
    m_Storage.line_to(rel ? x0 + x : x, y0);
}

void path_renderer::vline_to(double y, bool rel)
{
    double x0;
    double y0;
    if (!m_Storage.current_point(&x0, &y0))
        return;
    m_Storage.line_to(x0, rel ? y0 + y : y);
}

void path_renderer::curve3(double x1, double y1, double x, double y, bool rel)
{
    if (rel) {
        m_Storage.rel_to_abs(&x1, &y1);
        m_Storage.rel_to_abs(&x, &y);
    }
    m_Storage.curve3(x1, y1, x, y);
}

void path_renderer::curve3(double x, double y, bool rel)
{
    if (rel)
        m_Storage.curve3_rel(x, y);
    else
        m_Storage.curve3(x, y);
}

void path_renderer::curve4(double x1, double y1, double x2, double y2, double x, double y, bool rel)
{
    if (rel) {
        m_Storage.rel_to_abs(&x1, &y1);
        m_Storage.rel_to_abs(&x2, &y2);
        m_Storage.rel_to_abs(&x, &y);
    }
    m_Storage.curve4(x1, y1, x2, y2, x, y);
}

void path_renderer::curve4(double x2, double y2, double x, double y, bool rel)
{
    if (rel)
        m_Storage.curve4_rel(x2, y2, x, y);
    else
        m_Storage.curve4(x2, y2, x, y);
}

void path_renderer::arc_to(double rx, double ry, double angle, bool large_arc_flag, bool sweep_flag, double x,
                           double y, bool rel)
{
    if (rel)
        m_Storage.arc_rel(rx, ry, angle, large_arc_flag, sweep_flag, x, y);
    else
        m_Storage.arc_to(rx, ry, angle, large_arc_flag, sweep_flag, x, y);
}

void path_renderer::circle(double cx, double cy, double r)
{
    m_Storage.circle(cx, cy, r);
}

void path_renderer::close_subpath()
{
    m_Storage.end_poly(path_flags_close);
}

unsigned path_renderer::operator[](unsigned i)
{
    const path_attributes& attr = m_AttrStorage[i];
    m_Transform = attr.Transform;
    return attr.Index;
}

void path_renderer::parse_path(path_tokenizer& tok)
{
    double args[7];
    while (tok.next()) {
        char cmd = tok.last_command();
        const bool repeat = !tok.last_is_command();
        if (repeat) {
            // Numbers after a complete group repeat its command; after a
            // move-to they draw lines.
            if (cmd == 'Z' || cmd == 'z')
                throw Esvg_exception(std::string("parse_path: Command ") + cmd + ": bad or missing parameters");
            if (cmd == 'M')
                cmd = 'L';
            else if (cmd == 'm')
                cmd = 'l';
        }
        // The first number: the one just read when the command repeats,
        // otherwise the one after the letter.
        const auto first = [&]() { return repeat ? tok.last_number() : tok.next(cmd); };
        const bool rel = cmd >= 'a' && cmd <= 'z';
        switch (cmd) {
        case 'M':
        case 'm':
            args[0] = first();
            args[1] = tok.next(cmd);
            move_to(args[0], args[1], rel);
            break;
        case 'L':
        case 'l':
            args[0] = first();
            args[1] = tok.next(cmd);
            line_to(args[0], args[1], rel);
            break;
        case 'H':
        case 'h':
            hline_to(first(), rel);
            break;
        case 'V':
        case 'v':
            vline_to(first(), rel);
            break;
        case 'Q':
        case 'q':
            args[0] = first();
            for (int i = 1; i < 4; ++i)
                args[i] = tok.next(cmd);
            curve3(args[0], args[1], args[2], args[3], rel);
            break;
        case 'T':
        case 't':
            args[0] = first();
            args[1] = tok.next(cmd);
            curve3(args[0], args[1], rel);
            break;
        case 'C':
        case 'c':
            args[0] = first();
            for (int i = 1; i < 6; ++i)
                args[i] = tok.next(cmd);
            curve4(args[0], args[1], args[2], args[3], args[4], args[5], rel);
            break;
        case 'S':
        case 's':
            args[0] = first();
            for (int i = 1; i < 4; ++i)
                args[i] = tok.next(cmd);
            curve4(args[0], args[1], args[2], args[3], rel);
            break;
        case 'A':
        case 'a':
            args[0] = first();
            args[1] = tok.next(cmd);
            args[2] = tok.next(cmd);
            args[3] = tok.next_flag(cmd);
            args[4] = tok.next_flag(cmd);
            args[5] = tok.next(cmd);
            args[6] = tok.next(cmd);
            arc_to(args[0], args[1], args[2], args[3] > 0.0, args[4] > 0.0, args[5], args[6], rel);
            break;
        case 'Z':
        case 'z':
            close_subpath();
            break;
        default:
            throw Esvg_exception(std::string("parse_path: Invalid Command ") + cmd);
        }
    }
}
