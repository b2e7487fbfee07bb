#pragma once
// TColorBox: a colour chooser in a combo box: an entry for any other colour
// first, then the sixteen standard colours and four extended ones, each
// shown as a swatch with its name. Colours are Windows colour values
// 0x00BBGGRR, as the model keeps them.
//
// Choosing the first entry asks for a colour (PickCustomColor); the entry
// then carries it. A colour set from code that is not in the list is
// carried by that entry too, so any value shows and reads back unchanged.

#include <QComboBox>

#include <cstdint>
#include <functional>
#include <optional>

class TColorBox : public QComboBox {
public:
    static constexpr int CustomIndex = 0;

    explicit TColorBox(QWidget* parent = nullptr);

    // The colour of the selected entry (black when none is selected).
    uint32_t Selected() const;
    // Selects the entry of the colour; no change is reported.
    void SetSelected(uint32_t color);

    // Asks the user for a colour, starting from current; no value when the
    // user cancels (the selection then goes back). Empty: the prompt
    // service's colour question (core/UserNotifier.h).
    std::function<std::optional<uint32_t>(uint32_t current)> PickCustomColor;
    // Called after the user chose an entry.
    std::function<void()> OnChange;

    // Windows colour value <-> QColor.
    static QColor ToQColor(uint32_t color);
    static uint32_t FromQColor(const QColor& color);

private:
    void SetCustomColor(uint32_t color);
    void Chosen(int index);

    int m_LastIndex = -1;
};
