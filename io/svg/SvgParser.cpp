#include "io/svg/SvgParser.h"

#include "io/svg/SvgException.h"
#include "io/svg/SvgPathRenderer.h"

// Debian's expat is built with DTD support; its header declares the
// entity-expansion guard only when told so.
#ifndef XML_DTD
#define XML_DTD 1
#endif
#include <expat.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <string>

namespace {

constexpr size_t BlockSize = 512;
constexpr size_t MaxTitle = 255;

// expat's amplification guard: documents may expand entities to at most
// this many times their own size once the expansion passes the threshold.
constexpr float MaxEntityAmplification = 20.0f;
constexpr unsigned long long EntityActivationThreshold = 1ull << 20;

} // namespace

svg_parser::svg_parser(path_renderer& path) : m_Path(path) {}

svg_parser::~svg_parser()
{
    if (m_Parser)
        XML_ParserFree(m_Parser);
}

void svg_parser::BeginParse()
{
    if (m_Parser)
        XML_ParserFree(m_Parser);
    m_Parser = XML_ParserCreate(nullptr);
    if (!m_Parser)
        throw svg_exception("Couldn't allocate memory for parser");
    XML_SetUserData(m_Parser, this);
    XML_SetElementHandler(m_Parser, StartElementHandler, EndElementHandler);
    XML_SetCharacterDataHandler(m_Parser, ContentHandler);
    XML_SetEntityDeclHandler(m_Parser, EntityDeclHandler);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(m_Parser, MaxEntityAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(m_Parser, EntityActivationThreshold);
    m_Error = nullptr;
    m_Title.clear();
    m_TitleFlag = false;
    m_PathFlag = false;
    m_EntityDecls = 0;
}

void svg_parser::EndParse()
{
    XML_ParserFree(m_Parser);
    m_Parser = nullptr;
    for (char& c : m_Title) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
}

void svg_parser::ParseBlock(const char* data, size_t size, bool final)
{
    if (XML_Parse(m_Parser, data, static_cast<int>(size), final ? 1 : 0) != XML_STATUS_ERROR)
        return;
    if (m_Error) {
        const std::exception_ptr error = m_Error;
        EndParse();
        std::rethrow_exception(error);
    }
    std::string message = XML_ErrorString(XML_GetErrorCode(m_Parser));
    message += " at line " + std::to_string(XML_GetCurrentLineNumber(m_Parser)) + "\r";
    EndParse();
    throw Esvg_exception(message);
}

void svg_parser::parse(const std::string& fileName)
{
    BeginParse();
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        XML_ParserFree(m_Parser);
        m_Parser = nullptr;
        throw Esvg_exception("Couldn't open file " + fileName);
    }
    char buffer[BlockSize];
    for (;;) {
        file.read(buffer, BlockSize);
        const size_t got = static_cast<size_t>(file.gcount());
        const bool final = got < BlockSize;
        ParseBlock(buffer, got, final);
        if (final)
            break;
    }
    EndParse();
}

void svg_parser::parse_buffer(std::string_view document)
{
    BeginParse();
    for (size_t pos = 0;; pos += BlockSize) {
        const size_t got = std::min(BlockSize, document.size() - pos);
        const bool final = got < BlockSize;
        ParseBlock(document.data() + pos, got, final);
        if (final)
            break;
    }
    EndParse();
}

// Once a handler has failed, expat may still deliver a few calls (the end
// of an empty element); the handlers then do nothing.
void svg_parser::Fail()
{
    if (!m_Error)
        m_Error = std::current_exception();
    XML_StopParser(m_Parser, XML_FALSE);
}

void svg_parser::StartElementHandler(void* data, const char* el, const char** attr)
{
    auto* self = static_cast<svg_parser*>(data);
    if (self->m_Error)
        return;
    try {
        self->start_element(el, attr);
    } catch (...) {
        self->Fail();
    }
}

void svg_parser::EndElementHandler(void* data, const char* el)
{
    auto* self = static_cast<svg_parser*>(data);
    if (self->m_Error)
        return;
    try {
        self->end_element(el);
    } catch (...) {
        self->Fail();
    }
}

void svg_parser::ContentHandler(void* data, const char* s, int len)
{
    static_cast<svg_parser*>(data)->content(s, len);
}

void svg_parser::EntityDeclHandler(void* data, const char*, int, const char*, int, const char*, const char*,
                                   const char*, const char*)
{
    auto* self = static_cast<svg_parser*>(data);
    if (++self->m_EntityDecls > MaxSvgEntityDecls) {
        try {
            throw svg_exception("parse: Too many entity declarations");
        } catch (...) {
            self->Fail();
        }
    }
}

void svg_parser::start_element(std::string_view el, const char** attr)
{
    if (el == "title") {
        m_TitleFlag = true;
    } else if (el == "g") {
        m_Path.push_attr();
        parse_attr(attr);
    } else if (el == "path") {
        if (m_PathFlag)
            throw Esvg_exception("start_element: Nested path");
        m_Path.begin_path();
        parse_path_element(attr);
        m_Path.end_path();
        m_PathFlag = true;
    } else if (el == "rect") {
        parse_rect(attr);
    } else if (el == "circle") {
        parse_circle(attr);
    } else if (el == "line") {
        parse_line(attr);
    } else if (el == "polyline") {
        parse_poly(attr, false);
    } else if (el == "polygon") {
        parse_poly(attr, true);
    }
}

void svg_parser::end_element(std::string_view el)
{
    if (el == "title")
        m_TitleFlag = false;
    else if (el == "g")
        m_Path.pop_attr();
    else if (el == "path")
        m_PathFlag = false;
}

void svg_parser::content(const char* s, int len)
{
    if (!m_TitleFlag || len <= 0)
        return;
    const size_t room = MaxTitle - std::min(MaxTitle, m_Title.size());
    m_Title.append(s, std::min(room, static_cast<size_t>(len)));
}

void svg_parser::parse_attr(const char** attr)
{
    for (int i = 0; attr[i]; i += 2) {
        if (std::string_view(attr[i]) == "style")
            parse_style(attr[i + 1]);
        else
            parse_attr(attr[i], attr[i + 1]);
    }
}

void svg_parser::parse_path_element(const char** attr)
{
    for (int i = 0; attr[i]; i += 2) {
        if (std::string_view(attr[i]) == "d") {
            m_Tokenizer.set_path_str(attr[i + 1]);
            m_Path.parse_path(m_Tokenizer);
        } else {
            parse_attr(attr[i], attr[i + 1]);
        }
    }
}

void svg_parser::parse_rect(const char** attr)
{
    double x = 0.0;
    double y = 0.0;
    double w = 0.0;
    double h = 0.0;
    m_Path.begin_path();
    for (int i = 0; attr[i]; i += 2) {
        const std::string_view name = attr[i];
        if (parse_attr(name, attr[i + 1]))
            continue;
        if (name == "x")
            x = parse_double(attr[i + 1]);
        else if (name == "y")
            y = parse_double(attr[i + 1]);
        else if (name == "width")
            w = parse_double(attr[i + 1]);
        else if (name == "height")
            h = parse_double(attr[i + 1]);
        // Corner radii are not read.
    }
    if (w != 0.0 && h != 0.0) {
        if (w < 0.0)
            throw Esvg_exception("parse_rect: Invalid width: ");
        if (h < 0.0)
            throw Esvg_exception("parse_rect: Invalid height: ");
        m_Path.move_to(x, y);
        m_Path.line_to(x + w, y);
        m_Path.line_to(x + w, y + h);
        m_Path.line_to(x, y + h);
        m_Path.close_subpath();
    }
    m_Path.end_path();
}

void svg_parser::parse_circle(const char** attr)
{
    double cx = 0.0;
    double cy = 0.0;
    double r = 0.0;
    m_Path.begin_path();
    for (int i = 0; attr[i]; i += 2) {
        const std::string_view name = attr[i];
        if (parse_attr(name, attr[i + 1]))
            continue;
        if (name == "cx")
            cx = parse_double(attr[i + 1]);
        else if (name == "cy")
            cy = parse_double(attr[i + 1]);
        else if (name == "r")
            r = parse_double(attr[i + 1]);
    }
    // A radius of zero disables the circle: like a rectangle of zero size
    // it adds a path without vertices, and the rest of the file is read.
    if (r != 0.0) {
        m_Path.move_to(cx + r, cy + r);
        m_Path.circle(cx, cy, r);
        m_Path.close_subpath();
    }
    m_Path.end_path();
}

void svg_parser::parse_line(const char** attr)
{
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    m_Path.begin_path();
    for (int i = 0; attr[i]; i += 2) {
        const std::string_view name = attr[i];
        if (parse_attr(name, attr[i + 1]))
            continue;
        if (name == "x1")
            x1 = parse_double(attr[i + 1]);
        else if (name == "y1")
            y1 = parse_double(attr[i + 1]);
        else if (name == "x2")
            x2 = parse_double(attr[i + 1]);
        else if (name == "y2")
            y2 = parse_double(attr[i + 1]);
    }
    m_Path.move_to(x1, y1);
    m_Path.line_to(x2, y2);
    m_Path.end_path();
}

void svg_parser::parse_poly(const char** attr, bool close_flag)
{
    m_Path.begin_path();
    for (int i = 0; attr[i]; i += 2) {
        const std::string_view name = attr[i];
        if (parse_attr(name, attr[i + 1]) || name != "points")
            continue;
        m_Tokenizer.set_path_str(attr[i + 1]);
        double x = 0.0;
        double y = 0.0;
        if (!m_Tokenizer.next_number(&x) || !m_Tokenizer.next_number(&y))
            throw Esvg_exception("parse_poly: Too few coordinates");
        m_Path.move_to(x, y);
        while (m_Tokenizer.next_number(&x)) {
            if (!m_Tokenizer.next_number(&y))
                throw Esvg_exception("parse_poly: Odd number of coordinates");
            m_Path.line_to(x, y);
        }
    }
    if (close_flag)
        m_Path.close_subpath();
    m_Path.end_path();
}
