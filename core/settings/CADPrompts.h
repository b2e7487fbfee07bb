#pragma once
// The prompt texts of the interaction states, read from the language file's
// section "String". Loaded when the tool window is created and again when
// the language changes.

#include <array>
#include <string>
#include <string_view>

constexpr size_t CADPromptCount = 18;

// Slot i holds the prompt of state slot i; empty until loaded.
extern std::array<std::string, CADPromptCount> CADPrompts;

// The language keys of the slots, in slot order.
extern const std::array<std::string_view, CADPromptCount> CADPromptKeys;

// Fills CADPrompts from the current language file (empty texts without one).
void LoadCADPrompts();
