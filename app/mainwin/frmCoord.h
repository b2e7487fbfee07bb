#pragma once
// TfrmCoord: the small dialog of typed coordinates. X and Y edits take a
// signed decimal (a typed "," arrives as ".", letters and other keys are
// dropped); OK ends the dialog with result 1, Cancel with 2, Escape and the
// close box with 0. Each showing translates it from the language table and
// puts the focus on the X edit; captions held with HoldAxisCaptions stay on
// the two labels through the translation until ReleaseAxisCaptions gives
// the labels their own texts back.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmCoord final : public QDialog {
public:
    static constexpr int ResultOk = 1;
    static constexpr int ResultCancel = 2;

    explicit TfrmCoord(QWidget* parent = nullptr);

    QLineEdit& txtCoordX() const { return *m_txtCoordX; }
    QLineEdit& txtCoordY() const { return *m_txtCoordY; }
    QPushButton& btnOk() const { return *m_btnOk; }
    QPushButton& btnCancel() const { return *m_btnCancel; }
    QLabel& lblCoordX() const { return *m_lblCoordX; }
    QLabel& lblCoordY() const { return *m_lblCoordY; }

    // The two labels show x and y until released (the lathe's X and Z).
    void HoldAxisCaptions(const QString& x, const QString& y);
    void ReleaseAxisCaptions();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_lblCoordX = nullptr;
    QLabel* m_lblCoordY = nullptr;
    QLineEdit* m_txtCoordX = nullptr;
    QLineEdit* m_txtCoordY = nullptr;
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;
    // The held captions and the labels' own texts while they are held.
    bool m_Held = false;
    QString m_HeldX, m_HeldY, m_OwnX, m_OwnY;
};

// A coordinate typed into the dialog: the text as a decimal number with "."
// as separator; anything else (empty, a lone "-" or ".") throws the
// conversion error "'<text>' is not a valid floating point value".
double CoordFromText(const std::string& text);
