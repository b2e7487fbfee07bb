#include "cad/ui/frmGrid.h"

#include "cad/program/EventGuard.h"
#include "cad/panel/SetGrid.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cad/ui/FormTranslate.h"
#include "cad/ui/OrigineComp.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "core/model/WorkMonitor.h"
#include "platform/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace {

namespace LK = LangKeys::frmGrid;

// The origin picture: a 125 x 70 rectangle with room around it for the
// buttons on its corners.
constexpr int OriginLeft = 10;
constexpr int OriginTop = 10;
constexpr int OriginRight = 135;
constexpr int OriginBottom = 80;
constexpr int OriginPanelWidth = 150;
constexpr int OriginPanelHeight = 92;

const QStringList& StepItems()
{
    static const QStringList items{"0.001", "0.0025", "0.005", "0.01", "0.025", "0.05", "0.1", "0.25",
                                   "0.5",   "1",      "2.5",   "5",    "10",    "25",   "50"};
    return items;
}

QString Name(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

template <class T> T* Named(QWidget* parent, std::string_view name)
{
    auto* w = new T(parent);
    w->setObjectName(Name(name));
    return w;
}

// A label with its design text, for a program without its language file.
QLabel* Label(QWidget* parent, std::string_view name, const char* text)
{
    auto* label = Named<QLabel>(parent, name);
    label->setText(QString::fromLatin1(text));
    return label;
}

QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items, const QString& text)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentText(text);
    TCharKeyFilter::Install(*combo, SignedDecimalKeyFilter);
    return combo;
}

QLineEdit* SizeEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(QStringLiteral("100"), parent);
    edit->setObjectName(QString::fromLatin1(name));
    TCharKeyFilter::Install(*edit, DecimalKeyFilter);
    return edit;
}

QCheckBox* LinkBox(QWidget* parent, std::string_view name)
{
    auto* box = Named<QCheckBox>(parent, name);
    box->setText(QStringLiteral("Link"));
    box->setChecked(true);
    return box;
}

std::string Text(const QComboBox& combo)
{
    return QStringToAnsi(combo.currentText());
}

// The dialog whose check box shows the grid setter's state.
TfrmGrid* SnapCheckOwner = nullptr;

} // namespace

TfrmGrid::TfrmGrid(QWidget* parent) : QDialog(parent)
{
    setObjectName(Name(LK::frmGrid));
    setWindowTitle(QStringLiteral("Grid"));
    setModal(true);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("SpTBXPanel1"));

    m_grpGrid = Named<QGroupBox>(panel, LK::grpGrid);
    m_grpGrid->setTitle(QStringLiteral("Grid"));
    m_txtGridSizeX = SizeEdit(m_grpGrid, "txtGridSizeX");
    m_txtGridSizeY = SizeEdit(m_grpGrid, "txtGridSizeY");
    m_nol_cboGridX = Combo(m_grpGrid, "nol_cboGridX", StepItems(), QStringLiteral("1"));
    m_nol_cboGridY = Combo(m_grpGrid, "nol_cboGridY", StepItems(), QStringLiteral("1"));
    const QStringList subItems{"0", "2", "3", "4", "5", "10"};
    m_nol_cboGridSubX = Combo(m_grpGrid, "nol_cboGridSubX", subItems, QStringLiteral("0"));
    m_nol_cboGridSubY = Combo(m_grpGrid, "nol_cboGridSubY", subItems, QStringLiteral("0"));
    m_chkUnisceGrid = LinkBox(m_grpGrid, LK::chkUnisceGrid);
    m_chkUnisceSubGrid = LinkBox(m_grpGrid, LK::chkUnisceSubGrid);
    m_OriginPanel = new QWidget(m_grpGrid);
    m_OriginPanel->setFixedSize(OriginPanelWidth, OriginPanelHeight);

    auto* grid = new QGridLayout(m_grpGrid);
    grid->addWidget(Label(m_grpGrid, LK::lblGridX, "X"), 0, 1, Qt::AlignHCenter);
    grid->addWidget(Label(m_grpGrid, LK::lblGridY, "Y"), 0, 3, Qt::AlignHCenter);
    grid->addWidget(Label(m_grpGrid, LK::lblGridSize, "Size"), 1, 0);
    grid->addWidget(m_txtGridSizeX, 1, 1);
    grid->addWidget(m_txtGridSizeY, 1, 3);
    grid->addWidget(Label(m_grpGrid, LK::lblGridStep, "Step"), 2, 0);
    grid->addWidget(m_nol_cboGridX, 2, 1);
    grid->addWidget(m_chkUnisceGrid, 2, 2);
    grid->addWidget(m_nol_cboGridY, 2, 3);
    grid->addWidget(Label(m_grpGrid, LK::lblGridSub, "Subdivisions"), 3, 0);
    grid->addWidget(m_nol_cboGridSubX, 3, 1);
    grid->addWidget(m_chkUnisceSubGrid, 3, 2);
    grid->addWidget(m_nol_cboGridSubY, 3, 3);
    grid->addWidget(Label(m_grpGrid, LK::lblGridOrigin, "Origin"), 4, 0, Qt::AlignTop);
    grid->addWidget(m_OriginPanel, 4, 1, 1, 3, Qt::AlignLeft);

    m_chkShowGrid = Named<QCheckBox>(panel, LK::chkShowGrid);
    m_chkShowGrid->setText(QStringLiteral("Show grid"));
    m_chkSnap2Grid = Named<QCheckBox>(panel, LK::chkSnap2Grid);
    m_chkSnap2Grid->setText(QStringLiteral("Snap to grid"));

    m_grpSnapGrid = Named<QGroupBox>(panel, LK::grpSnapGrid);
    m_grpSnapGrid->setTitle(QStringLiteral("Snap"));
    m_nol_cboXSnap = Combo(m_grpSnapGrid, "nol_cboXSnap", StepItems(), QStringLiteral("1"));
    m_nol_cboYSnap = Combo(m_grpSnapGrid, "nol_cboYSnap", StepItems(), QStringLiteral("1"));
    m_chkUnisceSnap = LinkBox(m_grpSnapGrid, LK::chkUnisceSnap);
    auto* snap = new QGridLayout(m_grpSnapGrid);
    snap->addWidget(Label(m_grpSnapGrid, LK::lblSnapX, "X"), 0, 1, Qt::AlignHCenter);
    snap->addWidget(Label(m_grpSnapGrid, LK::lblSnapY, "Y"), 0, 3, Qt::AlignHCenter);
    snap->addWidget(m_nol_cboXSnap, 1, 1);
    snap->addWidget(m_chkUnisceSnap, 1, 2);
    snap->addWidget(m_nol_cboYSnap, 1, 3);
    snap->setColumnMinimumWidth(0, 1);

    m_sbtOk = Named<QPushButton>(panel, LK::sbtOk);
    m_sbtOk->setText(QStringLiteral("OK"));
    m_sbtOk->setDefault(true);
    m_sbtCancel = Named<QPushButton>(panel, LK::sbtCancel);
    m_sbtCancel->setText(QStringLiteral("Cancel"));

    auto* checks = new QHBoxLayout;
    checks->addWidget(m_chkShowGrid);
    checks->addWidget(m_chkSnap2Grid);
    checks->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_sbtOk);
    buttons->addWidget(m_sbtCancel);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(m_grpGrid);
    column->addLayout(checks);
    column->addWidget(m_grpSnapGrid);
    column->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);

    FormCreate();

    const auto guarded = [this](void (TfrmGrid::*handler)()) {
        return [this, handler] { GuardedCall([&] { (this->*handler)(); }); };
    };
    connect(m_nol_cboGridX, &QComboBox::currentTextChanged, this, guarded(&TfrmGrid::nol_cboGridXChange));
    connect(m_nol_cboGridY, &QComboBox::currentTextChanged, this, guarded(&TfrmGrid::nol_cboGridYChange));
    connect(m_nol_cboGridSubX, &QComboBox::currentTextChanged, this, guarded(&TfrmGrid::nol_cboGridSubXChange));
    connect(m_nol_cboGridSubY, &QComboBox::currentTextChanged, this, guarded(&TfrmGrid::nol_cboGridSubYChange));
    connect(m_nol_cboXSnap, &QComboBox::currentTextChanged, this, guarded(&TfrmGrid::nol_cboXSnapChange));
    connect(m_nol_cboYSnap, &QComboBox::currentTextChanged, this, guarded(&TfrmGrid::nol_cboYSnapChange));
    connect(m_txtGridSizeX, &QLineEdit::textChanged, this, guarded(&TfrmGrid::txtGridSizeXChange));
    connect(m_txtGridSizeY, &QLineEdit::textChanged, this, guarded(&TfrmGrid::txtGridSizeYChange));
    connect(m_chkShowGrid, &QCheckBox::toggled, this, guarded(&TfrmGrid::chkShowGridClick));
    connect(m_chkSnap2Grid, &QCheckBox::toggled, this, guarded(&TfrmGrid::chkSnap2GridClick));
    connect(m_sbtOk, &QPushButton::clicked, this, [this] { sbtOkClick(); });
    connect(m_sbtCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The setter shows a switch made elsewhere (the main window's menu) in
    // the check box; the box's handler sees the setter busy and leaves it.
    SnapCheckOwner = this;
    GridSetter().OnShowSnapToGrid = [this](bool on) { m_chkSnap2Grid->setChecked(on); };
}

TfrmGrid::~TfrmGrid()
{
    if (SnapCheckOwner == this) {
        SnapCheckOwner = nullptr;
        GridSetter().OnShowSnapToGrid = nullptr;
    }
    m_OriginSelector.reset();
}

void TfrmGrid::FormCreate()
{
    m_OriginSelector = std::make_unique<TOrigineComp>(this);
    m_OriginSelector->Build(OriginLeft, OriginTop, OriginRight, OriginBottom, m_OriginPanel);
    m_OriginSelector->OnOriginClick = [this](QObject* sender, int32_t position) {
        GuardedCall([&] { OnClickOrigine(sender, position); });
    };
}

void TfrmGrid::SetTargets(TQVScene* view, TQV_00CADProg* program, TAppConfig* config)
{
    m_Config = view ? config : nullptr;
    m_Model = view && config ? std::make_unique<TGridDialogModel>(*view, program, *config) : nullptr;
}

void TfrmGrid::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        GuardedCall([this] { FormShow(); });
}

void TfrmGrid::FormShow()
{
    TranslateForms({this}, LanguageIni());
    m_Open = true;
    m_GridDialogPending = true;
    if (!m_Model)
        return;
    const TAppConfig& config = *m_Config;
    {
        // The fields show the settings; the settings reach the view and the
        // program in one go below.
        const std::vector<QWidget*> fields{m_txtGridSizeX, m_txtGridSizeY,   m_nol_cboGridX, m_nol_cboGridY,
                                           m_nol_cboGridSubX, m_nol_cboGridSubY, m_nol_cboXSnap, m_nol_cboYSnap,
                                           m_chkShowGrid,  m_chkSnap2Grid};
        std::vector<std::unique_ptr<QSignalBlocker>> blockers;
        for (QWidget* field : fields)
            blockers.push_back(std::make_unique<QSignalBlocker>(field));
        m_txtGridSizeX->setText(AnsiToQString(FormatCoord(config.GridSizeX)));
        m_txtGridSizeY->setText(AnsiToQString(FormatCoord(config.GridSizeY)));
        m_OriginSelector->SetPosition(config.GridOrigin);
        m_nol_cboGridX->setCurrentText(AnsiToQString(FormatIniFloat(config.GridX)));
        m_nol_cboGridY->setCurrentText(AnsiToQString(FormatIniFloat(config.GridY)));
        m_nol_cboGridSubX->setCurrentText(QString::number(config.GridSubX));
        m_nol_cboGridSubY->setCurrentText(QString::number(config.GridSubY));
        m_chkShowGrid->setChecked(config.SGrid);
        m_chkSnap2Grid->setChecked(config.SnapToGrid);
        m_nol_cboXSnap->setCurrentText(AnsiToQString(FormatIniFloat(config.SnapX)));
        m_nol_cboYSnap->setCurrentText(AnsiToQString(FormatIniFloat(config.SnapY)));
    }
    m_Model->ApplySettings(false);
    chkSnap2GridClick();
}

void TfrmGrid::sbtOkClick()
{
    m_GridDialogPending = false;
    accept();
}

void TfrmGrid::done(int result)
{
    GuardedCall([this] { FormClose(); });
    QDialog::done(result);
}

void TfrmGrid::FormClose()
{
    if (!m_Open)
        return;
    m_Open = false;
    WorkMonitor().ShowStatusMessage("");
    if (!m_Model)
        return;
    if (m_GridDialogPending)
        m_Model->ApplySettings(true);
    else
        m_Model->StoreSettings(m_chkSnap2Grid->isChecked());
}

void TfrmGrid::CopyText(const QComboBox& source, QComboBox& target)
{
    const QSignalBlocker blocker(&target);
    target.setCurrentText(source.currentText());
}

void TfrmGrid::OnClickOrigine(QObject*, int32_t position)
{
    if (m_Model)
        m_Model->SetGridOrigin(position);
}

void TfrmGrid::nol_cboGridXChange()
{
    const bool linked = m_chkUnisceGrid->isChecked();
    if (linked)
        CopyText(*m_nol_cboGridX, *m_nol_cboGridY);
    if (m_Model)
        m_Model->SetGridStepX(Text(*m_nol_cboGridX), linked);
}

void TfrmGrid::nol_cboGridYChange()
{
    const bool linked = m_chkUnisceGrid->isChecked();
    if (linked)
        CopyText(*m_nol_cboGridY, *m_nol_cboGridX);
    if (m_Model)
        m_Model->SetGridStepY(Text(*m_nol_cboGridY), linked);
}

void TfrmGrid::nol_cboGridSubXChange()
{
    const bool linked = m_chkUnisceSubGrid->isChecked();
    if (linked)
        CopyText(*m_nol_cboGridSubX, *m_nol_cboGridSubY);
    if (m_Model)
        m_Model->SetGridSubdivisionsX(Text(*m_nol_cboGridSubX), linked);
}

void TfrmGrid::nol_cboGridSubYChange()
{
    const bool linked = m_chkUnisceSubGrid->isChecked();
    if (linked)
        CopyText(*m_nol_cboGridSubY, *m_nol_cboGridSubX);
    if (m_Model)
        m_Model->SetGridSubdivisionsY(Text(*m_nol_cboGridSubY), linked);
}

void TfrmGrid::nol_cboXSnapChange()
{
    const bool linked = m_chkUnisceSnap->isChecked();
    if (linked)
        CopyText(*m_nol_cboXSnap, *m_nol_cboYSnap);
    if (m_Model)
        m_Model->SetSnapX(Text(*m_nol_cboXSnap), linked);
}

void TfrmGrid::nol_cboYSnapChange()
{
    const bool linked = m_chkUnisceSnap->isChecked();
    if (linked)
        CopyText(*m_nol_cboYSnap, *m_nol_cboXSnap);
    if (m_Model)
        m_Model->SetSnapY(Text(*m_nol_cboYSnap), linked);
}

void TfrmGrid::txtGridSizeXChange()
{
    if (m_Model)
        m_Model->SetGridSizeX(QStringToAnsi(m_txtGridSizeX->text()));
}

void TfrmGrid::txtGridSizeYChange()
{
    if (m_Model)
        m_Model->SetGridSizeY(QStringToAnsi(m_txtGridSizeY->text()));
}

void TfrmGrid::chkShowGridClick()
{
    if (m_Model)
        m_Model->SetGridVisible(m_chkShowGrid->isChecked());
}

void TfrmGrid::chkSnap2GridClick()
{
    if (GridSetter().SnapSetterReady())
        GridSetter().SetSnapToGrid(m_chkSnap2Grid->isChecked());
}
