#include "fuzz/FuzzEntries.h"

#include "platform/IniFile.h"

#include <string_view>

int KbFuzzIni(const uint8_t* data, size_t size)
{
    TIniFile ini;
    ini.LoadFromString(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& section : ini.ReadSections())
        for (const auto& key : ini.ReadSection(section)) {
            ini.ReadFloat(section, key, 0);
            ini.ReadInteger(section, key, 0);
        }
    ini.WriteString("Default", "Unit", "1");
    TIniFile again;
    again.LoadFromString(ini.ToString());
    return 0;
}
