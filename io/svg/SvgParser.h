#pragma once
// svg_parser: reads an SVG document with expat and turns each shape element
// (path, rect, circle, line, polyline, polygon) into one path of the path
// renderer, with the style and transform in force for it; g elements carry
// style and transform to what they contain. Everything else (ellipses,
// text, images, definitions and reuse, style sheets, the root's viewBox) is
// ignored.
//
// Promises:
// - Errors raise svg_exception or Esvg_exception: an XML error as "<expat's
//   text> at line <n>" and a carriage return, the others with the message of
//   the step that failed. Parsing stops at the first error; the renderer
//   keeps what was added before it.
// - Hostile documents end in an error, never in a crash or a hang: no
//   exception crosses expat (a handler's error stops the parser and is
//   raised after it returns); entity expansion is capped (expat's
//   amplification limit, and at most MaxSvgEntityDecls declared entities;
//   external entities are never loaded); group nesting and the number of
//   shapes and vertices are bounded by the renderer and the storage.
// - Colours: "#rgb" and "#rrggbb", "rgb(r, g, b)" with integers or
//   percentages (clamped to 0..255), and the SVG colour keywords (an
//   unknown name gives aliceblue, the first keyword).
// - Main thread; one parse at a time per object.

#include "io/svg/SvgPathTokenizer.h"

#include <agg_color_rgba.h>

#include <exception>
#include <string>
#include <string_view>

class path_renderer;
struct XML_ParserStruct;

// The most entity declarations a document may make.
inline constexpr unsigned MaxSvgEntityDecls = 256;

class svg_parser {
public:
    explicit svg_parser(path_renderer& path);
    ~svg_parser();
    svg_parser(const svg_parser&) = delete;
    svg_parser& operator=(const svg_parser&) = delete;

    // Reads and interprets the whole file, in blocks of 512 bytes. A file
    // that cannot be opened raises Esvg_exception "Couldn't open file <name>".
    void parse(const std::string& fileName);
    // The same on a document held in memory.
    void parse_buffer(std::string_view document);

    // The text of the title element: at most 255 bytes, every byte below 32
    // turned into a space once the parse has ended.
    const std::string& title() const { return m_Title; }

    // Attribute readers, public for the tests.
    // name/value of one attribute (or style declaration) applied to the
    // current attribute record; false for a name that is no style attribute.
    bool parse_attr(std::string_view name, std::string_view value);
    // A style attribute's declarations "name: value; ...".
    void parse_style(std::string_view str);
    // A transform attribute's function list, premultiplied onto the current
    // record's transform (the list applies right to left, as SVG says).
    void parse_transform(std::string_view str);
    static agg::rgba8 parse_color(std::string_view str);
    static double parse_double(std::string_view str);

private:
    // Feeds one block to expat and raises what it or a handler reported.
    void ParseBlock(const char* data, size_t size, bool final);
    void BeginParse();
    void EndParse();

    // expat's handlers: they only forward and catch.
    static void StartElementHandler(void* data, const char* el, const char** attr);
    static void EndElementHandler(void* data, const char* el);
    static void ContentHandler(void* data, const char* s, int len);
    static void EntityDeclHandler(void* data, const char* entityName, int isParameterEntity, const char* value,
                                  int valueLength, const char* base, const char* systemId, const char* publicId,
                                  const char* notationName);
    // Keeps the first error and stops expat.
    void Fail();

    void start_element(std::string_view el, const char** attr);
    void end_element(std::string_view el);
    void content(const char* s, int len);

    void parse_attr(const char** attr);
    void parse_name_value(std::string_view nameValue);
    void parse_path_element(const char** attr);
    void parse_rect(const char** attr);
    void parse_circle(const char** attr);
    void parse_line(const char** attr);
    void parse_poly(const char** attr, bool close_flag);
    // The arguments between the first "(" and the ")" after it into args
    // (at most maxNa of them); returns the offset of ")" in str.
    size_t parse_transform_args(std::string_view str, double* args, unsigned maxNa, unsigned& na);
    size_t parse_matrix(std::string_view str);
    size_t parse_translate(std::string_view str);
    size_t parse_rotate(std::string_view str);
    size_t parse_scale(std::string_view str);
    size_t parse_skew_x(std::string_view str);
    size_t parse_skew_y(std::string_view str);

    path_renderer& m_Path;
    path_tokenizer m_Tokenizer;
    XML_ParserStruct* m_Parser = nullptr;
    std::exception_ptr m_Error;
    std::string m_Title;
    bool m_TitleFlag = false;
    bool m_PathFlag = false;
    unsigned m_EntityDecls = 0;
};
