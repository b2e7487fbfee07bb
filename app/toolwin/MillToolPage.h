#pragma once
// The mill tool page of the tool window ("tabTool": contour, pocket,
// drilling, 3D parallel, letters): the fields of one tool record, the list
// of the current tool library, its files, and the operation's comment edit.
//
// The page and its list are the mill views of the tool libraries
// (cam/tools/CurrentToolLibrary.h), installed while the page lives, so the
// library an operation makes current fills them. Picking, adding, changing,
// deleting and dragging act on that library (the machining context's
// CurrentToolLibrary()) and do nothing without one. A record that cannot
// read the page keeps its item and says "465". Main thread only.

#include <QObject>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class TfrmToolWin;
class TLibreriaUtBase;
class TToolListWidget;
class TWidgetToolPage;

class TMillToolPage final : public QObject {
public:
    explicit TMillToolPage(TfrmToolWin& window);
    ~TMillToolPage() override;
    TMillToolPage(const TMillToolPage&) = delete;
    TMillToolPage& operator=(const TMillToolPage&) = delete;

    TWidgetToolPage& Page() const { return *m_Page; }
    TToolListWidget& lsvTools() const { return *m_lsvTools; }

    // Handlers, named after their components.
    void lsvToolsClick();
    void sbtAddToolClick();
    void sbtModifyToolClick();
    void mnuToolDeleteClick();
    void cboToolTypeChange();
    void txtDiametroChange();
    void sbtOpenLibClick();
    void sbtSaveLibClick();
    void lsvToolsDragDrop(int from, int to);

private:
    QWidget* BuildSheet();
    // The list is going: the libraries and the current one let go of the
    // page and the list.
    void Detach();
    // The machining context's current library; null without one.
    static TLibreriaUtBase* Library();

    TfrmToolWin& m_Window;
    std::unique_ptr<TWidgetToolPage> m_Page;
    TToolListWidget* m_lsvTools = nullptr; // null once the sheet is gone
    QComboBox* m_cboToolType = nullptr;
    QLineEdit* m_txtDiametro = nullptr;
    QLineEdit* m_txtC_Raggio = nullptr;
    QLabel* m_imgTool = nullptr;
};
