#pragma once
// The GUI edge of the model's 8-bit strings. Texts in the model, the
// language files and the program's own files are Windows-1252 as stored;
// widgets take UTF-16.

#include <QString>

#include <string>
#include <string_view>

// Every byte decoded as Windows-1252; the five bytes that code page leaves
// undefined map to the control characters of the same value, as Windows
// itself converts them.
QString AnsiToQString(std::string_view text);

// The reverse; a character that Windows-1252 cannot hold becomes "?".
std::string QStringToAnsi(const QString& text);
