#include "app/ToolWinState.h"

std::string TToolWinState::Text(TToolWinText field) const
{
    const auto it = m_Texts.find(field);
    return it == m_Texts.end() ? std::string() : it->second;
}

bool TToolWinState::Checked(TToolWinCheck check) const
{
    const auto it = m_Checks.find(check);
    return it != m_Checks.end() && it->second;
}

int32_t TToolWinState::ItemIndex(TToolWinIndex list) const
{
    const auto it = m_Indexes.find(list);
    return it == m_Indexes.end() ? -1 : it->second;
}
