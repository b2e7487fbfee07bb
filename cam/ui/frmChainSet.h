#pragma once
// TfrmChainSet: the chain list window of the chain page. It lists the
// chains of the operation being edited, highlights the one clicked, moves
// the start point of a closed chain along its vertices with the scroll bar,
// reorders the chains by drag and drop (the new order is stored in the
// operation when the window closes) and deletes a chain.
//
// The items show the chains as they were when the window was shown; the
// window never owns them. A chain freed elsewhere while the window is open
// (another command empties the operation's list) takes its item with it,
// so no item ever holds a freed chain.

#include "cam/chains/Catena.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QScrollBar;

class TfrmChainSet : public QDialog, private TChainWatcher {
public:
    explicit TfrmChainSet(QWidget* parent = nullptr);
    ~TfrmChainSet() override;

    // The chain list of the operation being edited; null without one. The
    // tool window sets it at its creation.
    std::function<TListaCatene*()> CurrentChains;

    // Event handlers (the widgets call them; tests call them directly).
    void FormShow();
    void FormClose();
    void lsvChainClick();
    void lsvChainMouseDown(int x, int y);
    void lsvChainDragDrop(int x, int y);
    void ScrollBar1Change();
    void mnuDelSelChainClick();
    void sbtOkClick();

    QListWidget& lsvChain() const { return *m_lsvChain; }
    QScrollBar& ScrollBar1() const { return *m_ScrollBar1; }
    QPushButton& sbtDelSelChain() const { return *m_sbtDelSelChain; }

    // The chain an item shows.
    static TCatena* ItemChain(const QListWidgetItem& item);

    TCatena* SelectedChain = nullptr;
    TCatena* HighlightedChain = nullptr;
    bool ScrollUpdating = false;
    int LastScrollPos = 0;
    int SelectedIndex = -1;
    int DragStartX = 0;
    int DragStartY = 0;
    bool Reordered = false;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ChainFreed(const TCatena& chain) override;
    void RestoreHighlight();

    QListWidget* m_lsvChain;
    QPushButton* m_sbtDelSelChain;
    QLabel* m_lblStartPt;
    QScrollBar* m_ScrollBar1;
    QPushButton* m_sbtOk;
    QMenu* m_mnuDelChain;
    bool m_Closing = false;
};
