#include "app/mainwin/RecentFiles.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace {

constexpr const char* Section = "MRURF";

std::string KeyOf(int index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

void TRecentFiles::Add(const std::string& fileName)
{
    if (fileName.empty())
        return;
    std::erase(m_Names, fileName);
    m_Names.insert(m_Names.begin(), fileName);
    if (m_Names.size() > static_cast<size_t>(MaxCount))
        m_Names.resize(MaxCount);
    Changed();
}

void TRecentFiles::Clear()
{
    m_Names.clear();
    Changed();
}

void TRecentFiles::Load(const TIniFile& ini)
{
    m_Names.clear();
    for (int i = 0; i < MaxCount; ++i) {
        const std::string name = ini.ReadString(Section, KeyOf(i), "");
        if (!name.empty() && std::find(m_Names.begin(), m_Names.end(), name) == m_Names.end())
            m_Names.push_back(name);
    }
    Changed();
}

void TRecentFiles::Save(TIniFile& ini) const
{
    ini.EraseSection(Section);
    for (size_t i = 0; i < m_Names.size(); ++i)
        ini.WriteString(Section, KeyOf(static_cast<int>(i)), m_Names[i]);
}

void TRecentFiles::Changed()
{
    if (OnChange)
        OnChange();
}
