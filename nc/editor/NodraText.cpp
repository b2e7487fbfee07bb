#include "nc/editor/NodraText.h"

#include <cctype>

bool IsUntitledCaption(std::string_view caption)
{
    return caption.substr(0, 8) == "Untitled";
}

bool IsModifiedCaption(std::string_view caption)
{
    return !caption.empty() && caption.back() == '*';
}

std::string CaptionPath(std::string_view caption)
{
    if (IsModifiedCaption(caption))
        caption.remove_suffix(1);
    return std::string(caption);
}

std::string DetectLineEnd(std::string_view text)
{
    const size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return "\r\n";
    if (text[at] == '\n')
        return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

std::string AutoIndentText(std::string_view lineUpToCaret, std::string_view lineEnd)
{
    size_t blanks = 0;
    while (blanks < lineUpToCaret.size() && (lineUpToCaret[blanks] == ' ' || lineUpToCaret[blanks] == '\t'))
        ++blanks;
    std::string text(lineEnd);
    text += lineUpToCaret.substr(0, blanks);
    return text;
}

namespace {

bool IsWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool SameChar(char a, char b, bool matchCase)
{
    if (matchCase)
        return a == b;
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool MatchesAt(std::string_view text, std::string_view what, size_t at, const TSearchOptions& options)
{
    for (size_t i = 0; i < what.size(); ++i)
        if (!SameChar(text[at + i], what[i], options.MatchCase))
            return false;
    if (!options.WholeWord)
        return true;
    const bool before = at > 0 && IsWordChar(text[at - 1]);
    const size_t end = at + what.size();
    const bool after = end < text.size() && IsWordChar(text[end]);
    return !before && !after;
}

} // namespace

std::optional<size_t> FindForward(std::string_view text, std::string_view what, size_t from,
                                  const TSearchOptions& options)
{
    if (what.empty() || what.size() > text.size())
        return std::nullopt;
    for (size_t at = from; at + what.size() <= text.size(); ++at)
        if (MatchesAt(text, what, at, options))
            return at;
    return std::nullopt;
}

std::optional<size_t> TReplaceSearch::FindNext(std::string_view text, std::string_view what, size_t from,
                                               const TSearchOptions& options)
{
    m_LastMatch = FindForward(text, what, from, options);
    return m_LastMatch;
}

bool TReplaceSearch::SelectionIsLastMatch(size_t selStart, size_t selLength, std::string_view what) const
{
    return m_LastMatch && *m_LastMatch == selStart && selLength == what.size();
}

bool TReplaceSearch::TakeNotFoundMessage()
{
    const bool show = !m_Replaced;
    m_Replaced = false;
    return show;
}

size_t ReplaceAll(std::string& text, std::string_view what, std::string_view with, const TSearchOptions& options)
{
    size_t count = 0;
    size_t from = 0;
    while (auto at = FindForward(text, what, from, options)) {
        text.replace(*at, what.size(), with);
        from = *at + with.size();
        ++count;
    }
    return count;
}

TPrintLayout PrintLayoutFor(int pageWidth, int pageHeight, int dpiX, int dpiY)
{
    auto x = [dpiX](double inches) { return static_cast<int>(inches * dpiX + 0.5); };
    auto y = [dpiY](double inches) { return static_cast<int>(inches * dpiY + 0.5); };
    TPrintLayout layout;
    layout.TextLeft = x(1.0);
    layout.TextTop = y(0.75);
    layout.TextRight = pageWidth - x(0.75);
    layout.TextBottom = pageHeight - y(1.0);
    layout.HeaderY = y(0.5);
    layout.FooterY = pageHeight - y(0.5);
    layout.PageNumberX = x(0.5);
    layout.FileNameX = x(1.0);
    return layout;
}

size_t PrintedLength(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && static_cast<unsigned char>(text[n - 1]) < 33)
        --n;
    return n;
}
