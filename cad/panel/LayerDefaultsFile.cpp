#include "cad/panel/LayerDefaultsFile.h"

#include "core/model/Layers.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::string_view ColourSection = "LayersCol";
constexpr std::string_view WidthSection = "LayersPen";
constexpr std::string_view NameSection = "LayersName";

// A value is the rest of its line: a line break inside a name would end the
// entry there and turn the rest into lines of the file's own.
std::string OneLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return text;
}

} // namespace

std::string LayerDefaultsFile(const std::string& configFolder)
{
    if (configFolder.empty())
        return {};
    const bool separated = configFolder.back() == '/';
    return configFolder + (separated ? "" : "/") + "Layers.ini";
}

std::string SaveLayerDefaults(const TQV_20Layers& layers, const std::string& fileName)
{
    bool anyModified = false;
    for (int n = 0; n < TQV_20Layers::LayerCount && !anyModified; ++n)
        anyModified = layers.GetLayer(n).Modified();
    if (!anyModified)
        return {};
    if (fileName.empty())
        return "No file name for the layer defaults";

    TIniFile ini(fileName);
    for (int n = 0; n < TQV_20Layers::LayerCount; ++n) {
        const TQV_21Layer& layer = layers.GetLayer(n);
        if (!layer.Modified())
            continue;
        const std::string key = std::to_string(n);
        // The colour as the signed int32 the reader takes back.
        ini.WriteInteger(ColourSection, key, static_cast<int32_t>(layer.Pen().Color));
        ini.WriteInteger(WidthSection, key, layer.Pen().Width);
        ini.WriteString(NameSection, key, OneLine(layer.Name()));
    }
    if (!ini.UpdateFile())
        return "Unable to write to " + fileName + ": " + ini.LastError();
    return {};
}
