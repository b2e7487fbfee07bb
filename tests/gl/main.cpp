// The OpenGL widget tests: the scene's surface format before the
// application exists, then GoogleTest. Run under a display (xvfb-run).
#include "cad/ui/SceneViewer.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <dlfcn.h>

int main(int argc, char** argv)
{
    // Mesa unloads its software driver at exit, before the leak check
    // runs: the driver's own caches then look leaked. Keeping the driver
    // loaded keeps them reachable. Without that driver nothing happens.
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);

    UseSceneSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
