#pragma once
// The prompt service of the model (core/UserNotifier.h) on Qt widgets.
//
// - Texts are the model's 8-bit strings, shown as plain text (never read as
//   markup); CR LF is a line break. An empty caption gives the application
//   title (cad/EventGuard.h).
// - Icons: none, information, warning, critical for Plain, Information,
//   Warning, Error; a question has the warning icon and Yes and No.
// - Escape and the window's close box on a question answer Dismissed, not
//   No: only the No button refuses (a dense grid is still drawn after
//   Escape).
// - A question with a check box shows the box below the text; its state is
//   handed back whatever the answer.
// - File dialogs list each type with its extensions in both cases
//   (FileFilterText); a save dialog adds the default suffix to a name
//   without one and asks before replacing a file when the request says so.
// - Colours go in and out as Windows values 0x00BBGGRR.
// - The program's own dialogs run their exec as given.
// - Every window is modal to the parent window given, or application-modal
//   without one.
// Install it with SetUserNotifier; main thread only.

#include "core/model/UserNotifier.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

class TQtUserNotifier final : public TUserNotifier {
public:
    explicit TQtUserNotifier(QWidget* parent = nullptr) : m_Parent(parent) {}

    // The window the boxes belong to (null: none).
    void SetParentWidget(QWidget* parent) { m_Parent = parent; }

    void ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption) override;
    EUserAnswer AskYesNo(const std::string& text, const std::string& caption) override;
    EUserAnswer AskYesNoCancel(const std::string& text, const std::string& caption) override;
    EUserAnswer AskYesNoChecked(const std::string& text, const std::string& caption, const std::string& checkText,
                                bool& checked) override;
    std::string AskOpenFileName(const TFileRequest& request) override;
    std::string AskSaveFileName(const TFileRequest& request) override;
    std::optional<uint32_t> AskColor(uint32_t current) override;
    std::optional<TFontChoice> AskFont(const TFontChoice& current) override;
    int RunDialog(std::string_view name, const std::function<int()>& exec) override;

private:
    std::string AskFileName(const TFileRequest& request, bool save);

    QPointer<QWidget> m_Parent;
};

// A model text as a widget text: Windows-1252 decoded, CR LF and lone CR
// as line feeds.
QString MessageText(const std::string& text);
// The Qt name filters of a request's type list, in order.
QStringList NameFilters(const TFileRequest& request);
