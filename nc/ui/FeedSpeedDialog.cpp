#include "nc/ui/FeedSpeedDialog.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/CharKeyFilter.h"
#include "core/settings/NumberText.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmFeedSpeed::TfrmFeedSpeed(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmFeedSpeed");
    setWindowTitle("Speed and Feed");
    auto* grid = new QGridLayout;
    txtFSDia = AddEdit(*grid, "txtFSDia", "Diameter (D):");
    txtFSTeeth = AddEdit(*grid, "txtFSTeeth", "# Flutes (Z):");
    txtFSFeedT = AddEdit(*grid, "txtFSFeedT", "Feed per tooth (Fz):");
    txtFSSFM = AddEdit(*grid, "txtFSSFM", "");
    lblFSSFM = static_cast<QLabel*>(grid->itemAtPosition(3, 0)->widget());
    lblFSSFM->setObjectName("lblFSSFM");
    txtFSRpm = AddEdit(*grid, "txtFSRpm", "RPM");
    txtFSFeed = AddEdit(*grid, "txtFSFeed", "");
    lblFSFeed = static_cast<QLabel*>(grid->itemAtPosition(5, 0)->widget());
    lblFSFeed->setObjectName("lblFSFeed");

    auto* units = new QGroupBox("Units", this);
    units->setObjectName("RadioGroup1");
    rbtMm = new QRadioButton("mm", units);
    rbtInch = new QRadioButton("inch", units);
    rbtMm->setChecked(true);
    auto* unitsLayout = new QHBoxLayout(units);
    unitsLayout->addWidget(rbtMm);
    unitsLayout->addWidget(rbtInch);
    auto* group = new QButtonGroup(units);
    group->addButton(rbtMm, 0);
    group->addButton(rbtInch, 1);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { UnitsClicked(id); });

    txtClipB = new QLineEdit(this);
    txtClipB->setObjectName("txtClipB");
    txtClipB->setReadOnly(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(units);
    layout->addWidget(txtClipB);
    layout->addWidget(buttons);

    using F = TFeedSpeedModel::TFields;
    Edited(txtFSDia, &F::Dia, &TFeedSpeedModel::DiaChanged);
    Edited(txtFSTeeth, &F::Teeth, &TFeedSpeedModel::TeethOrFeedTChanged);
    Edited(txtFSFeedT, &F::FeedT, &TFeedSpeedModel::TeethOrFeedTChanged);
    Edited(txtFSSFM, &F::SFM, &TFeedSpeedModel::SpeedChanged);
    Edited(txtFSRpm, &F::Rpm, &TFeedSpeedModel::RpmChanged);
    Edited(txtFSFeed, &F::Feed, &TFeedSpeedModel::FeedChanged);
    ShowFields();
}

// A caption and its numeric edit on the next row of the grid.
QLineEdit* TfrmFeedSpeed::AddEdit(QGridLayout& grid, const char* name, const char* caption)
{
    const int row = m_Rows++;
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    TCharKeyFilter::Install(*edit, DecimalKeyFilter);
    grid.addWidget(new QLabel(caption, this), row, 0);
    grid.addWidget(edit, row, 1);
    return edit;
}

void TfrmFeedSpeed::Edited(QLineEdit* edit, std::string TFeedSpeedModel::TFields::*field,
                           void (TFeedSpeedModel::*event)())
{
    connect(edit, &QLineEdit::textChanged, this, [this, edit, field, event](const QString& text) {
        if (m_Writing || m_Model.Updating())
            return;
        m_Model.Fields.*field = text.toStdString();
        GuardedCall([this, event] { (m_Model.*event)(); });
        ShowFields(edit);
    });
}

void TfrmFeedSpeed::UnitsClicked(int itemIndex)
{
    GuardedCall([this, itemIndex] { m_Model.UnitsClicked(itemIndex); });
    ShowFields();
}

void TfrmFeedSpeed::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    GuardedCall([this] { m_Model.Show(); });
    ShowFields();
}

// Writes the model's fields into the edits whose text differs, all but the
// edit being typed into: "0." stays as typed while the model shows "0".
void TfrmFeedSpeed::ShowFields(const QLineEdit* typing)
{
    m_Writing = true;
    const auto& f = m_Model.Fields;
    const std::pair<QLineEdit*, const std::string*> pairs[] = {
        {txtFSDia, &f.Dia},   {txtFSTeeth, &f.Teeth}, {txtFSFeedT, &f.FeedT}, {txtFSSFM, &f.SFM},
        {txtFSRpm, &f.Rpm},   {txtFSFeed, &f.Feed},   {txtClipB, &f.ClipB}};
    for (const auto& [edit, text] : pairs) {
        const QString value = QString::fromStdString(*text);
        if (edit != typing && edit->text() != value)
            edit->setText(value);
    }
    lblFSSFM->setText(m_Model.SpeedCaption());
    lblFSFeed->setText(m_Model.FeedCaption());
    (m_Model.Metric() ? rbtMm : rbtInch)->setChecked(true);
    m_Writing = false;
}

void ShowFeedSpeedCalculator(QWidget* parent)
{
    // One form for the run: its values persist between showings.
    static QPointer<TfrmFeedSpeed> form;
    if (!form)
        form = new TfrmFeedSpeed(parent);
    form->exec();
}
