#include "tests/support/RecordingNotifier.h"

#include <gtest/gtest.h>

namespace kbtest {

namespace {

template <class T> std::optional<T> Take(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

TRecordingNotifier::TRecordingNotifier() : m_Previous(SetUserNotifier(this)) {}

TRecordingNotifier::~TRecordingNotifier() { SetUserNotifier(m_Previous); }

void TRecordingNotifier::Prompt(const std::string& what, bool scripted)
{
    m_Prompts.push_back(what);
    if (Strict && !scripted)
        ADD_FAILURE() << "unexpected prompt: " << what;
}

void TRecordingNotifier::ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption)
{
    m_Messages.push_back({kind, text, caption, false});
}

EUserAnswer TRecordingNotifier::AskYesNo(const std::string& text, const std::string& caption)
{
    m_Messages.push_back({EMessageKind::Warning, text, caption, true});
    Prompt("question " + text, !m_Answers.empty());
    return Take(m_Answers).value_or(DefaultAnswer);
}

EUserAnswer TRecordingNotifier::AskYesNoCancel(const std::string& text, const std::string& caption)
{
    m_Messages.push_back({EMessageKind::Warning, text, caption, true});
    Prompt("yesnocancel " + text, !m_Answers.empty());
    return Take(m_Answers).value_or(DefaultAnswer);
}

EUserAnswer TRecordingNotifier::AskYesNoChecked(const std::string& text, const std::string& caption,
                                                const std::string& checkText, bool& checked)
{
    m_Messages.push_back({EMessageKind::Warning, text, caption, true});
    m_LastCheckText = checkText;
    // A plain scripted answer serves too and leaves the box as it is.
    Prompt("checked " + text, !m_Checked.empty() || !m_Answers.empty());
    const std::optional<TChecked> answer = Take(m_Checked);
    if (!answer)
        return Take(m_Answers).value_or(DefaultAnswer);
    checked = answer->Checked;
    return answer->Answer;
}

std::string TRecordingNotifier::FileName(const TFileRequest& request, const char* kind)
{
    m_LastFileRequest = request;
    Prompt(kind, !m_FileNames.empty());
    return Take(m_FileNames).value_or(std::string());
}

std::string TRecordingNotifier::AskOpenFileName(const TFileRequest& request) { return FileName(request, "open"); }

std::string TRecordingNotifier::AskSaveFileName(const TFileRequest& request) { return FileName(request, "save"); }

std::optional<uint32_t> TRecordingNotifier::AskColor(uint32_t)
{
    Prompt("color", !m_Colors.empty());
    return Take(m_Colors).value_or(std::nullopt);
}

std::optional<TFontChoice> TRecordingNotifier::AskFont(const TFontChoice&)
{
    Prompt("font", !m_Fonts.empty());
    return Take(m_Fonts).value_or(std::nullopt);
}

int TRecordingNotifier::RunDialog(std::string_view name, const std::function<int()>&)
{
    const bool scripted = !m_Dialogs.empty() && m_Dialogs.front().Name == name;
    Prompt("dialog " + std::string(name), scripted);
    if (!scripted)
        return 0;
    const std::optional<TDialog> dialog = Take(m_Dialogs);
    return dialog->Answer ? dialog->Answer() : 0;
}

} // namespace kbtest
