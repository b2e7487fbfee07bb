// The program's entry: the OpenGL format the scene view needs, the
// application, the start-up of the program's shared objects and main
// window (app/Program.h), and the event loop until the main window closes.
// The first command-line argument, when given, names a file that is opened
// once the main window is shown.

#include "app/GuardedApplication.h"
#include "app/frmMain.h"
#include "app/Program.h"
#include "app/mainwin/ImageLists.h"
#include "app/update/UpdateCheck.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/FirstFrameReport.h"
#include "cad/ui/QtUserNotifier.h"
#include "cad/ui/SceneViewer.h"
#include "platform/ConfigFolder.h"

#include <clocale>
#include <memory>

int main(int argc, char** argv)
{
    // Before the application exists, or the widgets get a core profile.
    UseSceneSurfaceFormat();
    TGuardedApplication app(argc, argv);
    // Qt takes the process locale from the environment; numbers that
    // libraries read and write as text (OSG's readers) must keep ".".
    std::setlocale(LC_NUMERIC, "C");
    UseProgramIconTheme();

    // About one start in twenty checks for an update by itself.
    PickStartupUpdateCheck();

    TStartOptions options;
    options.ProgramFolder = ProgramFolder();
    options.ConfigFolder = ConfigFolderPath(TConfigFolderEnv::FromProcess());
    // QApplication has taken its own options out of argv.
    if (argc > 1)
        options.FileToOpen = argv[1];

    // A start-up that fails is shown in a message box too: the program
    // installs its own boxes, and puts these back when it goes.
    TQtUserNotifier startupErrors;
    TUserNotifier* previousNotifier = SetUserNotifier(&startupErrors);
    std::unique_ptr<TProgram> program;
    int result = 1;
    if (GuardedCall([&] { program = std::make_unique<TProgram>(options); })) {
        if (FirstFrameReportRequested())
            ReportFirstFrame(program->MainWindow().GraphicView(), stdout);
        program->Show();
        result = app.exec();
        program.reset();
    }
    SetUserNotifier(previousNotifier);
    return result;
}
