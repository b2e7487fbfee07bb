#pragma once
// The small dialogs of the lead-in and lead-out values of an operation:
// the mill lead-in and lead-out dialog, the lathe entry and exit vector
// dialogs and the lathe insert geometry dialog. Each is built in code on
// the parameters of the operation being edited; the tool window shows it
// with Execute (modal) and reads it back afterwards. All texts are language
// texts of section "String".

#include "core/geometry/Points.h"

#include <QDialog>

#include <array>
#include <stdexcept>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TDatiUtBase;
class TParametriOperazione;

// A text that should be a number is not one.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The number in the edit (blanks around it allowed); EConvertError
// "'<text>' is not a valid floating point value" otherwise.
double EditNumber(const QLineEdit& edit);

// The frame of the three dialogs: a tool window at the owner's left + 10
// and top + 10 of the given size, with a close button "3050".
class TBaseEntryExit : public QDialog {
public:
    TBaseEntryExit(QWidget* owner, int width, int height);

    // Shows the dialog modally.
    int Execute() { return exec(); }
    // Run when the window is shown.
    virtual void OnShowDialog() = 0;

    QPushButton& CloseButton() const { return *m_CloseButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* m_CloseButton;
};

// The mill lead-in (0) and lead-out (1): kind none, line or arc and a
// length each; "->" copies the lead-in to the lead-out.
class TFresaEntryExit final : public TBaseEntryExit {
public:
    TFresaEntryExit(const TParametriOperazione& params, QWidget* owner = nullptr);
    void OnShowDialog() override {}

    // The kind item (0 none, 1 line, 2 arc) of the entry (0) or exit (1).
    int GetKind(int which) const;
    // The length; EConvertError when the edit holds no number.
    double GetLength(int which) const;
    void CopyClick();

    QComboBox& KindCombo(int which) const { return *m_Kind[static_cast<size_t>(which)]; }
    QLineEdit& LengthEdit(int which) const { return *m_Length[static_cast<size_t>(which)]; }
    QPushButton& CopyButton() const { return *m_Copy; }

private:
    std::array<QComboBox*, 2> m_Kind{};
    std::array<QLineEdit*, 2> m_Length{};
    QPushButton* m_Copy;
};

// A lathe vector (length and one of eight directions 45 degrees apart).
class TLatEntryExit : public TBaseEntryExit {
public:
    void OnShowDialog() override;
    // The vector of the length edit's length in the angle edit's direction
    // (degrees, counter-clockwise from X); EConvertError for a non-number.
    TVector2D GetVector() const;
    // The direction button i was clicked.
    void DirectionClick(int index);

    int Direction = 0; // 0 to 7
    QLineEdit& LengthEdit() const { return *m_Length; }
    QLineEdit& AngleEdit() const { return *m_Angle; }
    QRadioButton& DirectionButton(int index) const { return *m_Buttons[static_cast<size_t>(index)]; }

protected:
    // vector: (X, Z) of the stored entry or exit.
    TLatEntryExit(QWidget* owner, const std::string& caption, const std::string& lengthLabel, double x, double z);
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_Length;
    QLineEdit* m_Angle;
    std::array<QRadioButton*, 8> m_Buttons{};
};

class TLatEntry final : public TLatEntryExit {
public:
    explicit TLatEntry(const TParametriOperazione& params, QWidget* owner = nullptr);
};

class TLatExit final : public TLatEntryExit {
public:
    explicit TLatExit(const TParametriOperazione& params, QWidget* owner = nullptr);
};

// The insert geometry of the lathe tool of the parameters: its edits write
// into the tool record while they are changed, once the dialog is Ready
// (the filling of the edits stores nothing). A value edit that holds no
// number yet keeps the last number stored.
class TLatToolGeoDef final : public TBaseEntryExit {
public:
    explicit TLatToolGeoDef(TParametriOperazione& params, QWidget* owner = nullptr);
    void OnShowDialog() override {}

    // The change handlers of the controls.
    void NameChange();
    void TypeChange();
    void RadiusChange();
    void ValueChange(int index);
    void VariantClick();

    bool Ready = false;
    QLineEdit& NameEdit() const { return *m_Name; }
    QComboBox& TypeCombo() const { return *m_Type; }
    QLineEdit& RadiusEdit() const { return *m_Radius; }
    // 0 first edge length, 1 second edge angle, 2 second edge length, 3
    // first edge angle.
    QLineEdit& ValueEdit(int index) const { return *m_Values[static_cast<size_t>(index)]; }
    QRadioButton& VariantButton(int index) const { return *m_Variant[static_cast<size_t>(index)]; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TDatiUtBase* m_Tool;
    QLineEdit* m_Name;
    QComboBox* m_Type;
    QLineEdit* m_Radius;
    std::array<QLineEdit*, 4> m_Values{};
    std::array<QRadioButton*, 2> m_Variant{};
};
