#include "cad/ui/FirstFrameReport.h"

#include <QCoreApplication>
#include <QOpenGLWidget>

#include <memory>

bool FirstFrameReportRequested()
{
    return qEnvironmentVariableIsSet("KB_FIRST_FRAME_EXIT");
}

void ReportFirstFrame(QOpenGLWidget& view, std::FILE* out)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&view, &QOpenGLWidget::frameSwapped, &view, [connection, out] {
        QObject::disconnect(*connection);
        std::fputs("first-frame\n", out);
        std::fflush(out);
        QCoreApplication::exit(0);
    });
}
