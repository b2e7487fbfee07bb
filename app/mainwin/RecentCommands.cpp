#include "app/mainwin/RecentCommands.h"

#include "app/mainwin/ImageLists.h"
#include "cad/ui/AnsiText.h"

#include <QAction>
#include <QToolBar>

TRecentCommands::TRecentCommands(QToolBar& bar) : QObject(&bar), m_Bar(bar) {}

std::vector<QAction*> TRecentCommands::Buttons() const
{
    const QList<QAction*> actions = m_Bar.actions();
    return std::vector<QAction*>(actions.begin(), actions.end());
}

std::vector<int32_t> TRecentCommands::Ids() const
{
    std::vector<int32_t> ids;
    for (QAction* action : Buttons())
        ids.push_back(action->data().toInt());
    return ids;
}

void TRecentCommands::MRUAdd(int32_t id, int imageIndex, const std::string& hint, std::function<void()> handler)
{
    m_RecentAdded = true;
    m_Bar.setUpdatesEnabled(false);
    for (QAction* action : Buttons()) {
        if (action->data().toInt() == id) {
            // A button may be what started this command: it goes later.
            m_Bar.removeAction(action);
            action->deleteLater();
            break;
        }
    }
    std::vector<QAction*> buttons = Buttons();
    if (buttons.size() >= static_cast<size_t>(MaxCount)) {
        m_Bar.removeAction(buttons.back());
        buttons.back()->deleteLater();
        buttons.pop_back();
    }
    auto* action = new QAction(&m_Bar);
    action->setObjectName(QStringLiteral("mruCommand%1").arg(id));
    action->setData(id);
    SetImage(*action, id >= FirstModifyId ? TImageList::Modify : TImageList::Create, imageIndex);
    action->setText(AnsiToQString(hint));
    action->setToolTip(AnsiToQString(hint));
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] {
        if (handler)
            handler();
    });
    m_Bar.insertAction(buttons.empty() ? nullptr : buttons.front(), action);
    m_Bar.setUpdatesEnabled(true);
}

void TRecentCommands::RipetiUltimaOp()
{
    const std::vector<QAction*> buttons = Buttons();
    if (!buttons.empty())
        buttons.front()->trigger();
}

void TRecentCommands::CommandEnded()
{
    if (!m_RecentAdded)
        return;
    m_RecentAdded = false;
    m_ShowRecentHint = true;
}

bool TRecentCommands::ConsumeRecentHint()
{
    const bool show = m_ShowRecentHint;
    m_ShowRecentHint = false;
    return show;
}
