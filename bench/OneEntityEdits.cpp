// One entity edited in the program's window, on a drawing of 1,000 lines
// and on one of 100,000 lines (or as many as the first argument says), in
// the same run: the time of each operation at both sizes and their ratio,
// which should stay near 1 (an operation on one entity should not grow
// with the drawing).
//
// Each drawing is a DXF of lines on four layers, opened through the
// File/Open command (TFileCommands::OpenGeo) in the program started as main
// starts it (bench/ProgramWindow.h); the entity's layer is expanded in the
// entity tree, as it is when the user picks the entity there. Then, for
// lines from the middle of the drawing, one after the other, each of these
// is timed:
// - TreeDelete: the tree's popup Delete on the line's node
//   (TTreeCommands::mnuGeoDeleteClick);
// - Undo: the undo button (TToolbarCommands::sbtUndoClick), which brings
//   it back;
// - CommandDelete: the delete command's end on a selection of that line
//   (TMyCancella, as the pick and window selections hand it over; the pick
//   itself is measured by bench_ObjectIndex);
// - UndoAgain: the undo button again;
// - TreeSelect: a click on the line's node (QTreeWidget::itemClicked: the
//   properties panel shows the line, the view draws it as the dragged
//   object, the tree's own click handler runs).
// After each the tree's rows are painted (TreePaint, timed apart, into an
// image: QWidget::grab; Qt lays out the expanded rows anew after a row is
// added or removed), then the window's events are processed (WindowPaint:
// the view's frame, which draws the whole drawing and so grows with it by
// nature), so that no operation pays for what the one before left to
// paint. CommandDelete pays for one of each itself: the idle state that
// follows the command shows its prompt at once, and that repaint paints
// the whole window.
// There is no redo in the program; a delete after an undo is the next
// round's TreeDelete.
//
// Needs a display with OpenGL and the program's data folder (the build's
// bin/): run it under
//   xvfb-run -a -s "-screen 0 1280x800x24" build-rel/bin/bench_OneEntityEdits [lines]
// (Plain main, not Google Benchmark: the operations follow each other on
// one drawing, each undoing what the one before did.)

#include "app/FileCommands.h"
#include "app/mainwin/ToolbarCommands.h"
#include "app/mainwin/TreeCommands.h"
#include "bench/ProgramWindow.h"
#include "cad/edit/MyCancella.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cad/ui/SceneViewer.h"
#include "core/model/QV_01Cmp2D.h"

#include <QApplication>
#include <QPixmap>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int SmallDrawing = 1000;
constexpr int Rounds = 15;

const std::array<const char*, 7> OperationNames{"TreeDelete", "Undo",      "CommandDelete", "UndoAgain",
                                               "TreeSelect", "TreePaint", "WindowPaint"};

// Keeps the painted image from being optimised away.
void KeepImage(const QPixmap& pixmap)
{
    static volatile qint64 s_Key = 0;
    s_Key = s_Key + pixmap.cacheKey();
}

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Line i sits in cell i of a grid 1000 cells wide, on layer L(i % 4).
void WriteLines(const std::string& fileName, int count)
{
    std::ofstream file(fileName, std::ios::binary);
    kbbench::TDxfWriter w(file);
    w.Pair(0, "SECTION");
    w.Pair(2, "ENTITIES");
    for (int i = 0; i < count; ++i) {
        const double x = (i % 1000) * 10.0;
        const double y = (i / 1000) * 10.0;
        w.Pair(0, "LINE");
        w.Pair(8, "L" + std::to_string(i % 4));
        w.Pair(10, x);
        w.Pair(20, y);
        w.Pair(11, x + 8.0);
        w.Pair(21, y + 5.0);
    }
    w.Pair(0, "ENDSEC");
    w.Pair(0, "EOF");
}

// Median milliseconds of each operation on one drawing; empty when the
// window could not be shown or the drawing did not open whole.
std::map<std::string, double> TimeEdits(const std::filesystem::path& folder, int count)
{
    const std::string file = (folder / ("lines-" + std::to_string(count) + ".dxf")).string();
    WriteLines(file, count);
    const std::unique_ptr<TProgram> started = kbbench::StartProgramWindow(folder / "config");
    if (!started)
        return {};
    TProgram& program = *started;
    TfrmMain& window = program.MainWindow();
    TQV_01Cmp2D& document = program.Document();
    auto* tree = dynamic_cast<TGeoTreeView*>(document.TreeGeo());
    window.FileCommands().OpenGeo(file, false);
    // The tree's tab in front, where the user picks the entity.
    QTabWidget& tabs = window.GeoCncTabs();
    for (int i = 0; tree && i < tabs.count(); ++i) {
        if (tabs.widget(i)->isAncestorOf(tree))
            tabs.setCurrentIndex(i);
    }
    QCoreApplication::processEvents();
    if (!tree || !tree->isVisible() || document.ObjectsCount() != count || kbbench::EntityNodes(*tree) != count)
        return {};

    std::map<std::string, std::vector<double>> times;
    auto timed = [&](const char* name, const std::function<void()>& operation) {
        const auto start = std::chrono::steady_clock::now();
        operation();
        times[name].push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        const auto paint = std::chrono::steady_clock::now();
        KeepImage(tree->viewport()->grab());
        times["TreePaint"].push_back(Milliseconds(std::chrono::steady_clock::now() - paint));
        // Then the window's own repaint (the view's frame), so that the next
        // operation starts from a window with nothing left to paint.
        const auto frame = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        times["WindowPaint"].push_back(Milliseconds(std::chrono::steady_clock::now() - frame));
    };
    auto node = [&](int32_t id) { return tree->Item(document.GetObject(id)->TreeNode()); };
    for (int round = 0; round < Rounds; ++round) {
        // Lines of one layer from the middle on: the objects read in order
        // have the IDs 0, 1, 2...
        const int32_t id = count / 2 + 4 * round;
        QTreeWidgetItem* item = node(id);
        tree->expandItem(item->parent());
        tree->setCurrentItem(item);
        tree->scrollToItem(item);
        QCoreApplication::processEvents();
        timed("TreeDelete", [&] { window.TreeCommands().mnuGeoDeleteClick(); });
        timed("Undo", [&] { window.ToolbarCommands().sbtUndoClick(); });
        auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr);
        selection->Select(*document.GetObject(id));
        timed("CommandDelete",
              [&] { program.Prg().StartOperation(StateClassOf<TMyCancella>(), std::move(selection)); });
        timed("UndoAgain", [&] { window.ToolbarCommands().sbtUndoClick(); });
        QTreeWidgetItem* back = node(id);
        timed("TreeSelect", [&] { Q_EMIT tree->itemClicked(back, 0); });
        QCoreApplication::processEvents();
        if (document.ObjectsCount() != count || kbbench::EntityNodes(*tree) != count) {
            std::fprintf(stderr, "round %d did not leave the drawing whole\n", round);
            return {};
        }
    }
    std::map<std::string, double> medians;
    for (const auto& [name, values] : times)
        medians[name] = Median(values);
    return medians;
}

} // namespace

int main(int argc, char** argv)
{
    UseSceneSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int large = argc > 1 ? std::max(SmallDrawing, std::atoi(argv[1])) : 100000;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kb-edit-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "config");
    const std::map<std::string, double> small = TimeEdits(folder, SmallDrawing);
    const std::map<std::string, double> big = TimeEdits(folder, large);
    std::filesystem::remove_all(folder);
    if (small.empty() || big.empty()) {
        std::fprintf(stderr, "the window was not shown or a drawing did not open whole (no display?)\n");
        return 1;
    }
    std::printf("median of %d rounds, ms      %10d lines %10d lines   ratio\n", Rounds, SmallDrawing, large);
    for (const char* name : OperationNames)
        std::printf("%-28s %16.3f %16.3f %7.2f\n", name, small.at(name), big.at(name), big.at(name) / small.at(name));
    std::printf("(aim: each ratio near 1, each operation under 1 ms at %d lines)\n", large);
    return 0;
}
