#pragma once
// The one guard around everything that runs from a widget event handler:
// no exception may leave a toolkit event handler. An exception is shown as
// the application's default handler shows it, its text in an error box
// titled with the application title, and then swallowed. Qt-free, so that
// model code (the interaction program) reports the same way.

#include <exception>
#include <string>
#include <utility>

// The application title; "Kestrabel 3" until the application sets its own.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// The error box of the default handler: the exception's text, caption the
// application title (through core/UserNotifier.h).
void ShowExceptionMessage(const std::exception& e);
// The same box for the text of an exception already caught.
void ShowExceptionText(const std::string& text);

// Runs fn. An exception derived from std::exception is shown with
// ShowExceptionMessage and swallowed; the result tells whether fn ran
// through.
template <class F> bool GuardedCall(F&& fn)
{
    try {
        std::forward<F>(fn)();
        return true;
    } catch (const std::exception& e) {
        ShowExceptionMessage(e);
        return false;
    }
}
