#pragma once
// The widgets the tool libraries fill (cam/tools/ToolPage.h): a tool page
// over the controls of a sheet, found by component name, and a library list
// that reorders its items by dragging. Used by every tool-library page.
// Main thread only.

#include "cam/tools/ToolPage.h"

#include <QListWidget>
#include <QPixmap>
#include <QPoint>

#include <functional>

class QWidget;

// The page: each call finds the control named in the sheet. Edits, spin
// boxes, labels and buttons carry texts; check boxes and radio buttons the
// checked state; combo boxes the item index (and their shown text). A name
// the sheet lacks reads as empty (unchecked, -1) and takes nothing. The
// sheet may be the whole tool window (the operation pages read it so).
class TWidgetToolPage final : public TToolPage {
public:
    // window: the tool window (IsShowing); both not owned.
    TWidgetToolPage(QWidget& sheet, QWidget& window) : m_Sheet(sheet), m_Window(window) {}

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

    // Run by ToolTypeChanged (the mill page's picture). May be empty.
    std::function<void()> OnToolTypeChanged;

    // The control of that name in the sheet, or null.
    QWidget* Find(std::string_view control) const;

private:
    QWidget& m_Sheet;
    QWidget& m_Window;
};

// A library list: report view without headers, whole rows, read-only
// captions. A drag moves the item pressed onto the item under the drop
// point (OnMove); drags from elsewhere are refused, a drop on empty space
// does nothing.
class TToolListWidget final : public QListWidget, public TToolListView {
public:
    // The drag's data type; its bytes name the list it came from.
    static constexpr const char* MimeType = "application/x-kestrabel-tool-item";

    explicit TToolListWidget(QWidget* parent);
    // Runs BeforeGone while the list still stands.
    ~TToolListWidget() override;

    // TToolListView
    void Clear() override;
    void AddItem(const std::string& caption, int imageIndex) override;
    void DeleteItem(int index) override;
    void SelectItem(int index) override;
    void SetFocus() override;

    // Moves the item at from in front of the item at to: a new item at
    // to's place takes the dragged one's caption, image and data, then the
    // dragged one goes.
    void MoveItem(int from, int to);
    // The data a drag from this list carries.
    QByteArray DragTag() const;

    // (from, to) rows of an accepted drop. May be empty.
    std::function<void(int from, int to)> OnMove;
    // The image of a shape index; null pixmaps show none.
    std::function<QPixmap(int imageIndex)> ItemImage;
    // Run first when the list goes (its page freed). May be empty.
    std::function<void()> BeforeGone;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool FromHere(const QMimeData* data) const;

    QPoint m_PressPos;
};

// The picture of a mill tool shape (0 flat .. 5 undefined), drawn in code,
// size pixels square.
QPixmap ToolShapePixmap(int toolType, int size);
