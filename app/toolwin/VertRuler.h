#pragma once
// TVertRuler: a vertical scale drawn on a panel, the ruler of the simulation
// page's Z gauge. Ten minor steps of ScalaFactor pixels make one major step;
// the zero mark sits ScalaOffset pixels below the top, and each major step
// adds ScalaTextIncrement to the labels (downwards; upwards it subtracts).
//
// The marks are a pure function of the ruler's values (RulerMarks), which
// the paint only draws. Every setter stores its value and repaints at once.

#include <QFrame>

#include <cstdint>
#include <string>
#include <vector>

enum class TPlaceVert { plLeft, plRight };

// What the scale is drawn from.
struct TRulerLayout {
    int32_t Width = 25;
    int32_t Height = 300;
    int32_t ScalaFactor = 2;
    int32_t ScalaOffset = 100;
    double ScalaTextIncrement = 1.0;
    bool ScalaShowText = true;
    TPlaceVert ScalaEdgePos = TPlaceVert::plLeft;
};

// One tick: a horizontal line at row Y from X0 to X1.
struct TRulerTick {
    int32_t Y = 0;
    int32_t X0 = 0;
    int32_t X1 = 0;
    bool Major = false;
};

// A label with its top-left corner.
struct TRulerLabel {
    int32_t X = 0;
    int32_t Y = 0;
    std::string Text;
};

struct TRulerMarks {
    std::vector<TRulerTick> Ticks;
    std::vector<TRulerLabel> Labels;
};

// The ticks and labels of the scale, those whose row falls on the panel
// (0 <= row < height). A factor below 1 gives no marks. Labels are the
// shortest decimal form of step x increment ("0", "-10", "2.5").
TRulerMarks RulerMarks(const TRulerLayout& layout);
// The shortest decimal text of a label value; never "-0".
std::string RulerLabelText(double value);

class TVertRuler final : public QFrame {
public:
    // Placed on its parent at (30, 122), 25 x 300, with the values of
    // TRulerLayout's defaults, labels shown, unit "mm" shown, font size 6.
    explicit TVertRuler(QWidget* parent);

    int32_t ScalaFactor() const { return m_Layout.ScalaFactor; }
    int32_t ScalaFontSize() const { return m_FontSize; }
    int32_t ScalaOffset() const { return m_Layout.ScalaOffset; }
    double ScalaTextIncrement() const { return m_Layout.ScalaTextIncrement; }
    bool ScalaShowText() const { return m_Layout.ScalaShowText; }
    TPlaceVert ScalaEdgePos() const { return m_Layout.ScalaEdgePos; }
    QColor ScalaColor() const { return m_Color; }
    bool ShowUnit() const { return m_ShowUnit; }
    const std::string& TextUnit() const { return m_TextUnit; }

    void SetScalaFactor(int32_t factor);
    void SetScalaFontSize(int32_t size);
    void SetScalaOffset(int32_t offset);
    void SetScalaTextIncrement(double increment);
    void SetScalaShowText(bool show);
    void SetScalaEdgePos(TPlaceVert edge);
    void SetScalaColor(const QColor& color);
    void SetShowUnit(bool show);
    void SetTextUnit(const std::string& text);

    // The marks of the ruler's present size and values.
    TRulerMarks Marks() const;
    // Paints done so far (a setter paints before it returns).
    int PaintCount() const { return m_PaintCount; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Changed();

    TRulerLayout m_Layout;
    int32_t m_FontSize = 6;
    QColor m_Color = Qt::black;
    bool m_ShowUnit = true;
    std::string m_TextUnit = "mm";
    int m_PaintCount = 0;
};
