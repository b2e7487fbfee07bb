#pragma once
// The recent-commands toolbar (tbrMRU): every drawing and edit command
// records itself there when it starts; a button starts it again.
//
// Promises:
// - At most ten buttons, the newest first; a command is held once (its
//   recent id, the button's data): recording it again moves it to the front.
// - Ids from 1000 up take their image from the Modify list, the others from
//   the Create list.
// - RipetiUltimaOp starts the newest command; without one it does nothing.
// - Every record sets RecentAdded; the end of the command turns it into one
//   showing of the recent-commands notice at the next prompt change
//   (ConsumeRecentHint).
// Main thread only.

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QToolBar;

class TRecentCommands final : public QObject {
public:
    static constexpr int MaxCount = 10;
    static constexpr int32_t FirstModifyId = 1000;

    explicit TRecentCommands(QToolBar& bar);

    QToolBar& Bar() const { return m_Bar; }

    // Records a command (see above); handler starts it.
    void MRUAdd(int32_t id, int imageIndex, const std::string& hint, std::function<void()> handler);
    // Starts the newest command, when there is one.
    void RipetiUltimaOp();

    // The recent ids of the buttons, newest first.
    std::vector<int32_t> Ids() const;
    std::vector<QAction*> Buttons() const;

    // The end of a command: a command recorded since the last end asks for
    // the notice once.
    void CommandEnded();
    // True once after a recorded command ended: the next prompt change shows
    // the notice instead of the prompt.
    bool ConsumeRecentHint();
    bool RecentAdded() const { return m_RecentAdded; }
    void SetRecentAdded(bool added) { m_RecentAdded = added; }
    // A page's OK that ends its command by itself: the notice is asked for
    // at once.
    void AskRecentHint()
    {
        m_RecentAdded = true;
        m_ShowRecentHint = true;
    }

private:
    QToolBar& m_Bar;
    bool m_RecentAdded = false;
    bool m_ShowRecentHint = false;
};
