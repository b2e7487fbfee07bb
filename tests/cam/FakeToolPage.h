#pragma once
// Recording fakes of the tool page and the library list view, and a small
// language file with the texts the tool records ask for.

#include "cam/tools/ToolPage.h"
#include "core/settings/Language.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kbtest {

class TFakeToolPage : public TToolPage {
public:
    void SetText(std::string_view c, const std::string& t) override { Texts[std::string(c)] = t; }
    std::string Text(std::string_view c) const override
    {
        const auto it = Texts.find(std::string(c));
        return it == Texts.end() ? std::string() : it->second;
    }
    void SetChecked(std::string_view c, bool v) override { Checks[std::string(c)] = v; }
    bool Checked(std::string_view c) const override
    {
        const auto it = Checks.find(std::string(c));
        return it != Checks.end() && it->second;
    }
    void SetItemIndex(std::string_view c, int i) override { Items[std::string(c)] = i; }
    int ItemIndex(std::string_view c) const override
    {
        const auto it = Items.find(std::string(c));
        return it == Items.end() ? -1 : it->second;
    }
    void SetVisible(std::string_view c, bool v) override { Visible[std::string(c)] = v; }
    void SetEnabled(std::string_view c, bool v) override { Enabled[std::string(c)] = v; }
    void SetImageIndex(std::string_view c, int i) override { Images[std::string(c)] = i; }
    void ToolTypeChanged() override { ++TypeChanges; }
    bool IsShowing() const override { return Showing; }

    std::map<std::string, std::string> Texts;
    std::map<std::string, bool> Checks;
    std::map<std::string, int> Items;
    std::map<std::string, bool> Visible;
    std::map<std::string, bool> Enabled;
    std::map<std::string, int> Images;
    int TypeChanges = 0;
    bool Showing = true;
};

class TFakeToolList : public TToolListView {
public:
    void Clear() override { Captions.clear(); ImageIndexes.clear(); }
    void AddItem(const std::string& caption, int image) override
    {
        Captions.push_back(caption);
        ImageIndexes.push_back(image);
    }
    void DeleteItem(int i) override
    {
        Captions.erase(Captions.begin() + i);
        ImageIndexes.erase(ImageIndexes.begin() + i);
    }
    void SelectItem(int i) override { Selected = i; }
    void SetFocus() override { Focused = true; }

    std::vector<std::string> Captions;
    std::vector<int> ImageIndexes;
    int Selected = -1;
    bool Focused = false;
};

// Makes a language file with the tool texts current for its lifetime.
class TToolLanguage {
public:
    TToolLanguage()
    {
        auto ini = std::make_unique<TIniFile>();
        ini->LoadFromString("[String]\n450=Error\n453=unreadable\n465=Bad number\n751=R\n752=D\n"
                            "3100=Geometry\n3103=Name\n3104=Rhombic\n3105=Triangular\n3109=Type\n"
                            "3110=Radius\n3115=Variant\n3116=Standard\n3117=Mirrored\n");
        SetLanguageIni(std::move(ini));
    }
    ~TToolLanguage() { SetLanguageIni(nullptr); }
    TToolLanguage(const TToolLanguage&) = delete;
    TToolLanguage& operator=(const TToolLanguage&) = delete;
};

} // namespace kbtest
