#include "nc/grbl/GRBLMacros.h"

#include "platform/IniFile.h"

namespace {
std::string MacroKey(int index) { return "Macro" + std::to_string(index); }
} // namespace

TGrblMacros ReadGrblMacros(const std::string& settingsFile)
{
    const TIniFile ini(settingsFile);
    TGrblMacros macros;
    for (int i = 0; i < GrblMacroCount; ++i)
        macros[size_t(i)] = ini.ReadString(GrblMacroSection, MacroKey(i), "");
    return macros;
}

std::string WriteGrblMacros(const std::string& settingsFile, const TGrblMacros& macros)
{
    if (ExistsButUnreadable(settingsFile))
        return "cannot read \"" + settingsFile + "\", left as it is";
    TIniFile ini(settingsFile);
    for (int i = 0; i < GrblMacroCount; ++i)
        ini.WriteString(GrblMacroSection, MacroKey(i), macros[size_t(i)]);
    return ini.UpdateFile() ? std::string() : ini.LastError();
}
