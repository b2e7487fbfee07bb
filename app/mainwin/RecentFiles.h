#pragma once
// The recent-files list of the Open button: at most ten full file names, the
// most recent first, each at most once. It is stored in the settings file's
// section "MRURF" as "File1" (the newest) to "File10"; reading skips empty
// and repeated entries and stops at ten.

#include <functional>
#include <string>
#include <vector>

class TIniFile;

class TRecentFiles {
public:
    static constexpr int MaxCount = 10;

    // Puts the name at the top: an equal entry moves there, the oldest
    // drops off past ten. Called only once a file was opened or written.
    void Add(const std::string& fileName);
    void Clear();
    const std::vector<std::string>& Names() const { return m_Names; }

    // Replaces the list with the section's entries.
    void Load(const TIniFile& ini);
    // Rewrites the section: the old entries go, the list is written.
    void Save(TIniFile& ini) const;

    // Told after every change.
    std::function<void()> OnChange;

private:
    void Changed();

    std::vector<std::string> m_Names;
};
