#pragma once
// What the benchmarks that time work in the program's real window share:
// the program started as main starts it (settings in a scratch folder, the
// build's data folder, no message boxes) and shown, a writer of the DXF
// drawings they open, and a count of the entity tree's entity nodes.
// The benchmark's target defines KB_DATA_DIR (bench/CMakeLists.txt).

#include "app/Program.h"
#include "app/frmMain.h"
#include "cad/ui/GeoTreeView.h"

#include <QCoreApplication>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <charconv>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace kbbench {

// The program on the settings of configFolder, its window shown and
// exposed; null when no window could be shown (no display).
inline std::unique_ptr<TProgram> StartProgramWindow(const std::filesystem::path& configFolder)
{
    TStartOptions options;
    options.ProgramFolder = KB_DATA_DIR;
    options.ConfigFolder = configFolder.string();
    options.InstallMessageBoxes = false;
    auto program = std::make_unique<TProgram>(options);
    program->Show();
    if (!QTest::qWaitForWindowExposed(&program->MainWindow()))
        return nullptr;
    QCoreApplication::processEvents();
    return program;
}

// Group codes and values of a DXF file, the numbers in fixed notation with
// four decimals.
class TDxfWriter {
public:
    explicit TDxfWriter(std::ostream& out) : m_Out(out) {}
    void Pair(int code, std::string_view value) { m_Out << code << '\n' << value << '\n'; }
    void Pair(int code, double value)
    {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4).ptr;
        Pair(code, std::string_view(buffer, static_cast<size_t>(end - buffer)));
    }

private:
    std::ostream& m_Out;
};

// The entity nodes (level 2) of the tree.
inline int EntityNodes(const QTreeWidget& tree)
{
    int count = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it)
        count += TGeoTreeView::NodeLevel(*it) == 2 ? 1 : 0;
    return count;
}

} // namespace kbbench
