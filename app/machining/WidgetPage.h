#pragma once
// The controls of a window addressed by their component names (objectName),
// as the model's page interface reads and fills them: edits, spin boxes and
// labels by text, check boxes, radio and tool buttons by checked (down)
// state, combo boxes by item index. A name that no control carries reads as
// empty, unchecked or -1 and takes nothing. Main thread only.

#include "cam/tools/ToolPage.h"

#include <functional>

class QWidget;

class TWidgetPage final : public TToolPage {
public:
    // root: the window searched (not owned). isShowing: whether the tool
    // window is up (default: the root's visibility).
    explicit TWidgetPage(QWidget& root, std::function<bool()> isShowing = {});

    void SetText(std::string_view control, const std::string& text) override;
    std::string Text(std::string_view control) const override;
    void SetChecked(std::string_view control, bool checked) override;
    bool Checked(std::string_view control) const override;
    void SetItemIndex(std::string_view control, int index) override;
    int ItemIndex(std::string_view control) const override;
    void SetVisible(std::string_view control, bool visible) override;
    void SetEnabled(std::string_view control, bool enabled) override;
    void SetImageIndex(std::string_view control, int index) override;
    void ToolTypeChanged() override;
    bool IsShowing() const override;

    // The control of that name, or null.
    QWidget* Control(std::string_view control) const;
    // Run by ToolTypeChanged (the mill page's picture); may be empty.
    std::function<void()> OnToolTypeChanged;

private:
    QWidget& m_Root;
    std::function<bool()> m_IsShowing;
};
