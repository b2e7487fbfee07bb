#include "nc/grbl/GRBLProtocol.h"

#include <charconv>
#include <cmath>

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
    return {"G91G0" + std::string(axes[size_t(tag)]) + std::string(step), "G90"};
}

std::vector<std::string> GrblZeroLines(int tag, int wcsIndex)
{
    static constexpr std::array<std::string_view, 4> words = {"X0", "Y0", "Z0", "X0Y0Z0"};
    if (tag < 0 || tag >= int(words.size()))
        return {};
    return {"G10L20P0" + std::string(words[size_t(tag)]), "G" + std::to_string(54 + wcsIndex), "$G"};
}

std::vector<std::string> GrblSelectWcsLines(int index) { return {"G" + std::to_string(54 + index), "$G"}; }

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
