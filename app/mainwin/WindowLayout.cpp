#include "app/mainwin/WindowLayout.h"

#include "app/mainwin/RecentFiles.h"
#include "core/settings/AppConfig.h"
#include "platform/IniFile.h"

#include <QMainWindow>

namespace {

constexpr const char* ToolbarSection = "Toolbar";
constexpr const char* LayoutKey = "Layout";

} // namespace

QByteArray ReadToolbarLayout(const TIniFile& ini)
{
    const std::string text = ini.ReadString(ToolbarSection, LayoutKey, "");
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(text),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

void WriteToolbarLayout(TIniFile& ini, const QByteArray& state)
{
    ini.WriteString(ToolbarSection, LayoutKey, state.toBase64().toStdString());
}

void LoadToolbarsAndRecentFiles(const std::string& settingsFile, QByteArray& state, TRecentFiles& recent)
{
    const TIniFile ini(settingsFile);
    state = ReadToolbarLayout(ini);
    recent.Load(ini);
}

bool SaveToolbarsAndRecentFiles(const std::string& settingsFile, const QByteArray& state,
                                const TRecentFiles& recent, std::string& error)
{
    TIniFile ini(settingsFile);
    WriteToolbarLayout(ini, state);
    recent.Save(ini);
    if (ini.UpdateFile())
        return true;
    error = ini.LastError();
    return false;
}

void StoreWindowBounds(const QMainWindow& window, TAppConfig& config)
{
    const bool maximized = window.isMaximized();
    const QRect bounds = maximized ? window.normalGeometry() : QRect(window.pos(), window.size());
    config.fWPMax = maximized;
    if (!bounds.isValid())
        return;
    config.fWPL = bounds.left();
    config.fWPT = bounds.top();
    config.fWPW = bounds.width();
    config.fWPH = bounds.height();
}
