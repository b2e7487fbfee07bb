#include "app/update/UpdateInfo.h"

#include <QHostAddress>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

// The position of needle in text without regard to ASCII case, or npos.
size_t FindNoCase(std::string_view text, std::string_view needle)
{
    auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

// The text from start up to the next double quote within limit characters;
// empty when no quote closes it there.
std::string QuotedFrom(std::string_view line, size_t start, size_t limit)
{
    if (start >= line.size())
        return {};
    const std::string_view rest = line.substr(start, limit);
    const size_t quote = rest.find('"');
    return quote == std::string_view::npos ? std::string() : std::string(rest.substr(0, quote));
}

std::string* Slot(TUpdatePageValues& values, const TmxTagInfo& tags, const std::string& name)
{
    const std::pair<const std::string*, std::string*> table[] = {
        {&tags.Author, &values.Author},
        {&tags.Email, &values.Email},
        {&tags.ClientFileName, &values.ClientFileName},
        {&tags.Download, &values.Download},
        {&tags.ProductName, &values.ProductName},
        {&tags.Redirection, &values.Redirection},
        {&tags.RunParameters, &values.RunParameters},
        {&tags.Version, &values.Version},
    };
    for (const auto& [tag, slot] : table)
        if (*tag == name)
            return slot;
    return nullptr;
}

// One part of a version: the whole number, 0 when the text is not one.
long long VersionPart(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    return value;
}

std::vector<long long> VersionParts(std::string_view version)
{
    std::vector<long long> parts;
    for (;;) {
        const size_t dot = version.find('.');
        parts.push_back(VersionPart(version.substr(0, dot)));
        if (dot == std::string_view::npos)
            return parts;
        version.remove_prefix(dot + 1);
    }
}

bool IsLoopbackHost(const QString& host)
{
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

TUpdatePageValues ParseUpdatePage(const std::vector<std::string>& lines, const TmxTagInfo& tags)
{
    static constexpr std::string_view MetaName = "META NAME";
    static constexpr std::string_view Content = "CONTENT=";
    TUpdatePageValues values;
    for (const std::string& line : lines) {
        const size_t meta = line.find(MetaName);
        if (meta == std::string::npos)
            continue;
        // META NAME, the equals sign and the opening quote.
        const std::string name = QuotedFrom(line, meta + MetaName.size() + 2, std::string::npos);
        std::string* slot = Slot(values, tags, name);
        if (!slot)
            continue;
        const size_t content = FindNoCase(line, Content);
        *slot = content == std::string::npos ? std::string() : QuotedFrom(line, content + Content.size() + 1, 255);
    }
    return values;
}

std::vector<std::string> SplitPageLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool IsNewerVersion(std::string_view installed, std::string_view page)
{
    const std::vector<long long> mine = VersionParts(installed);
    const std::vector<long long> theirs = VersionParts(page);
    const size_t count = std::max(mine.size(), theirs.size());
    for (size_t i = 0; i < count; ++i) {
        const long long a = i < mine.size() ? mine[i] : 0;
        const long long b = i < theirs.size() ? theirs[i] : 0;
        if (a != b)
            return a < b;
    }
    return false;
}

std::string CheckedUpdateAddress(std::string_view address)
{
    QString text = QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())).trimmed();
    if (text.isEmpty())
        return {};
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("https://"));
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    const QString scheme = url.scheme().toLower();
    if (scheme == QStringLiteral("https") || (scheme == QStringLiteral("http") && IsLoopbackHost(url.host())))
        return url.toString(QUrl::FullyEncoded).toStdString();
    return {};
}

std::string SafeClientFileName(std::string_view name)
{
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    if (name.empty() || name == "." || name == "..")
        return {};
    return std::string(name);
}
