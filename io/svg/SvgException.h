#pragma once
// The errors of the SVG reading: the path storage, the path renderer, the
// path-data tokenizer and the SVG parser raise these, carrying the message
// of the failing step. Esvg_exception derives from svg_exception, so one
// handler catches both.

#include <stdexcept>
#include <string>

class svg_exception : public std::runtime_error {
public:
    explicit svg_exception(const std::string& message) : std::runtime_error(message) {}
};

class Esvg_exception : public svg_exception {
public:
    explicit Esvg_exception(const std::string& message) : svg_exception(message) {}
};
