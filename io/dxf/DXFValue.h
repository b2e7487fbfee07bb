#pragma once
// The values of ASCII DXF group-code pairs and the one rule, shared by the
// reader and the writer, that gives each group code its value type.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The sections a DXF reader can stand in; the writer brackets the first four.
enum class TDXFSection : uint8_t {
    Header = 0,
    Tables = 1,
    Blocks = 2,
    Entities = 3,
    Classes = 4,
    None = 5, // before the first section, after the last, at the end, or an unknown name
};

// How a group code's value travels. Codes are taken as unsigned 16-bit
// numbers, so a negative code (-1 is held as 65535) is always Raw.
enum class TDXFCodeKind : uint8_t {
    Text,    // 0-9, 999-1009: read trimmed; written cut to 255 characters
    Double,  // 10-59, 140-147, 210-239, 1010-1059: written "%.6f"
    Integer, // 60-79, 170-175, 1060-1079: int32, written "%6d"
    Raw,     // every other code: read untrimmed as text; written as an empty line
};

TDXFCodeKind DXFCodeKind(uint16_t code);

// A typed value: empty, text, double or int32. The As... readers convert
// between the kinds and never raise: an empty value reads as 0 or "", a text
// that is not a number reads as 0.
class TDXFValue {
public:
    TDXFValue() = default;
    TDXFValue(std::string text) : m_Data(std::move(text)) {}
    TDXFValue(const char* text) : m_Data(std::string(text)) {}
    TDXFValue(double value) : m_Data(value) {}
    TDXFValue(int32_t value) : m_Data(value) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(m_Data); }
    bool IsText() const { return std::holds_alternative<std::string>(m_Data); }
    bool IsDouble() const { return std::holds_alternative<double>(m_Data); }
    bool IsInteger() const { return std::holds_alternative<int32_t>(m_Data); }
    // True when the value is a text equal to this one (case-sensitive).
    bool Is(std::string_view text) const
    {
        const auto* own = std::get_if<std::string>(&m_Data);
        return own && *own == text;
    }

    // Text as stored; numbers as locale-independent text ("2.5", "-3").
    std::string AsString() const;
    // A text converts by ParseDXFDouble's rule.
    double AsDouble() const;
    // A double rounds ties-to-even (0 when outside int32 or not a number);
    // a text converts as a decimal integer with blanks around it allowed.
    int32_t AsInteger() const;

    // Makes the value that text, built in place.
    void SetText(std::string_view text) { m_Data.emplace<std::string>(text); }

    bool operator==(const TDXFValue&) const = default;

private:
    std::variant<std::monostate, std::string, double, int32_t> m_Data;
};

// Blanks and control characters (bytes up to 0x20) removed at both ends.
std::string_view TrimDXF(std::string_view text);

// A decimal number: optional sign, digits with at most one decimal
// separator, optional exponent, blanks around it allowed. The separator is
// "." when the text holds a point and "," otherwise, so "1,5" and "1.5" both
// read 1.5 whatever the process locale says. Nothing for anything else
// (thousands separators, "inf", "nan", hex, out of double range).
std::optional<double> ParseDXFDouble(std::string_view text);
// A decimal int32 with optional sign, blanks around it allowed.
std::optional<int32_t> ParseDXFInteger(std::string_view text);
