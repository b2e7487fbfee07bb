#pragma once
// Ini files with the semantics of Windows profile files: section and key
// names compare case-insensitively, a value is the rest of its line (spaces
// around it trimmed, one pair of enclosing quotes removed), there is no
// escaping and no list splitting. Lines that are neither a section header
// nor a key (comments, blank lines) are kept, and writing keeps the order of
// sections and keys as read; a new key goes at the end of its section, a
// new section at the end of the file. Text is 8-bit, stored as read.
//
// Numbers are read and written locale-independently with "." as decimal
// separator. A value that is not a number reads as the caller's default.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
public:
    TIniFile() = default;
    // Reads the file when it exists; a missing or unreadable file gives an
    // empty ini that can still be written to that name.
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return m_FileName; }
    void LoadFromString(std::string_view text);
    std::string ToString() const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    // Any integer other than 0 is true; a value that is not an integer
    // gives the default.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteFloat(std::string_view section, std::string_view key, double value);
    void WriteBool(std::string_view section, std::string_view key, bool value); // "1" or "0"

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    // The keys of a section in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    // Writes the whole file: to a temporary file beside it, then renamed over
    // it, so a failed write leaves the old file. Returns false and fills
    // LastError() on failure.
    bool UpdateFile();
    bool SaveToFile(const std::string& fileName);
    const std::string& LastError() const { return m_LastError; }

private:
    struct TLine {
        std::string Key;   // empty for a line that is not a key
        std::string Value; // the value, or the whole line for other lines
    };
    struct TSection {
        std::string Name;
        std::vector<TLine> Lines;
    };

    const TSection* FindSection(std::string_view name) const;
    TSection* FindSection(std::string_view name);
    const TLine* FindKey(std::string_view section, std::string_view key) const;

    std::string m_FileName;
    std::string m_LastError;
    std::string m_Eol = "\n";
    std::vector<std::string> m_Preamble; // lines before the first section
    std::vector<TSection> m_Sections;
};

// Locale-independent number text, as the ini layer reads and writes it.
std::optional<int> ParseIniInteger(std::string_view text);
std::optional<double> ParseIniFloat(std::string_view text);
// Shortest text with up to 15 significant digits that reads back the same,
// "." as separator, an exponent only for very small or large magnitudes
// ("0.0025", "5E-6", "100").
std::string FormatIniFloat(double value);

// An existing file that cannot be read. Such a file must not be replaced by
// a write of what a TIniFile read from it (nothing): every read-change-write
// of a shared file checks this first.
bool ExistsButUnreadable(const std::string& fileName);

// Writes bytes to a temporary file of a unique name beside fileName,
// created exclusively, flushes it to disk and renames it over fileName;
// returns an empty string or the reason of the failure. A symbolic link is
// saved through: its target gets the bytes and the link stays. The file
// replaced keeps its permission bits (a new one gets those of the umask);
// a file whose mode bits grant no write is refused ("cannot save "name":
// the file is read-only") and left as it was. Whatever fails leaves the
// old file untouched and no temporary file behind.
std::string WriteFileAtomically(const std::string& fileName, std::string_view bytes);
