#include "app/machining/OpComment.h"

#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "core/settings/Language.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

namespace {

void SetTextColour(QLineEdit& edit, QPalette::ColorGroup group, QPalette::ColorRole role)
{
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Text, QApplication::palette().color(group, role));
    edit.setPalette(palette);
}

} // namespace

TOpComment::TOpComment(QLineEdit* edit, TOpManagerField* operation)
    : Edit(edit)
    , Operation(operation)
{
    if (!Edit || !Operation)
        return;
    if (!Operation->Comment.empty()) {
        SetTextColour(*Edit, QPalette::Active, QPalette::Text);
        Edit->setText(AnsiToQString(Operation->Comment));
        HasText = true;
        return;
    }
    SetTextColour(*Edit, QPalette::Disabled, QPalette::Text);
    Edit->setText(AnsiToQString(LangToolWinCaption("txtOpComm")));
    HasText = false;
    Edit->update();
}

void TOpComment::StoreComment()
{
    if (Edit && Operation)
        Operation->Comment = QStringToAnsi(Edit->text());
}

void TOpComment::Enter()
{
    if (!Edit || HasText)
        return;
    Edit->clear();
    SetTextColour(*Edit, QPalette::Active, QPalette::Text);
    HasText = true;
}

void TOpComment::Exit()
{
    if (HasText)
        StoreComment();
}
