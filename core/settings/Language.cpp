#include "core/settings/Language.h"

#include "core/model/UserNotifier.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

// Language files hold a few thousand short texts; anything far larger is
// not one, and reading it whole would only waste memory.
constexpr std::uintmax_t kMaxLanguageFileSize = 16u * 1024u * 1024u;

constexpr std::string_view kLineBreakMark = "*|*";
constexpr std::string_view kCrLf = "\r\n";

std::unique_ptr<TIniFile> g_LanguageIni;
std::string g_LanguageFilePath;
// The path whose not-found box was shown last; cleared when a file is found.
std::optional<std::string> g_ReportedMissingPath;

std::string ExpandLineBreaks(std::string_view r)
{
    size_t mark = r.find(kLineBreakMark);
    if (mark == std::string_view::npos)
        return std::string(r);
    // Pieces before each mark are joined by CR LF. Empty pieces add nothing
    // while nothing has been gathered yet, so leading marks give one break.
    std::string gathered;
    while (mark != std::string_view::npos) {
        const std::string_view piece = r.substr(0, mark);
        if (gathered.empty())
            gathered = piece;
        else
            gathered.append(kCrLf).append(piece);
        r.remove_prefix(mark + kLineBreakMark.size());
        mark = r.find(kLineBreakMark);
    }
    gathered.append(kCrLf).append(r);
    return gathered;
}

} // namespace

std::string LanguageFileName(const std::string& programFolder, const std::string& language)
{
    return (std::filesystem::path(programFolder) / "languages" / (language + ".lng")).string();
}

std::unique_ptr<TIniFile> ReadLanguageFile(const std::string& fileName)
{
    // A regular file only: a folder reads as nothing and a FIFO would block.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        return nullptr;
    const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
    if (ec || size > kMaxLanguageFileSize)
        return nullptr;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return nullptr;
    std::string text;
    text.reserve(static_cast<size_t>(size));
    text.assign(std::istreambuf_iterator<char>(in), {});
    if (in.bad() || text.size() > kMaxLanguageFileSize)
        return nullptr;
    auto ini = std::make_unique<TIniFile>();
    ini->LoadFromString(text);
    return ini;
}

std::unique_ptr<TIniFile> OpenLanguageFile(const std::string& programFolder, const std::string& language)
{
    g_LanguageFilePath = LanguageFileName(programFolder, language);
    auto ini = ReadLanguageFile(g_LanguageFilePath);
    if (ini && g_ReportedMissingPath == g_LanguageFilePath)
        g_ReportedMissingPath.reset();
    return ini;
}

const TIniFile* LanguageIni() { return g_LanguageIni.get(); }

void SetLanguageIni(std::unique_ptr<TIniFile> ini) { g_LanguageIni = std::move(ini); }

const std::string& LanguageFilePath() { return g_LanguageFilePath; }

std::string ReadLangText(const TIniFile* ini, std::string_view section, std::string_view key)
{
    if (!ini)
        return {};
    return ExpandLineBreaks(ini->ReadString(section, key, ""));
}

std::string ReadLangText(std::string_view section, std::string_view key)
{
    return ReadLangText(g_LanguageIni.get(), section, key);
}

std::string LangText(std::string_view key) { return ReadLangText("String", key); }
std::string LangToolWinText(std::string_view key) { return ReadLangText("frmToolWin", key); }
std::string LangMainText(std::string_view key) { return ReadLangText("frmMain", key); }

std::string LangToolWinCaption(std::string_view name)
{
    return ReadLangText("frmToolWin", std::string(name) + ".Caption");
}

std::string LangMainCaption(std::string_view name)
{
    return ReadLangText("frmMain", std::string(name) + ".Caption");
}

std::string LangGRBLCaption(std::string_view name)
{
    return ReadLangText("frmGRBL", std::string(name) + ".Caption");
}

std::string LangMainHint(std::string_view name)
{
    return ReadLangText("frmMain", std::string(name) + ".Hint");
}

std::string LangFormat(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size());
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const char spec = pattern[i + 1];
        if (spec == '%') {
            out += '%';
            ++i;
        } else if ((spec == 'd' || spec == 'u' || spec == 's') && next != args.end()) {
            out.append(*next++);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void ReportMissingLanguageFile()
{
    if (g_ReportedMissingPath == g_LanguageFilePath)
        return;
    g_ReportedMissingPath = g_LanguageFilePath;
    // Built in: with no language file there is no text to take it from.
    UserNotifier().ShowMessage(EMessageKind::Error, "Language file not found!\r\n" + g_LanguageFilePath, "");
}
