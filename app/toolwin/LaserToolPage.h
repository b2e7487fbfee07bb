#pragma once
// The laser settings page of the tool window ("tabLaserLib": laser
// engraving, cut and pocket): the fields of one laser setting, the list of
// the current laser library with its files, the gas switch and the
// operation's comment edit ("txtOpCommentLa").
//
// The page and its list are the laser views of the tool libraries
// (cam/tools/CurrentToolLibrary.h), installed while the page lives. Adding,
// changing, deleting and dragging act on the current library
// (app/toolwin/LibraryPageActions.h) and do nothing without one; clicking a
// setting in the list does nothing. Main thread only.

#include <QObject>

#include <memory>

class QLineEdit;
class QWidget;
class TfrmToolWin;
class TToolListWidget;
class TWidgetToolPage;

class TLaserToolPage final : public QObject {
public:
    explicit TLaserToolPage(TfrmToolWin& window);
    ~TLaserToolPage() override;
    TLaserToolPage(const TLaserToolPage&) = delete;
    TLaserToolPage& operator=(const TLaserToolPage&) = delete;

    TWidgetToolPage& Page() const { return *m_Page; }
    TToolListWidget& lsvLaser() const { return *m_lsvLaser; }

    // Handlers, named after their components.
    void sbtAddLasSetClick();
    void sbtModifyLasClick();
    void txtLasDiametroChange();
    // The gas value and delay with their labels follow the box.
    void chkLaserGasClick();
    void sbtOpenLasLibClick();
    void sbtSaveLasLibClick();

private:
    QWidget* BuildSheet();
    void Detach();

    TfrmToolWin& m_Window;
    std::unique_ptr<TWidgetToolPage> m_Page;
    TToolListWidget* m_lsvLaser = nullptr; // null once the sheet is gone
    QLineEdit* m_txtLasDiametro = nullptr;
};
