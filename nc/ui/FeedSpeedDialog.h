#pragma once
// The feed and speed calculator window ("Speed and Feed"): the fields of
// TFeedSpeedModel in a dialog. Whichever field the operator edits, the
// others follow; a field that does not convert or a zero divisor shows the
// error box of the default handler and leaves every other field as it was.
// Its texts are built in; the window is not translated.

#include "nc/calc/FeedSpeed.h"

#include <QDialog>

#include <string>

class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

class TfrmFeedSpeed : public QDialog {
public:
    explicit TfrmFeedSpeed(QWidget* parent = nullptr);

    TFeedSpeedModel& Model() { return m_Model; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* AddEdit(QGridLayout& grid, const char* name, const char* caption);
    void Edited(QLineEdit* edit, std::string TFeedSpeedModel::TFields::*field,
                void (TFeedSpeedModel::*event)());
    void UnitsClicked(int itemIndex);
    void ShowFields(const QLineEdit* typing = nullptr);

    TFeedSpeedModel m_Model;
    QLineEdit *txtFSDia, *txtFSTeeth, *txtFSFeedT, *txtFSSFM, *txtFSRpm, *txtFSFeed, *txtClipB;
    QLabel *lblFSSFM, *lblFSFeed;
    QRadioButton *rbtMm, *rbtInch;
    int m_Rows = 0;
    bool m_Writing = false;
};

// The calculator of the G-code editor's Tools menu, shown modally; its
// values persist between showings for the whole run.
void ShowFeedSpeedCalculator(QWidget* parent);
