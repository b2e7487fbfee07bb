#pragma once
// What the post-processor editor does to a post file, without its window:
// the tabs (one per section of the file, then the template sections it
// lacks), a section's rows and description memo, and writing a section's
// rows back. Edits stay in memory until Save or SaveAs writes the file.
// Template sections keep their lines under the keys "1", "2", ...; every
// other section shows and writes its key names.

#include "platform/IniFile.h"

#include <string>
#include <string_view>
#include <vector>

// The template sections, in the order the editor adds missing ones.
const std::vector<std::string>& PstTemplateSections();
bool IsPstTemplateSection(std::string_view section);

struct TPstRow {
    std::string Key; // the gutter: the key name, or the row number of a template section
    std::string Value;
};

struct TPstSectionView {
    std::string Section;
    bool Numbered = false;     // a template section: numbered rows, insert and delete
    std::vector<TPstRow> Rows; // three empty rows when the section has no entry
    bool CycleTest = false;    // the Test button writes a drilling program
    std::string Memo;          // the section's descriptions, lines joined by "\n"
};

class TPstEditModel {
public:
    // Reads the post file and the descriptions file (missing files read as
    // empty).
    TPstEditModel(const std::string& postFile, const std::string& commentFile);

    std::vector<std::string> Tabs() const;
    TPstSectionView ReadSection(const std::string& section) const;
    // Writes the rows into the section in memory. A template section is
    // written whole: keys past the last row are removed, so a deleted row
    // does not come back.
    void SaveSection(const std::string& section, bool numbered, const std::vector<TPstRow>& rows);

    // Writes the post to its file; false with the reason on failure.
    bool Save(std::string& error);
    // Writes the post under another name, which it keeps from then on.
    bool SaveAs(const std::string& fileName, std::string& error);
    const std::string& FileName() const { return m_FileName; }
    const TIniFile& Post() const { return m_Post; }

private:
    std::string m_FileName;
    TIniFile m_Post;
    TIniFile m_Comments;
};
