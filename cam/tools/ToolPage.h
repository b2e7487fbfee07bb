#pragma once
// What the tool records and tool libraries need of the tool window's tool
// pages and lists, so that the model reads and fills them without knowing
// the widgets. The tool window implements both interfaces over its controls,
// addressing each control by its component name ("txtDiametro",
// "cboToolType", ...); tests use recording fakes. Main thread only.

#include <string>
#include <string_view>

class TToolPage {
public:
    virtual ~TToolPage() = default;
    // Text of an edit, spin edit, label or button.
    virtual void SetText(std::string_view control, const std::string& text) = 0;
    virtual std::string Text(std::string_view control) const = 0;
    // Check boxes and radio buttons.
    virtual void SetChecked(std::string_view control, bool checked) = 0;
    virtual bool Checked(std::string_view control) const = 0;
    // Pick lists; -1 is "nothing chosen".
    virtual void SetItemIndex(std::string_view control, int index) = 0;
    virtual int ItemIndex(std::string_view control) const = 0;
    virtual void SetVisible(std::string_view control, bool visible) = 0;
    virtual void SetEnabled(std::string_view control, bool enabled) = 0;
    virtual void SetImageIndex(std::string_view control, int index) = 0;
    // The mill page's own reaction to a new tool type (its picture).
    virtual void ToolTypeChanged() = 0;
    // Whether the tool window is on screen.
    virtual bool IsShowing() const = 0;
};

// The list view of a library: one item per record, in the library's order.
class TToolListView {
public:
    virtual ~TToolListView() = default;
    virtual void Clear() = 0;
    // imageIndex -1: no image.
    virtual void AddItem(const std::string& caption, int imageIndex) = 0;
    virtual void DeleteItem(int index) = 0;
    // -1: no item selected.
    virtual void SelectItem(int index) = 0;
    virtual void SetFocus() = 0;
};
