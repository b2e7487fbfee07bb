#include "nc/grbl/GRBLProtocol.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <map>

std::string GrblCleanLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '?' || c == '!' || c == '~' || c == 0x18 || c == '\r' || c == '\n' || c > 0x7F)
            continue;
        out += ch;
    }
    return out;
}

std::string GrblLineBytes(std::string_view text) { return GrblCleanLine(text) + '\n'; }

std::vector<std::string> GrblJogLines(int tag, std::string_view step)
{
    static constexpr std::array<std::string_view, 6> axes = {"X-", "X", "Y-", "Y", "Z-", "Z"};
    if (tag < 0 || tag >= int(axes.size()))
        return {};
    return {"$J=G91 G21 " + std::string(axes[size_t(tag)]) + std::string(step) + " F" + std::to_string(GrblJogFeed)};
}

std::vector<std::string> GrblZeroLines(int tag, int wcsIndex)
{
    static constexpr std::array<std::string_view, 4> words = {"X0", "Y0", "Z0", "X0Y0Z0"};
    if (tag < 0 || tag >= int(words.size()) || wcsIndex < 0 || wcsIndex > 5)
        return {};
    return {"G10L20P" + std::to_string(wcsIndex + 1) + std::string(words[size_t(tag)]), "$G"};
}

std::vector<std::string> GrblSelectWcsLines(int index) { return {"G" + std::to_string(54 + index), "$G"}; }

namespace {

struct TGrblWord {
    char Letter;
    double Value;
};

// The words of a G-code line as GRBL reads them: spaces ignored, letters in
// either case, "(...)" comments skipped and everything after ";" dropped. A
// letter without a readable number is left out.
std::vector<TGrblWord> GrblWords(std::string_view line)
{
    std::vector<TGrblWord> words;
    size_t i = 0;
    const auto skipBlank = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    };
    while (i < line.size()) {
        const char c = line[i];
        if (c == ';')
            break;
        if (c == '(') {
            const size_t close = line.find(')', i);
            i = close == std::string_view::npos ? line.size() : close + 1;
            continue;
        }
        const char letter = char(std::toupper(static_cast<unsigned char>(c)));
        ++i;
        if (letter < 'A' || letter > 'Z')
            continue;
        skipBlank();
        std::string number;
        while (i < line.size() && (std::isdigit(static_cast<unsigned char>(line[i])) || line[i] == '.' ||
                                   ((line[i] == '-' || line[i] == '+') && number.empty()) || line[i] == ' ')) {
            if (line[i] != ' ')
                number += line[i];
            ++i;
        }
        if (!number.empty() && number[0] == '+')
            number.erase(0, 1);
        double value = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (!number.empty() && ec == std::errc() && end == number.data() + number.size())
            words.push_back({letter, value});
    }
    return words;
}

bool IsCode(double value, double code) { return std::abs(value - code) < 0.001; }

} // namespace

bool GrblWritesSettings(std::string_view line)
{
    std::string text;
    for (const char c : line)
        if (c != ' ' && c != '\t')
            text += char(std::toupper(static_cast<unsigned char>(c)));
    if (text.starts_with("$")) {
        const bool assigns = text.find('=') != std::string::npos;
        if (text.size() > 1 && std::isdigit(static_cast<unsigned char>(text[1])))
            return assigns; // $10=2
        return assigns && (text.starts_with("$N") || text.starts_with("$RST") || text.starts_with("$I"));
    }
    for (const TGrblWord& word : GrblWords(text))
        if (word.Letter == 'G' && (IsCode(word.Value, 10) || IsCode(word.Value, 28.1) || IsCode(word.Value, 30.1)))
            return true;
    return false;
}

std::optional<int> GrblWcsWord(std::string_view line)
{
    if (line.starts_with("[GC:")) {
        line.remove_prefix(4);
        if (const size_t close = line.find(']'); close != std::string_view::npos)
            line = line.substr(0, close);
    } else if (line.starts_with("$") || line.starts_with("[")) {
        return std::nullopt;
    }
    std::optional<int> index;
    for (const TGrblWord& word : GrblWords(line))
        for (int i = 0; i < 6; ++i)
            if (word.Letter == 'G' && IsCode(word.Value, 54 + i))
                index = i;
    return index;
}

double GrblDwellSeconds(std::string_view line)
{
    if (line.starts_with("$"))
        return 0;
    bool dwell = false;
    double seconds = 0;
    for (const TGrblWord& word : GrblWords(line)) {
        if (word.Letter == 'G' && IsCode(word.Value, 4))
            dwell = true;
        else if (word.Letter == 'P')
            seconds = word.Value;
    }
    return dwell && std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

namespace {

// The meanings of GRBL 1.1's error codes, by code.
const std::map<int, std::string_view>& ErrorMeanings()
{
    static const std::map<int, std::string_view> meanings = {
        {1, "a word without its letter"},
        {2, "a missing or unreadable number"},
        {3, "unknown $ command"},
        {4, "a negative value where a positive one is needed"},
        {5, "homing is not enabled in the settings"},
        {6, "step pulse time must be more than 3 microseconds"},
        {7, "settings memory could not be read; defaults restored"},
        {8, "this $ command needs the machine idle"},
        {9, "g-code is locked out during an alarm or a jog"},
        {10, "soft limits need homing enabled"},
        {11, "line too long; not run"},
        {12, "the setting would exceed the highest step rate"},
        {13, "safety door open"},
        {14, "startup or build line too long to store"},
        {15, "jog target beyond the machine's travel; jog ignored"},
        {16, "invalid jog command"},
        {17, "laser mode needs PWM output"},
        {20, "unsupported or invalid g-code command"},
        {21, "two commands of one modal group in a block"},
        {22, "feed rate not set"},
        {23, "the command needs a whole number"},
        {24, "two commands in a block that both use axis words"},
        {25, "a word repeated in the block"},
        {26, "the command needs axis words and has none"},
        {27, "invalid line number"},
        {28, "a value word the command needs is missing"},
        {29, "G59.1 to G59.3 are not supported"},
        {30, "G53 only with G0 or G1"},
        {31, "axis words that no command in the block uses"},
        {32, "an arc needs an axis word in its plane"},
        {33, "invalid motion target"},
        {34, "invalid arc radius"},
        {35, "an arc needs an offset word in its plane"},
        {36, "value words that nothing in the block uses"},
        {37, "tool length offset not on the tool length axis"},
        {38, "tool number too high"},
    };
    return meanings;
}

// The meanings of GRBL 1.1's alarm codes, by code.
const std::map<int, std::string_view>& AlarmMeanings()
{
    static const std::map<int, std::string_view> meanings = {
        {1, "hard limit hit; the position is likely lost, home again"},
        {2, "motion target beyond the machine's travel; position kept"},
        {3, "reset while moving; the position is likely lost, home again"},
        {4, "probe not in its expected state before probing"},
        {5, "probe made no contact within its travel"},
        {6, "homing failed: reset during homing"},
        {7, "homing failed: safety door opened"},
        {8, "homing failed: could not pull off the limit switch"},
        {9, "homing failed: limit switch not found"},
    };
    return meanings;
}

} // namespace

std::string GrblExplainReply(std::string_view line)
{
    const std::map<int, std::string_view>* meanings = nullptr;
    size_t at = 0;
    if (line.starts_with("error:")) {
        meanings = &ErrorMeanings();
        at = 6;
    } else if (line.starts_with("ALARM:")) {
        meanings = &AlarmMeanings();
        at = 6;
    }
    std::string out(line);
    if (!meanings)
        return out;
    int code = 0;
    const auto [end, ec] = std::from_chars(line.data() + at, line.data() + line.size(), code);
    if (ec != std::errc() || end != line.data() + line.size())
        return out;
    if (const auto found = meanings->find(code); found != meanings->end())
        out += " (" + std::string(found->second) + ")";
    return out;
}

std::vector<std::string> GrblMacroLines(std::string_view macro)
{
    std::vector<std::string> lines;
    for (size_t end = macro.find(';'); end != std::string_view::npos; end = macro.find(';')) {
        lines.emplace_back(macro.substr(0, end));
        macro.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> TGrblLineAssembler::Feed(std::string_view bytes)
{
    std::vector<std::string> lines;
    for (const char c : bytes) {
        if (c == '\n') {
            if (!m_Line.empty())
                lines.push_back(std::move(m_Line));
            m_Line.clear();
        } else if (c != '\r' && m_Line.size() < MaxLine) {
            m_Line += c;
        }
    }
    return lines;
}

EGrblReply ClassifyGrblReply(std::string_view line)
{
    if (line.starts_with("ok"))
        return EGrblReply::Ok;
    if (line.starts_with("error"))
        return EGrblReply::Error;
    if (line.starts_with("ALARM"))
        return EGrblReply::Alarm;
    if (line.starts_with("<"))
        return EGrblReply::Status;
    if (line.starts_with("Grbl "))
        return EGrblReply::Banner;
    return EGrblReply::Other;
}

namespace {

std::vector<std::string> SplitAt(std::string_view text, std::string_view separators, bool dropEmpty)
{
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && separators.find(text[i]) == std::string_view::npos)
            continue;
        if (!dropEmpty || i > start)
            items.emplace_back(text.substr(start, i - start));
        start = i + 1;
    }
    return items;
}

} // namespace

TGrblStatus ParseGrblStatus(std::string_view line)
{
    TGrblStatus status;
    if (line.find('|') == std::string_view::npos) {
        status.Items = SplitAt(line, ",:<>\r\n", true);
        if (!status.Items.empty())
            status.State = status.Items[0];
        if (status.Items.size() > 4) {
            status.PositionName = status.Items[1];
            status.Axis = {status.Items[2], status.Items[3], status.Items[4]};
            status.HasPosition = true;
        }
        return status;
    }
    if (line.starts_with("<"))
        line.remove_prefix(1);
    if (const size_t close = line.find('>'); close != std::string_view::npos)
        line = line.substr(0, close);
    std::vector<std::string> fields = SplitAt(line, "|", false);
    status.State = fields.empty() ? std::string() : fields[0];
    status.Items.push_back(status.State);
    std::vector<std::string> rest;
    for (size_t i = 1; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        const bool isPosition = field.starts_with("MPos:") || field.starts_with("WPos:");
        if (!isPosition || status.HasPosition) {
            rest.push_back(field);
            continue;
        }
        const std::vector<std::string> xyz = SplitAt(std::string_view(field).substr(5), ",", false);
        if (xyz.size() < 3) {
            rest.push_back(field);
            continue;
        }
        status.PositionName = field.substr(0, 4);
        status.Axis = {xyz[0], xyz[1], xyz[2]};
        status.HasPosition = true;
    }
    if (status.HasPosition) {
        status.Items.push_back(status.PositionName);
        status.Items.insert(status.Items.end(), status.Axis.begin(), status.Axis.end());
    }
    status.Items.insert(status.Items.end(), rest.begin(), rest.end());
    return status;
}

std::optional<std::array<double, 3>> TGrblStatus::Position() const
{
    if (!HasPosition)
        return std::nullopt;
    std::array<double, 3> xyz{};
    for (size_t i = 0; i < 3; ++i) {
        const std::string& text = Axis[i];
        const char* first = text.data();
        const char* last = text.data() + text.size();
        if (first != last && *first == '+')
            ++first;
        const auto [end, ec] = std::from_chars(first, last, xyz[i]);
        if (ec != std::errc() || end != last || first == last || !std::isfinite(xyz[i]))
            return std::nullopt;
    }
    return xyz;
}
