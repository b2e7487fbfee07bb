#include "cad/ui/AnsiText.h"

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

} // namespace

QString AnsiToQString(std::string_view text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b)));
    }
    return out;
}

std::string QStringToAnsi(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype k = 0; k < text.size(); ++k) {
        const char16_t u = text[k].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        // A character outside the basic plane is one "?", not two.
        if (text[k].isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate())
            ++k;
        char byte = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == u) {
                byte = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += byte;
    }
    return out;
}
