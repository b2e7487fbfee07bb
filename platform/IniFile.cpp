#include "platform/IniFile.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

namespace {

std::string_view Trim(std::string_view s)
{
    const char* ws = " \t\r\n";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string_view::npos)
        return {};
    const size_t e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

std::string_view Unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

} // namespace

TIniFile::TIniFile(std::string fileName) : m_FileName(std::move(fileName))
{
    std::ifstream in(m_FileName, std::ios::binary);
    if (!in)
        return;
    std::ostringstream buf;
    buf << in.rdbuf();
    LoadFromString(buf.str());
}

void TIniFile::LoadFromString(std::string_view text)
{
    m_Preamble.clear();
    m_Sections.clear();
    m_Eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        std::string_view raw = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (end == std::string_view::npos)
            pos = text.size();
        else
            pos = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;

        const std::string_view line = Trim(raw);
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            if (close != std::string_view::npos) {
                m_Sections.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
                continue;
            }
        }
        TLine entry;
        const size_t eq = line.find('=');
        if (!line.empty() && line.front() != ';' && eq != std::string_view::npos && eq > 0) {
            entry.Key = std::string(Trim(line.substr(0, eq)));
            entry.Value = std::string(Trim(line.substr(eq + 1)));
        } else {
            entry.Value = std::string(raw);
        }
        if (m_Sections.empty())
            m_Preamble.push_back(entry.Key.empty() ? entry.Value : std::string(raw));
        else
            m_Sections.back().Lines.push_back(std::move(entry));
    }
}

std::string TIniFile::ToString() const
{
    std::string out;
    for (const auto& l : m_Preamble)
        out += l + m_Eol;
    for (const auto& s : m_Sections) {
        out += "[" + s.Name + "]" + m_Eol;
        for (const auto& l : s.Lines)
            out += (l.Key.empty() ? l.Value : l.Key + "=" + l.Value) + m_Eol;
    }
    return out;
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const
{
    for (const auto& s : m_Sections)
        if (SameTextAscii(s.Name, name))
            return &s;
    return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name)
{
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TIniFile::TLine* TIniFile::FindKey(std::string_view section, std::string_view key) const
{
    const TSection* s = FindSection(section);
    if (!s)
        return nullptr;
    for (const auto& l : s->Lines)
        if (!l.Key.empty() && SameTextAscii(l.Key, key))
            return &l;
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    const TLine* l = FindKey(section, key);
    return std::string(l ? Unquote(l->Value) : def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const
{
    const TLine* l = FindKey(section, key);
    if (!l)
        return def;
    return ParseIniInteger(Unquote(l->Value)).value_or(def);
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const
{
    const TLine* l = FindKey(section, key);
    if (!l)
        return def;
    return ParseIniFloat(Unquote(l->Value)).value_or(def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    TSection* s = FindSection(section);
    if (!s) {
        m_Sections.push_back({std::string(section), {}});
        s = &m_Sections.back();
    }
    for (auto& l : s->Lines) {
        if (!l.Key.empty() && SameTextAscii(l.Key, key)) {
            l.Value = std::string(value);
            return;
        }
    }
    // A new key goes after the section's last key, before trailing blank lines.
    auto it = s->Lines.end();
    while (it != s->Lines.begin() && std::prev(it)->Key.empty() && Trim(std::prev(it)->Value).empty())
        --it;
    s->Lines.insert(it, TLine{std::string(key), std::string(value)});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value)
{
    WriteString(section, key, FormatIniFloat(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return FindKey(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const auto& s : m_Sections)
        names.push_back(s.Name);
    return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const TSection* s = FindSection(section))
        for (const auto& l : s->Lines)
            if (!l.Key.empty())
                keys.push_back(l.Key);
    return keys;
}

void TIniFile::EraseSection(std::string_view section)
{
    std::erase_if(m_Sections, [&](const TSection& s) { return SameTextAscii(s.Name, section); });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    if (TSection* s = FindSection(section))
        std::erase_if(s->Lines, [&](const TLine& l) { return !l.Key.empty() && SameTextAscii(l.Key, key); });
}

bool TIniFile::UpdateFile()
{
    return SaveToFile(m_FileName);
}

bool TIniFile::SaveToFile(const std::string& fileName)
{
    m_LastError = WriteFileAtomically(fileName, ToString());
    return m_LastError.empty();
}

std::optional<int> ParseIniInteger(std::string_view text)
{
    std::string_view t = Trim(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t.front() == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    if (t.empty())
        return std::nullopt;
    long long v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, base);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<double> ParseIniFloat(std::string_view text)
{
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    if (t.empty() || !(std::isdigit(static_cast<unsigned char>(t.front())) || t.front() == '-' || t.front() == '.'))
        return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string FormatIniFloat(double value)
{
    if (!std::isfinite(value) || value == 0)
        return "0";
    // Round to 15 significant digits first, then take the shortest text of
    // that value: 0.1 + 0.2 gives "0.3".
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    double rounded = value;
    std::from_chars(buf, r.ptr, rounded);
    const double mag = std::fabs(rounded);
    if (mag >= 1e-5 && mag < 1e15) {
        r = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed);
        return std::string(buf, r.ptr);
    }
    // Exponent form: "5E-6", "1.5E20".
    r = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::scientific);
    const std::string s(buf, r.ptr);
    const size_t e = s.find('e');
    return s.substr(0, e) + "E" + std::to_string(std::stoi(s.substr(e + 1)));
}

bool ExistsButUnreadable(const std::string& fileName)
{
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec))
        return false;
    std::ifstream probe(fileName, std::ios::binary);
    return !probe;
}
