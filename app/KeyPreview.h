#pragma once
// TKeyPreview: the main window sees every key first, wherever the focus is
// in it (the view, the properties panel, the entity tree, a floating dock),
// before the widget with the focus gets the key. The key is always passed
// on.
//
// It watches the application's key presses as they reach a top-level
// window: the main window's own, or that of one of its docks when floating.
// Dialogs are windows of their own and are not watched. Main thread only;
// the window must outlive the filter.

#include <QObject>

#include <functional>

class QMainWindow;

class TKeyPreview final : public QObject {
public:
    // Installs itself on the application.
    TKeyPreview(QMainWindow& window, std::function<void(int qtKey)> onKeyPress);
    ~TKeyPreview() override;
    TKeyPreview(const TKeyPreview&) = delete;
    TKeyPreview& operator=(const TKeyPreview&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsWindowOfMain(QObject* watched) const;

    QMainWindow& m_Window;
    std::function<void(int)> m_OnKeyPress;
};
