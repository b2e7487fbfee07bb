#include "app/LayerDefaults.h"

#include "cad/panel/LayerDefaultsFile.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "platform/IniFile.h"

#include <algorithm>

void CaricaImpLayers(TQV_01Cmp& document, const std::string& configFolder, uint32_t defaultColor)
{
    // No folder, no file: the defaults.
    const std::string fileName = LayerDefaultsFile(configFolder);
    const TIniFile ini = fileName.empty() ? TIniFile() : TIniFile(fileName);
    for (int number = 0; number < TQV_20Layers::LayerCount; ++number) {
        const std::string key = std::to_string(number);
        TQV_21Layer& layer = document.Layers().GetLayer(number);
        layer.SetPenColor(
            static_cast<uint32_t>(ini.ReadInteger("LayersCol", key, static_cast<int>(defaultColor))));
        layer.SetPenWidth(std::max(ini.ReadInteger("LayersPen", key, 1), 1));
        layer.SetName(ini.ReadString("LayersName", key, "Layer_" + key));
        layer.ClearModified();
    }
}

void ResetLayers(TQV_01Cmp& document, const std::string& configFolder, uint32_t defaultColor)
{
    for (int number = 0; number < TQV_20Layers::LayerCount; ++number) {
        TQV_21Layer& layer = document.Layers().GetLayer(number);
        const TTreeNodeId node = layer.TreeNode();
        layer = TQV_21Layer(static_cast<uint8_t>(number));
        layer.SetTreeNode(node);
    }
    CaricaImpLayers(document, configFolder, defaultColor);
    document.SetCurrentLayer(0);
}
