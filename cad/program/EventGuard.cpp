#include "cad/program/EventGuard.h"

#include "core/model/UserNotifier.h"

namespace {

std::string& TitleStore()
{
    static std::string title = "Kestrabel 3";
    return title;
}

} // namespace

const std::string& ApplicationTitle() { return TitleStore(); }

void SetApplicationTitle(const std::string& title) { TitleStore() = title; }

void ShowExceptionMessage(const std::exception& e) { ShowExceptionText(e.what()); }

void ShowExceptionText(const std::string& text)
{
    UserNotifier().ShowMessage(EMessageKind::Error, text, ApplicationTitle());
}
