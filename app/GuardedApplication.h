#pragma once
// The application object of the program: a QApplication whose event
// delivery is the last guard against exceptions. Every handler of ours
// already runs inside GuardedCall (cad/EventGuard.h); an exception that
// still reaches the event loop is shown the same way and the event counts
// as handled, instead of ending the program.

#include <QApplication>

class TGuardedApplication final : public QApplication {
public:
    TGuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
