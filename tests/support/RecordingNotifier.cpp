#include "tests/support/RecordingNotifier.h"

namespace kbtest {

TRecordingNotifier::TRecordingNotifier() : m_Previous(SetUserNotifier(this)) {}

TRecordingNotifier::~TRecordingNotifier() { SetUserNotifier(m_Previous); }

void TRecordingNotifier::ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption)
{
    m_Messages.push_back({kind, text, caption, false});
}

EUserAnswer TRecordingNotifier::AskYesNo(const std::string& text, const std::string& caption)
{
    m_Messages.push_back({EMessageKind::Warning, text, caption, true});
    if (m_Answers.empty())
        return DefaultAnswer;
    const EUserAnswer answer = m_Answers.front();
    m_Answers.pop_front();
    return answer;
}

} // namespace kbtest
