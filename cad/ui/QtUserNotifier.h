#pragma once
// The message boxes of the model (core/UserNotifier.h) as QMessageBox.
//
// - Texts are the model's 8-bit strings, shown as plain text (never read as
//   markup); CR LF is a line break. An empty caption gives the application
//   title (cad/EventGuard.h).
// - Icons: none, information, warning, critical for Plain, Information,
//   Warning, Error; a question has the warning icon and Yes and No.
// - Escape and the window's close box on a question answer Dismissed, not
//   No: only the No button refuses (a dense grid is still drawn after
//   Escape).
// - The boxes are modal to the parent window given, or application-modal
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

private:
    QPointer<QWidget> m_Parent;
};

// A model text as a widget text: Windows-1252 decoded, CR LF and lone CR
// as line feeds.
QString MessageText(const std::string& text);
