#include "core/settings/LangKeys.h"

#include <vector>

namespace {

std::vector<TLangKey> BuildCatalogue()
{
    std::vector<TLangKey> keys;
#define KB_LANG_ADD_TEXT(section, ident, key) keys.push_back({#section, std::string(key)});
#define KB_LANG_ADD_COMPONENT(section, name, caption, hint, items)                                    \
    if (caption)                                                                                      \
        keys.push_back({#section, #name ".Caption"});                                                 \
    if (hint)                                                                                         \
        keys.push_back({#section, #name ".Hint"});                                                    \
    for (int i = 0; i < (items); ++i)                                                                 \
        keys.push_back({#section, #name ".items[" + std::to_string(i) + "]"});
    KB_LANG_TEXTS(KB_LANG_ADD_TEXT)
    KB_LANG_COMPONENTS(KB_LANG_ADD_COMPONENT)
#undef KB_LANG_ADD_TEXT
#undef KB_LANG_ADD_COMPONENT
    return keys;
}

} // namespace

std::span<const TLangKey> LangCatalogue()
{
    static const std::vector<TLangKey> catalogue = BuildCatalogue();
    return catalogue;
}
