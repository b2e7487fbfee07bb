#pragma once
// TToolWinState: what the tool window holds for the CAD commands while the
// window itself does not exist: its text fields, check boxes, item lists,
// the copy and uniform-scale switches and whether it is shown. The main
// window answers the shell's tool-window questions from it, so that the
// commands behave with the real main window as with the test shell.
//
// Promises:
// - Each field reads what was last set; before that the repeat counts and
//   the offset distance read "1", every other text "", every check box and
//   switch off, every list -1 (no item).
// - Hide only records that the window is no longer shown.

#include "cad/program/ShellServices.h"

#include <cstdint>
#include <map>
#include <string>

class TToolWinState {
public:
    std::string Text(TToolWinText field) const;
    void SetText(TToolWinText field, const std::string& text) { m_Texts[field] = text; }
    bool Checked(TToolWinCheck check) const;
    void SetChecked(TToolWinCheck check, bool checked) { m_Checks[check] = checked; }
    int32_t ItemIndex(TToolWinIndex list) const;
    void SetItemIndex(TToolWinIndex list, int32_t index) { m_Indexes[list] = index; }

    bool CopySwitch() const { return m_Copy; }
    void SetCopySwitch(bool on) { m_Copy = on; }
    bool UniformScaleSwitch() const { return m_UniformScale; }
    void SetUniformScaleSwitch(bool on) { m_UniformScale = on; }

    bool Visible() const { return m_Visible; }
    void Show() { m_Visible = true; }
    void Hide() { m_Visible = false; }

private:
    std::map<TToolWinText, std::string> m_Texts{{TToolWinText::TransRepeat, "1"},
                                                {TToolWinText::RotateRepeat, "1"},
                                                {TToolWinText::ScaleRepeat, "1"},
                                                {TToolWinText::OffsetDist, "1"}};
    std::map<TToolWinCheck, bool> m_Checks;
    std::map<TToolWinIndex, int32_t> m_Indexes;
    bool m_Copy = false;
    bool m_UniformScale = false;
    bool m_Visible = false;
};
