#include "fuzz/FuzzEntries.h"

#include "nc/gcode/LeggeGCode.h"
#include "platform/IniFile.h"

#include <string_view>

// Bytes that open with "[" are a post-processor description: it is loaded and
// its formats applied. Any other input is a program: its first byte picks the
// dialect and the reader's switches, the rest is read line by line.
int KbFuzzGCode(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TLeggeGCode reader;
    TIniFile ini;
    if (!text.empty() && text.front() == '[') {
        ini.LoadFromString(text);
        reader.LoadFromIni(ini, "fuzz", size % 2 == 0);
        for (const std::string* format : {&reader.AxisFormat, &reader.FeedFormat, &reader.DwellFormat,
                                          &reader.RotaryFormat}) {
            try {
                FormatPstFloat(*format, -12.3456);
            } catch (const EPstFormatError&) {
            }
        }
        try {
            FormatPstInteger(reader.ToolFormat, 7);
        } catch (const EPstFormatError&) {
        }
        for (const char* line : {"G1 X10 Y5 F200 (TLDIA=3)", "G2 X0 Y10 I-10 J0", "CC X1 Y2", "C X2 Y0 DR-"})
            reader.ParseLine(line);
        return 0;
    }
    reader.LoadFromIni(ini, "fuzz", true);
    if (!text.empty()) {
        const uint8_t flags = data[0];
        reader.Dialect = static_cast<uint8_t>(flags % 7);
        reader.XDiameterMode = (flags & 0x08) != 0;
        reader.IncrementalMode = (flags & 0x10) != 0;
        if (flags & 0x20)
            reader.StartComment.clear();
        if (flags & 0x40) {
            reader.RapidWord = "FMAX";
            reader.HasRapidWord = true;
        }
        text.remove_prefix(1);
    }
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        reader.ParseLine(text.substr(0, eol));
        if (eol == std::string_view::npos)
            break;
        text.remove_prefix(eol + 1);
    }
    return 0;
}
