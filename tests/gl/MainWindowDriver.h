#pragma once
// Drives the real main window as a person would: keys and mouse events go
// to the window's platform window (Qt's own entry for window-system
// events), so shortcuts, the window's key preview and the focus widget all
// take part; what the window shows is read back from the screen, without
// asking the view to paint first.

#include "app/Program.h"

#include "core/geometry/Points.h"

#include <QImage>
#include <QMenu>
#include <QPoint>

#include <memory>
#include <stdexcept>
#include <string>

namespace kbtest {

class TMainWindowDriver {
public:
    // Starts the program (configuration in folder) and shows its window;
    // with a file, waits until the start-up open of it is done.
    TMainWindowDriver(const std::string& configFolder, const std::string& fileToOpen,
                      const std::string& programFolder = KB_DATA_DIR);
    ~TMainWindowDriver();

    TProgram& Program() const { return *m_Program; }
    // The window was shown, active, and the file (if any) opened.
    bool Ready() const { return m_Ready; }

    // A key pressed and released in the main window, wherever the focus is.
    void Key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    // The pointer moved to, or a left click at, the drawing point p.
    void MoveTo(const TPoint2D& p) const;
    void ClickAt(const TPoint2D& p) const;
    // Lets the window handle what is waiting (repaints included).
    static void Settle();
    // What the view shows on the screen now, in the view's own pixels.
    QImage ShownView() const;
    // The view's pixel of a drawing point.
    TIntPoint Pixel(const TPoint2D& p) const;

private:
    QPoint WindowPoint(const TPoint2D& p) const;

    std::unique_ptr<TProgram> m_Program;
    bool m_Ready = false;
};

// The child of parent named name, searched recursively; a test that asks
// for a control the window does not have stops with its name.
template <class T> T& Child(const QObject& parent, const char* name)
{
    auto* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no ") + name);
    return *found;
}

// The window's picture with a shown popup menu drawn into it where it stands.
QImage WithMenu(QWidget& window, QMenu& menu);

// The sample drawing that the program ships.
std::string SampleDrawing();

} // namespace kbtest
