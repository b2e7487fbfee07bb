#pragma once
// A prompt service for tests: installs itself for its lifetime, records
// every message and prompt, and answers each prompt from a queue of scripted
// answers of its kind; no modal loop ever runs. Without a scripted answer a
// Yes/No question gets DefaultAnswer and every other prompt is cancelled;
// with Strict set, a prompt without a scripted answer also fails the test.

#include "core/model/UserNotifier.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kbtest {

class TRecordingNotifier final : public TUserNotifier {
public:
    struct TMessage {
        EMessageKind Kind;
        std::string Text;
        std::string Caption;
        bool Question; // asked with AskYesNo or AskYesNoChecked
    };

    TRecordingNotifier();
    ~TRecordingNotifier() override;
    TRecordingNotifier(const TRecordingNotifier&) = delete;
    TRecordingNotifier& operator=(const TRecordingNotifier&) = delete;

    void ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption) override;
    EUserAnswer AskYesNo(const std::string& text, const std::string& caption) override;
    EUserAnswer AskYesNoChecked(const std::string& text, const std::string& caption, const std::string& checkText,
                                bool& checked) override;
    EUserAnswer AskYesNoCancel(const std::string& text, const std::string& caption) override;
    std::string AskOpenFileName(const TFileRequest& request) override;
    std::string AskSaveFileName(const TFileRequest& request) override;
    std::optional<uint32_t> AskColor(uint32_t current) override;
    std::optional<TFontChoice> AskFont(const TFontChoice& current) override;
    int RunDialog(std::string_view name, const std::function<int()>& exec) override;

    // Scripted answers, each queue used in order.
    void QueueAnswer(EUserAnswer answer) { m_Answers.push_back(answer); }
    // A Yes/No answer and the state the check box is left in. A question
    // with a check box without one of these takes a QueueAnswer answer.
    void QueueChecked(EUserAnswer answer, bool checked) { m_Checked.push_back({answer, checked}); }
    // The name an open or save dialog gives back (empty: cancelled).
    void QueueFileName(std::string name) { m_FileNames.push_back(std::move(name)); }
    void QueueColor(std::optional<uint32_t> color) { m_Colors.push_back(color); }
    void QueueFont(std::optional<TFontChoice> font) { m_Fonts.push_back(std::move(font)); }
    // The program's dialog of that name: answer runs in place of its modal
    // loop (it may fill the dialog's fields) and gives its result.
    void QueueDialog(std::string name, std::function<int()> answer)
    {
        m_Dialogs.push_back({std::move(name), std::move(answer)});
    }

    const std::vector<TMessage>& Messages() const { return m_Messages; }
    // Every prompt in order, as "<kind> <what>": "question 451", "yesnocancel 451",
    // "checked 452", "open", "save", "color", "font", "dialog frmCoord".
    const std::vector<std::string>& Prompts() const { return m_Prompts; }
    // The request of the last file dialog.
    const TFileRequest& LastFileRequest() const { return m_LastFileRequest; }
    // The check box text of the last checked question.
    const std::string& LastCheckText() const { return m_LastCheckText; }
    void Clear()
    {
        m_Messages.clear();
        m_Prompts.clear();
    }

    EUserAnswer DefaultAnswer = EUserAnswer::Yes;
    bool Strict = false;

private:
    struct TChecked {
        EUserAnswer Answer;
        bool Checked;
    };
    struct TDialog {
        std::string Name;
        std::function<int()> Answer;
    };

    // Records the prompt; fails the test when strict and nothing is scripted.
    void Prompt(const std::string& what, bool scripted);
    std::string FileName(const TFileRequest& request, const char* kind);

    TUserNotifier* m_Previous;
    std::vector<TMessage> m_Messages;
    std::vector<std::string> m_Prompts;
    std::deque<EUserAnswer> m_Answers;
    std::deque<TChecked> m_Checked;
    std::deque<std::string> m_FileNames;
    std::deque<std::optional<uint32_t>> m_Colors;
    std::deque<std::optional<TFontChoice>> m_Fonts;
    std::deque<TDialog> m_Dialogs;
    TFileRequest m_LastFileRequest;
    std::string m_LastCheckText;
};

} // namespace kbtest
