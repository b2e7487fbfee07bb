#pragma once
// TOpComment binds the tool window's one-line comment edit ("txtOpComment")
// to the comment of the operation being edited. While the operation has no
// comment the edit shows the grey placeholder "txtOpComm.Caption" of the
// tool window's texts. Entering the edit without the operation's own text
// empties it and gives it the normal colour (Enter); leaving it with the
// own text stores it in the operation (Exit). Neither edit nor operation is
// owned.

class QLineEdit;
class TOpManagerField;

class TOpComment {
public:
    TOpComment(QLineEdit* edit, TOpManagerField* operation);

    // The operation's Comment := the edit's text.
    void StoreComment();
    // The edit's enter and exit events.
    void Enter();
    void Exit();

    QLineEdit* Edit = nullptr;
    TOpManagerField* Operation = nullptr;
    // The edit shows the operation's own text, not the placeholder.
    bool HasText = false;
};
