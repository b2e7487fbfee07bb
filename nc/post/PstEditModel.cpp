#include "nc/post/PstEditModel.h"

#include <algorithm>
#include <cctype>

const std::vector<std::string>& PstTemplateSections()
{
    static const std::vector<std::string> sections = {"Start_of_file",       "Tool_change",        "End_of_file",
                                                      "BeforeFirstFeedMove", "AfterFirstFeedMove", "BeforeLastFeedMove",
                                                      "AfterLastFeedMove"};
    return sections;
}

namespace {

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool IsPstTemplateSection(std::string_view section)
{
    const auto& sections = PstTemplateSections();
    return std::any_of(sections.begin(), sections.end(), [&](const std::string& s) { return SameName(s, section); });
}

TPstEditModel::TPstEditModel(const std::string& postFile, const std::string& commentFile)
    : m_FileName(postFile), m_Post(postFile), m_Comments(commentFile)
{
}

std::vector<std::string> TPstEditModel::Tabs() const
{
    std::vector<std::string> tabs = m_Post.ReadSections();
    for (const std::string& section : PstTemplateSections())
        if (!m_Post.SectionExists(section))
            tabs.push_back(section);
    return tabs;
}

TPstSectionView TPstEditModel::ReadSection(const std::string& section) const
{
    TPstSectionView view;
    view.Section = section;
    view.Numbered = IsPstTemplateSection(section);
    view.CycleTest = section.find("Cycle") != std::string::npos;
    const std::vector<std::string> keys = m_Post.ReadSection(section);
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string key = view.Numbered ? std::to_string(i + 1) : keys[i];
        view.Rows.push_back({key, m_Post.ReadString(section, keys[i], "")});
    }
    if (view.Rows.empty())
        for (int i = 1; i <= 3; ++i)
            view.Rows.push_back({view.Numbered ? std::to_string(i) : std::string(), std::string()});

    std::vector<std::string> notes = m_Comments.ReadSection(section);
    view.Memo = section + "\n";
    size_t first = 0;
    if (!notes.empty() && SameName(notes.front(), "Desc")) {
        view.Memo += m_Comments.ReadString(section, notes.front(), "") + "\n";
        first = 1;
    }
    view.Memo += "\n";
    for (size_t i = first; i < notes.size(); ++i)
        view.Memo += notes[i] + "=" + m_Comments.ReadString(section, notes[i], "") + "\n";
    return view;
}

void TPstEditModel::SaveSection(const std::string& section, bool numbered, const std::vector<TPstRow>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string key = numbered ? std::to_string(i + 1) : rows[i].Key;
        if (!key.empty())
            m_Post.WriteString(section, key, rows[i].Value);
    }
    if (!numbered)
        return;
    for (const std::string& key : m_Post.ReadSection(section)) {
        const std::optional<int> number = ParseIniInteger(key);
        if (!number || *number < 1 || static_cast<size_t>(*number) > rows.size())
            m_Post.DeleteKey(section, key);
    }
}

bool TPstEditModel::Save(std::string& error)
{
    if (m_Post.SaveToFile(m_FileName))
        return true;
    error = m_Post.LastError();
    return false;
}

bool TPstEditModel::SaveAs(const std::string& fileName, std::string& error)
{
    if (m_Post.SaveToFile(fileName)) {
        m_FileName = fileName;
        return true;
    }
    error = m_Post.LastError();
    return false;
}
