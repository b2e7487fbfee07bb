#pragma once
// Start-up timing from outside the process: with KB_FIRST_FRAME_EXIT set in
// its environment, the program prints the line "first-frame" on standard
// output once its drawing view has drawn its first frame on the screen, and
// quits. bench/Startup.cpp starts the program and its own minimal window
// this way; without the variable nothing of this runs.

#include <cstdio>

class QOpenGLWidget;

// KB_FIRST_FRAME_EXIT is set.
bool FirstFrameReportRequested();

// Once view's first frame has reached the screen (its window's buffers
// swapped), writes "first-frame\n" to out, flushed, once, and ends the
// event loop without closing the windows (so no question is asked).
void ReportFirstFrame(QOpenGLWidget& view, std::FILE* out);
