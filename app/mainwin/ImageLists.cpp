#include "app/mainwin/ImageLists.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QToolButton>

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr const char* IndexProperty = "ImageIndex";
constexpr const char* ListProperty = "ImageList";
// The icon theme the program ships with (Debian's breeze-icon-theme).
constexpr const char* ProgramTheme = "breeze";

// One picture: the desktop's standard icon by its freedesktop name, or a
// drawing of our own (":/icons/<name>.svg"). Exactly one of the two is set.
struct TPicture {
    const char* Theme;
    const char* Own;
};

using L = TImageList;
using TKey = std::pair<TImageList, int>;

TPicture Std(const char* name) { return {name, nullptr}; }
TPicture Own(const char* name) { return {nullptr, name}; }

const std::map<TKey, TPicture>& Pictures()
{
    static const std::map<TKey, TPicture> pictures = {
        // File toolbar, the help drop-down, the machining menu and the
        // operations and geometry popups.
        {{L::File, 0}, Std("document-new")},       {{L::File, 1}, Std("document-open")},
        {{L::File, 2}, Own("merge")},              {{L::File, 3}, Std("document-save")},
        {{L::File, 4}, Own("vectorize")},          {{L::File, 5}, Own("machining")},
        {{L::File, 6}, Std("help-contents")},      {{L::File, 7}, Std("application-exit")},
        {{L::File, 8}, Std("mail-message-new")},   {{L::File, 9}, Own("web")},
        {{L::File, 10}, Own("contour")},           {{L::File, 11}, Own("pocket")},
        {{L::File, 12}, Own("drilling")},          {{L::File, 13}, Own("gcode-editor")},
        {{L::File, 14}, Std("configure")},         {{L::File, 15}, Own("post")},
        {{L::File, 16}, Std("edit-delete")},       {{L::File, 17}, Own("simulate")},
        {{L::File, 18}, Own("toolpath-show")},     {{L::File, 19}, Own("operation-onoff")},
        {{L::File, 20}, Own("layers-all")},        {{L::File, 21}, Own("layer-onoff")},
        {{L::File, 22}, Own("layers")},            {{L::File, 23}, Own("layer-one")},
        {{L::File, 25}, Own("update")},            {{L::File, 26}, Std("help-about")},
        {{L::File, 27}, Std("documentation")},     {{L::File, 28}, Std("edit-delete")},
        {{L::File, 29}, Own("finishing-3d")},      {{L::File, 36}, Own("machine")},
        {{L::File, 37}, Std("document-save-as")},  {{L::File, 38}, Own("letters")},
        // View toolbar.
        {{L::View, 0}, Std("zoom-in")},            {{L::View, 1}, Std("zoom-fit-best")},
        {{L::View, 2}, Std("zoom-out")},           {{L::View, 3}, Std("zoom-select")},
        {{L::View, 4}, Std("transform-move")},     {{L::View, 5}, Std("view-refresh")},
        {{L::View, 6}, Own("view-top")},           {{L::View, 7}, Own("view-front")},
        {{L::View, 8}, Own("view-side")},          {{L::View, 9}, Own("view-iso")},
        // Create toolbar and the recent drawing commands.
        {{L::Create, 0}, Own("point")},            {{L::Create, 1}, Own("point-grid")},
        {{L::Create, 2}, Own("bolt-circle")},      {{L::Create, 3}, Own("points-along")},
        {{L::Create, 4}, Own("line")},             {{L::Create, 5}, Own("line-polar")},
        {{L::Create, 6}, Own("line-perpendicular")}, {{L::Create, 7}, Own("line-tangent-arcs")},
        {{L::Create, 8}, Own("line-tangent-angle")}, {{L::Create, 9}, Own("rectangle")},
        {{L::Create, 10}, Own("circle")},          {{L::Create, 11}, Own("circle-diameter")},
        {{L::Create, 12}, Own("arc")},             {{L::Create, 13}, Own("arc-polar")},
        {{L::Create, 14}, Own("arc-tangent-1")},   {{L::Create, 15}, Own("arc-tangent-2")},
        {{L::Create, 16}, Own("ellipse")},         {{L::Create, 17}, Own("ellipse-open")},
        {{L::Create, 18}, Own("polyline")},        {{L::Create, 19}, Own("spline")},
        {{L::Create, 20}, Own("label")},           {{L::Create, 21}, Own("text-truetype")},
        {{L::Create, 22}, Own("text-single-line")}, {{L::Create, 23}, Own("arc-3pt")},
        {{L::Create, 24}, Own("circle-3pt")},
        // Edit toolbar and the recent edit commands.
        {{L::Modify, 0}, Std("edit-delete")},      {{L::Modify, 1}, Own("delete-window")},
        {{L::Modify, 2}, Own("delete-small")},     {{L::Modify, 3}, Own("fillet")},
        {{L::Modify, 4}, Own("trim")},             {{L::Modify, 5}, Own("break")},
        {{L::Modify, 6}, Own("divide")},           {{L::Modify, 7}, Own("join")},
        {{L::Modify, 8}, Own("extend")},           {{L::Modify, 9}, Own("explode")},
        {{L::Modify, 10}, Own("move-node")},       {{L::Modify, 11}, Own("change-layer")},
        {{L::Modify, 12}, Own("simplify")},        {{L::Modify, 13}, Own("move")},
        {{L::Modify, 14}, Own("rotate")},          {{L::Modify, 15}, Own("mirror")},
        {{L::Modify, 16}, Own("scale")},           {{L::Modify, 17}, Own("offset")},
        {{L::Modify, 18}, Own("info")},            {{L::Modify, 19}, Own("distance")},
        {{L::Modify, 20}, Own("end-points")},      {{L::Modify, 21}, Std("edit-undo")},
        {{L::Modify, 22}, Own("select")},
        // Status bar: the snap modes, the same with grid snap, the switches.
        {{L::Status, 0}, Own("snap-none")},        {{L::Status, 1}, Own("snap-end")},
        {{L::Status, 2}, Own("snap-middle")},      {{L::Status, 3}, Own("snap-centre")},
        {{L::Status, 4}, Own("snap-point")},       {{L::Status, 5}, Own("snap-auto")},
        {{L::Status, 6}, Own("snap-none-grid")},   {{L::Status, 7}, Own("snap-end-grid")},
        {{L::Status, 8}, Own("snap-middle-grid")}, {{L::Status, 9}, Own("snap-centre-grid")},
        {{L::Status, 10}, Own("snap-point-grid")}, {{L::Status, 11}, Own("snap-auto-grid")},
        {{L::Status, 12}, Own("ortho")},           {{L::Status, 13}, Own("window-select")},
        {{L::Status, 14}, Own("axes")},            {{L::Status, 15}, Own("grid")},
        {{L::Status, 16}, Own("cancel")},          {{L::Status, 17}, Own("done")},
        // Operations tree and its popup.
        {{L::Cnc, 0}, Own("machining")},           {{L::Cnc, 1}, Own("operation")},
        {{L::Cnc, 2}, Own("operation-open")},      {{L::Cnc, 3}, Own("parameters")},
        {{L::Cnc, 4}, Own("toolpath")},            {{L::Cnc, 5}, Own("operation-off")},
        {{L::Cnc, 6}, Own("program-write")},       {{L::Cnc, 7}, Own("parameters-changed")},
        {{L::Cnc, 8}, Own("toolpath-to-geometry")},
        // Geometry tree: the drawing, its layers and the kinds of entity.
        {{L::TreeGeo, 0}, Own("drawing")},         {{L::TreeGeo, 1}, Own("layer-visible")},
        {{L::TreeGeo, 2}, Own("point")},           {{L::TreeGeo, 3}, Own("line")},
        {{L::TreeGeo, 4}, Own("rectangle")},       {{L::TreeGeo, 5}, Own("arc")},
        {{L::TreeGeo, 6}, Own("circle")},          {{L::TreeGeo, 7}, Own("curve")},
        {{L::TreeGeo, 8}, Own("polyline")},        {{L::TreeGeo, 9}, Own("spline")},
        {{L::TreeGeo, 10}, Own("bitmap")},         {{L::TreeGeo, 11}, Own("layer-hidden")},
        {{L::TreeGeo, 12}, Own("block")},          {{L::TreeGeo, 13}, Own("text-single-line")},
        {{L::TreeGeo, 14}, Own("stl-surface")},
        // The simulation toolbars: previous, play, stop, to the start, step, next.
        {{L::Sim, 0}, Std("media-skip-backward")}, {{L::Sim, 1}, Std("media-playback-start")},
        {{L::Sim, 2}, Std("media-playback-stop")}, {{L::Sim, 3}, Std("media-seek-backward")},
        {{L::Sim, 4}, Std("media-seek-forward")},  {{L::Sim, 5}, Std("media-skip-forward")},
    };
    return pictures;
}

// The shipped theme's folder, where any of Qt's theme search paths has it.
bool ProgramThemeInstalled()
{
    const QStringList paths = QIcon::themeSearchPaths();
    return std::any_of(paths.begin(), paths.end(), [](const QString& path) {
        return QFileInfo::exists(QDir(path).filePath(QString::fromLatin1(ProgramTheme) + "/index.theme"));
    });
}

} // namespace

void UseProgramIconTheme()
{
    static const bool done = [] {
        // Platforms without a desktop theme (offscreen, a bare X server)
        // know no icon folders but the resources: add the system's.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
            const QString icons = QDir(data).filePath(QStringLiteral("icons"));
            if (!paths.contains(icons) && QFileInfo(icons).isDir())
                paths.append(icons);
        }
        QIcon::setThemeSearchPaths(paths);
        QIcon::setFallbackThemeName(QString::fromLatin1(ProgramTheme));
        if (ProgramThemeInstalled())
            QIcon::setThemeName(QString::fromLatin1(ProgramTheme));
        return true;
    }();
    (void)done;
}

const std::vector<TImageList>& AllImageLists()
{
    static const std::vector<TImageList> lists = {L::File,   L::View, L::Create,  L::Modify,
                                                  L::Status, L::Cnc,  L::TreeGeo, L::Sim};
    return lists;
}

const char* ImageListName(TImageList list)
{
    switch (list) {
    case L::File: return "File";
    case L::View: return "View";
    case L::Create: return "Create";
    case L::Modify: return "Modify";
    case L::Status: return "Status";
    case L::Cnc: return "Cnc";
    case L::TreeGeo: return "TreeGeo";
    case L::Sim: return "Sim";
    }
    return "";
}

std::vector<int> ImageListIndices(TImageList list)
{
    std::vector<int> indices;
    for (const auto& [key, picture] : Pictures())
        if (key.first == list)
            indices.push_back(key.second);
    return indices;
}

bool HasListImage(TImageList list, int index)
{
    return Pictures().count({list, index}) != 0;
}

QIcon ListImage(TImageList list, int index)
{
    UseProgramIconTheme();
    const auto found = Pictures().find({list, index});
    if (found == Pictures().end())
        return {};
    const TPicture& picture = found->second;
    if (picture.Theme)
        return QIcon::fromTheme(QString::fromLatin1(picture.Theme));
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(picture.Own)));
}

void SetImage(QObject& target, TImageList list, int index)
{
    const QIcon icon = ListImage(list, index);
    if (auto* action = qobject_cast<QAction*>(&target))
        action->setIcon(icon);
    else if (auto* button = qobject_cast<QToolButton*>(&target))
        button->setIcon(icon);
    target.setProperty(IndexProperty, index);
    target.setProperty(ListProperty, static_cast<int>(list));
}

int ImageIndex(const QObject& target)
{
    const QVariant index = target.property(IndexProperty);
    return index.isValid() ? index.toInt() : -1;
}

bool ImageListOf(const QObject& target, TImageList& list)
{
    const QVariant value = target.property(ListProperty);
    if (!value.isValid())
        return false;
    list = static_cast<TImageList>(value.toInt());
    return true;
}
