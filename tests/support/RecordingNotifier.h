#pragma once
// A notifier for tests: installs itself for its lifetime, records every
// message and question, and answers questions from a queue of scripted
// answers (then with DefaultAnswer).

#include "core/model/UserNotifier.h"

#include <deque>
#include <string>
#include <vector>

namespace kbtest {

class TRecordingNotifier final : public TUserNotifier {
public:
    struct TMessage {
        EMessageKind Kind;
        std::string Text;
        std::string Caption;
        bool Question; // asked with AskYesNo
    };

    TRecordingNotifier();
    ~TRecordingNotifier() override;
    TRecordingNotifier(const TRecordingNotifier&) = delete;
    TRecordingNotifier& operator=(const TRecordingNotifier&) = delete;

    void ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption) override;
    EUserAnswer AskYesNo(const std::string& text, const std::string& caption) override;

    void QueueAnswer(EUserAnswer answer) { m_Answers.push_back(answer); }
    const std::vector<TMessage>& Messages() const { return m_Messages; }
    void Clear() { m_Messages.clear(); }

    EUserAnswer DefaultAnswer = EUserAnswer::Yes;

private:
    TUserNotifier* m_Previous;
    std::vector<TMessage> m_Messages;
    std::deque<EUserAnswer> m_Answers;
};

} // namespace kbtest
