#pragma once
// Message boxes as the model asks for them. Model code never opens a window:
// it calls `UserNotifier()`, which the GUI replaces at start-up with its
// dialog service and tests with a recording fake. Until one is installed,
// messages go to stderr and every question is answered Yes, so tools and
// tests without a GUI run on. Main thread only.
//
// Texts are the model's 8-bit strings; a line break is CR LF, as the
// language texts give it. The GUI converts both at its edge.

#include <string>

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

class TUserNotifier {
public:
    virtual ~TUserNotifier() = default;
    // Shows text with one OK button and returns once the user closed it. An
    // empty caption leaves the caption to the GUI (the application's title,
    // or the platform's caption of the kind).
    virtual void ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption) = 0;
    // Asks a question with Yes and No buttons and the warning icon.
    virtual EUserAnswer AskYesNo(const std::string& text, const std::string& caption) = 0;
};

// The notifier in force: the installed one or the stderr default.
TUserNotifier& UserNotifier();

// Installs the notifier every later message goes to and returns the one
// installed before (null for the default). Not owned: it must stay alive
// until it is replaced. Null restores the stderr default.
TUserNotifier* SetUserNotifier(TUserNotifier* notifier);
