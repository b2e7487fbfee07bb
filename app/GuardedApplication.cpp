#include "app/GuardedApplication.h"

#include "cad/program/EventGuard.h"

TGuardedApplication::TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = true;
    GuardedCall([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
