#include "core/model/UserNotifier.h"

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
