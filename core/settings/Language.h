#pragma once
// The language lookup. Every text the user sees comes from a language file:
// an ini file (Windows profile semantics, 8-bit text) with one section per
// form, named after the form, and the section "String" for the numbered
// messages, prompts and questions. In any value the three characters "*|*"
// stand for a line break (CR LF).
//
// One language file is current for the whole program (`LanguageIni`); every
// lookup reads it and gives the empty text when no file is open or the key
// is missing, so a missing file leaves labels empty and forms with their
// design texts instead of failing. Main thread only.
//
// The keys code asks for are constants of the catalogue in core/LangKeys.h.

#include "core/settings/LangKeys.h"
#include "platform/IniFile.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

// "<programFolder>/languages/<language>.lng".
std::string LanguageFileName(const std::string& programFolder, const std::string& language);

// Builds the path of the language's file below the program folder, keeps
// it as `LanguageFilePath` for the not-found message, and reads the file.
// Null when the file is missing or cannot be a language file (not a regular
// file, unreadable, larger than any language file). The caller owns the
// result; make it current with `SetLanguageIni`.
std::unique_ptr<TIniFile> OpenLanguageFile(const std::string& programFolder, const std::string& language);

// Reads a language file by its full name (a post-processor's own file
// beside it) with the same checks; `LanguageFilePath` is left alone.
std::unique_ptr<TIniFile> ReadLanguageFile(const std::string& fileName);

// The current language file, or null.
const TIniFile* LanguageIni();
// Makes ini the current language file and frees the previous one; null
// leaves the program without one.
void SetLanguageIni(std::unique_ptr<TIniFile> ini);
// The full name of the language file last asked for by `OpenLanguageFile`.
const std::string& LanguageFilePath();

// The value of key in section of ini with every "*|*" turned into CR LF; a
// run of separators at the start gives a single line break. Empty for a
// null ini or a missing key.
std::string ReadLangText(const TIniFile* ini, std::string_view section, std::string_view key);
// The same from the current language file.
std::string ReadLangText(std::string_view section, std::string_view key);

// Section-bound lookups in the current language file.
std::string LangText(std::string_view key);               // "String", key
std::string LangToolWinText(std::string_view key);        // "frmToolWin", key
std::string LangToolWinCaption(std::string_view name);    // "frmToolWin", name + ".Caption"
std::string LangMainText(std::string_view key);           // "frmMain", key
std::string LangMainCaption(std::string_view name);       // "frmMain", name + ".Caption"
std::string LangGRBLCaption(std::string_view name);       // "frmGRBL", name + ".Caption"
std::string LangMainHint(std::string_view name);          // "frmMain", name + ".Hint"

// Fills a text pattern of the language file: each "%d", "%u" or "%s" takes
// the next argument's text in order, "%%" gives "%"; a placeholder with no
// argument left, and any other "%", stays as it stands. Safe for any
// pattern, unlike printf.
std::string LangFormat(std::string_view pattern, std::initializer_list<std::string_view> args);

// Tells the user that the language file `LanguageFilePath` was not found:
// an error box with the built-in text "Language file not found!", CR LF and
// the path. Forms call this on every show while no file is open; the box is
// shown once for each path asked for (again after a later open of that path
// has found the file), not on every show.
void ReportMissingLanguageFile();
