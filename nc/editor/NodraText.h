#pragma once
// The text rules of the built-in G-code editor, free of any window: tab
// captions, line ends, auto-indent, searching and replacing, and the page
// layout of a print. Texts are byte strings (G-code is ASCII; UTF-8 passes
// through unchanged); positions are byte offsets.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Tab captions: the file's path, or "Untitled" and a number; a trailing "*"
// marks unsaved changes. The caption is the tab's only record of its file.
bool IsUntitledCaption(std::string_view caption); // its first eight characters are "Untitled"
bool IsModifiedCaption(std::string_view caption); // it ends in "*"
std::string CaptionPath(std::string_view caption); // the caption without its "*"

// The line end a text was written with: that of its first line break, CR LF
// for a text without one (new tabs write CR LF).
std::string DetectLineEnd(std::string_view text);

// What Enter inserts: the line end, then the run of tabs and blanks that
// starts the line up to the caret.
std::string AutoIndentText(std::string_view lineUpToCaret, std::string_view lineEnd);

struct TSearchOptions {
    bool MatchCase = false;
    bool WholeWord = false;
};

// The first match of what at or after from, forward to the end of text.
// A whole word has no letter, digit or underscore on either side.
std::optional<size_t> FindForward(std::string_view text, std::string_view what, size_t from,
                                  const TSearchOptions& options);

// The replace dialog's memory between its buttons.
class TReplaceSearch {
public:
    // Searches from `from` and remembers the match; none: nothing is found.
    std::optional<size_t> FindNext(std::string_view text, std::string_view what, size_t from,
                                   const TSearchOptions& options);
    // Whether a selection is exactly the last match found.
    bool SelectionIsLastMatch(size_t selStart, size_t selLength, std::string_view what) const;
    // Marks a replacement made since the last "not found" message.
    void MarkReplaced() { m_Replaced = true; }
    // After a failed search: whether to show "not found" (no replacement was
    // made since the last message); the mark is cleared either way.
    bool TakeNotFoundMessage();

private:
    std::optional<size_t> m_LastMatch;
    bool m_Replaced = false;
};

// Replaces every match in text and returns the count; the search goes on
// after each inserted text, so a replacement containing the searched text
// ends.
size_t ReplaceAll(std::string& text, std::string_view what, std::string_view with, const TSearchOptions& options);

// The page places of a print, in device pixels of a page of the given size
// and resolution: the text's rectangle inside margins of 1 inch left, 0.75
// top, 0.75 right and 1 bottom; the header line half an inch from the top,
// the footer line half an inch above the bottom edge; the page number half
// an inch from the left, the file name one inch.
enum class EPrintPlace { Header, Footer, None };
struct TPrintLayout {
    int TextLeft = 0, TextTop = 0, TextRight = 0, TextBottom = 0;
    int HeaderY = 0, FooterY = 0;
    int PageNumberX = 0, FileNameX = 0;
};
TPrintLayout PrintLayoutFor(int pageWidth, int pageHeight, int dpiX, int dpiY);

// The range a print covers: the text without its trailing characters of
// codes below 33.
size_t PrintedLength(std::string_view text);
