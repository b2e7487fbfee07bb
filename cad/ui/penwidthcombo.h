#pragma once
// Tpenwidthcombo: a combo box of pen widths that shows each width as a line
// of that width in a small frame, with the width's text to its right. The
// items are "1" to "10"; item i stands for a pen i + 1 pixels wide. Every
// item and the closed box are drawn by DrawItem.

#include <QComboBox>
#include <QStyle>

#include <cstdint>

class QPainter;

class Tpenwidthcombo : public QComboBox {
public:
    static constexpr int WidthCount = 10;
    static constexpr int ItemHeight = 16;

    explicit Tpenwidthcombo(QWidget* parent = nullptr);

    // Clears the items and adds the ten width texts.
    virtual void FillWidths();
    // Selects item width - 1; a width outside 1..10 selects nothing.
    void SetWidth(int32_t width);

    // Draws item index into rect: the background (the selection colour
    // when state has State_Selected), then inside the frame from
    // (left + 3, top + 3) to (left + 48, bottom - 3) a black line of width
    // index + 1 across its middle (5 pixels in from each side of the
    // frame), the frame, and the item's text from 50 pixels right of the
    // left edge.
    void DrawItem(QPainter& painter, int index, const QRect& rect, QStyle::State state) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
