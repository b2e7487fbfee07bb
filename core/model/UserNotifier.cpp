#include "core/model/UserNotifier.h"

#include "platform/AsciiText.h"

#include <cstdio>

namespace {

const char* KindWord(EMessageKind kind)
{
    switch (kind) {
    case EMessageKind::Information:
        return "information";
    case EMessageKind::Warning:
        return "warning";
    case EMessageKind::Error:
        return "error";
    case EMessageKind::Plain:
        break;
    }
    return "message";
}

void WriteLine(const char* kind, const std::string& caption, const std::string& text)
{
    std::string line = kind;
    if (!caption.empty())
        line += " [" + caption + "]";
    line += ": " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

// No window to show: the message goes to stderr and questions get Yes, the
// answer that lets unattended work go on.
class TStderrNotifier final : public TUserNotifier {
public:
    void ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption) override
    {
        WriteLine(KindWord(kind), caption, text);
    }
    EUserAnswer AskYesNo(const std::string& text, const std::string& caption) override
    {
        WriteLine("question (answered Yes)", caption, text);
        return EUserAnswer::Yes;
    }
};

TUserNotifier& StderrNotifier()
{
    static TStderrNotifier notifier;
    return notifier;
}

TUserNotifier* g_Notifier = nullptr;

} // namespace

TUserNotifier& UserNotifier() { return g_Notifier ? *g_Notifier : StderrNotifier(); }

TUserNotifier* SetUserNotifier(TUserNotifier* notifier)
{
    TUserNotifier* previous = g_Notifier;
    g_Notifier = notifier;
    return previous;
}

std::string FileFilterText(const TFileFilter& filter)
{
    std::string patterns;
    const auto add = [&patterns](const std::string& pattern) {
        if (!patterns.empty())
            patterns += ' ';
        patterns += pattern;
    };
    for (const std::string& extension : filter.Extensions) {
        if (extension == "*") {
            add("*");
            continue;
        }
        const std::string lower = AsciiLowerCopy(extension);
        const std::string upper = AsciiUpperCopy(extension);
        add("*." + lower);
        if (upper != lower)
            add("*." + upper);
    }
    return filter.Title + " (" + patterns + ")";
}

EUserAnswer TUserNotifier::AskYesNoChecked(const std::string& text, const std::string& caption,
                                           const std::string&, bool&)
{
    return AskYesNo(text, caption);
}

EUserAnswer TUserNotifier::AskYesNoCancel(const std::string& text, const std::string& caption)
{
    return AskYesNo(text, caption);
}

std::string TUserNotifier::AskOpenFileName(const TFileRequest&) { return std::string(); }

std::string TUserNotifier::AskSaveFileName(const TFileRequest&) { return std::string(); }

std::optional<uint32_t> TUserNotifier::AskColor(uint32_t) { return std::nullopt; }

std::optional<TFontChoice> TUserNotifier::AskFont(const TFontChoice&) { return std::nullopt; }

int TUserNotifier::RunDialog(std::string_view, const std::function<int()>&) { return 0; }
