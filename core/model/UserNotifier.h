#pragma once
// The prompt service: every modal question the program asks the user goes
// through `UserNotifier()`. Model and command code never open a window; the
// GUI installs its dialog service at start-up (cad/ui/QtUserNotifier.h) and
// tests install a scripted one (tests/support/RecordingNotifier.h), which
// answers without a modal loop. Until one is installed, messages go to stderr,
// a Yes/No question is answered Yes, and every other prompt is cancelled, so
// tools and tests without a GUI run on. Main thread only.
//
// Texts are the model's 8-bit strings; a line break is CR LF, as the
// language texts give it. The GUI converts both at its edge. File names are
// the file system's bytes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class EMessageKind {
    Plain,       // no icon
    Information,
    Warning,
    Error,
};

enum class EUserAnswer {
    Yes,
    No,
    Dismissed, // closed without choosing (Esc, the window's close box)
};

// One entry of a file dialog's type list: its title and its extensions
// without the dot ("Kestrabel files", {"kvx"}).
struct TFileFilter {
    std::string Title;
    std::vector<std::string> Extensions;
};

// What a file dialog shows and starts with.
struct TFileRequest {
    std::vector<TFileFilter> Filters; // in the order of the type list
    std::string Folder;               // start folder; empty: the dialog's own
    std::string FileName;             // prefilled name; may be empty
    std::string DefaultSuffix;        // added to a name without extension ("kvx"); may be empty
    bool OverwritePrompt = true;      // save dialogs: ask before replacing a file
};

// The filter line of one type: the title, then every extension in both
// lower and upper case, since the file system tells them apart:
// "Kestrabel files (*.kvx *.KVX)". An extension "*" gives "*" alone.
std::string FileFilterText(const TFileFilter& filter);

// A font as the font dialog hands it over.
struct TFontChoice {
    std::string Name;
    int32_t Size = 10; // points
    bool Bold = false;
    bool Italic = false;
};

class TUserNotifier {
public:
    virtual ~TUserNotifier() = default;
    // Shows text with one OK button and returns once the user closed it. An
    // empty caption leaves the caption to the GUI (the application's title,
    // or the platform's caption of the kind).
    virtual void ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption) = 0;
    // Asks a question with Yes and No buttons and the warning icon.
    virtual EUserAnswer AskYesNo(const std::string& text, const std::string& caption) = 0;
    // The same question with a check box below the text, captioned
    // checkText; checked holds its state before and after. The default asks
    // without the box and leaves checked alone.
    virtual EUserAnswer AskYesNoChecked(const std::string& text, const std::string& caption,
                                        const std::string& checkText, bool& checked);
    // Asks with Yes, No and Cancel buttons and the question icon; Cancel
    // and closing the box answer Dismissed. The default asks AskYesNo.
    virtual EUserAnswer AskYesNoCancel(const std::string& text, const std::string& caption);
    // The name of a file to open, or of one to save under; empty when
    // cancelled (the default).
    virtual std::string AskOpenFileName(const TFileRequest& request);
    virtual std::string AskSaveFileName(const TFileRequest& request);
    // A colour (Windows value 0x00BBGGRR) starting from current; none when
    // cancelled (the default).
    virtual std::optional<uint32_t> AskColor(uint32_t current);
    // A font starting from current; none when cancelled (the default).
    virtual std::optional<TFontChoice> AskFont(const TFontChoice& current);
    // One of the program's own modal dialogs, by its name ("frmCoord",
    // "frmLayer", "frmGrid"): exec shows it modally and returns its result
    // (1 OK, 2 Cancel, 0 closed). The GUI runs exec; the default runs
    // nothing and answers 0.
    virtual int RunDialog(std::string_view name, const std::function<int()>& exec);
};

// The notifier in force: the installed one or the stderr default.
TUserNotifier& UserNotifier();

// Installs the notifier every later message goes to and returns the one
// installed before (null for the default). Not owned: it must stay alive
// until it is replaced. Null restores the stderr default.
TUserNotifier* SetUserNotifier(TUserNotifier* notifier);
