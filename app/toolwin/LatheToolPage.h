#pragma once
// The lathe tool page of the tool window ("tabLatheTool": lathe finishing
// and roughing): the list of the current lathe library, its files (".rlb"),
// the cutting values of one tool, and the insert geometry button.
//
// The page and its list are the lathe views of the tool libraries
// (cam/tools/CurrentToolLibrary.h) while the page lives. Adding, changing,
// deleting and dragging act on the machining context's current library and
// do nothing without one; picking a tool in the list shows nothing. The
// insert geometry belongs to the operation's own lathe tool: the geometry
// dialog edits it, and a changed record takes it along. Main thread only.

#include <QObject>

#include <memory>

class QWidget;
class TfrmToolWin;
class TToolListWidget;
class TWidgetToolPage;

class TLatheToolPage final : public QObject {
public:
    explicit TLatheToolPage(TfrmToolWin& window);
    ~TLatheToolPage() override;
    TLatheToolPage(const TLatheToolPage&) = delete;
    TLatheToolPage& operator=(const TLatheToolPage&) = delete;

    TWidgetToolPage& Page() const { return *m_Page; }
    TToolListWidget& lsvLatheTools() const { return *m_lsvLatheTools; }

    // Handlers, named after their components.
    void sbtLAddToolClick();
    void sbtLModifyToolClick();
    void sbtToolGeoClick();
    void sbtLatheOpenLibClick();
    void sbtLatheSaveLibClick();
    void lsvLatheToolsDragDrop(int from, int to);

private:
    QWidget* BuildSheet();
    void Detach();

    TfrmToolWin& m_Window;
    std::unique_ptr<TWidgetToolPage> m_Page;
    TToolListWidget* m_lsvLatheTools = nullptr; // null once the sheet is gone
};
