#pragma once
// TOrigineComp: the origin selector of the grid dialog: a small picture of
// the grid rectangle (a frame and its two centre lines) with five radio
// buttons, one on each corner and one in the centre. The buttons' numbers
// are the scene view's grid origin positions: 0 bottom-left, 1 top-left,
// 2 top-right, 3 bottom-right, 4 centre.
//
// The widgets are children of the parent given to Build and go with it;
// the selector deletes those still alive when it goes first.

#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QFrame;
class QObject;
class QRadioButton;
class QWidget;

class TOrigineComp {
public:
    static constexpr int PositionCount = 5;
    // Called with a null sender and the position of the button clicked.
    using TOriginClick = std::function<void(QObject* sender, int32_t position)>;

    explicit TOrigineComp(QWidget* owner);
    ~TOrigineComp();
    TOrigineComp(const TOrigineComp&) = delete;
    TOrigineComp& operator=(const TOrigineComp&) = delete;

    // Builds the picture of the rectangle (left, top) - (right, bottom) on
    // parent, in the parent's pixels; button 0 checked. Once only.
    void Build(int left, int top, int right, int bottom, QWidget* parent);
    // Checks the button of the position, reporting nothing; a position
    // outside 0..4 leaves every button unchecked.
    void SetPosition(int32_t position);
    // The checked button's position, or -1.
    int32_t Position() const;
    // A user's click on a button: tells OnOriginClick its position.
    void RadioClick(QAbstractButton* sender);

    QRadioButton* Button(int position) const;
    QWidget* Owner() const { return m_Owner; }

    TOriginClick OnOriginClick;

private:
    QPointer<QWidget> m_Owner;
    std::array<QPointer<QFrame>, 3> m_Bevels{};           // frame, horizontal, vertical centre line
    std::array<QPointer<QRadioButton>, PositionCount> m_Buttons{};
    QPointer<QButtonGroup> m_Group;
};
