#include "cam/ui/frmCncTab.h"

#include "cad/program/QV_00CADProg.h"
#include "cad/scene/ProgramScene.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cad/ui/FormTranslate.h"
#include "cam/chains/Catena.h"
#include "cam/chains/TabPlacing.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <optional>
#include <string_view>

namespace {

namespace LK = LangKeys::frmCncTab;

QString Name(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

template <class T> T* Named(QWidget* parent, std::string_view name, const char* text = nullptr)
{
    auto* w = new T(parent);
    w->setObjectName(Name(name));
    if constexpr (requires { w->setText(QString()); })
        if (text)
            w->setText(QString::fromLatin1(text));
    return w;
}

// The tab list's lines on the window's list box.
class TQtTabListBox final : public TTabListBox {
public:
    explicit TQtTabListBox(QListWidget& list) : m_List(list) {}
    void AddLine(const std::string& text) override { m_List.addItem(AnsiToQString(text)); }
    void DeleteLine(int index) override
    {
        if (index >= 0 && index < m_List.count())
            delete m_List.takeItem(index);
    }
    void Clear() override { m_List.clear(); }

private:
    QListWidget& m_List;
};

// The edit's number once it holds a complete one (IsCompleteNumber).
std::optional<double> CompleteNumber(const QLineEdit& edit)
{
    const std::string text = QStringToAnsi(edit.text());
    return IsCompleteNumber(text) ? ParseDecimal(text) : std::nullopt;
}

} // namespace

TfrmCncTab::TfrmCncTab(QWidget* parent) : QDialog(parent)
{
    setObjectName(Name(LK::frmCncTab));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setFixedSize(270, 362);

    m_grpTabSet = Named<QGroupBox>(this, LK::grpTabSet);
    m_grpTabSet->setGeometry(8, 8, 254, 130);
    m_imgTab = new QLabel(m_grpTabSet);
    m_imgTab->setObjectName(QStringLiteral("imgTab"));
    m_imgTab->setGeometry(8, 20, 100, 60);
    m_rbtTabFull = Named<QRadioButton>(m_grpTabSet, LK::rbtTabFull, "Full");
    m_rbtTabFull->setGeometry(120, 20, 120, 20);
    m_rbtTabFull->setChecked(true);
    m_rbtTabPartial = Named<QRadioButton>(m_grpTabSet, LK::rbtTabPartial, "Partial");
    m_rbtTabPartial->setGeometry(120, 44, 120, 20);
    m_lblTabWidth = Named<QLabel>(m_grpTabSet, LK::lblTabWidth, "Width");
    m_lblTabWidth->setGeometry(8, 90, 70, 16);
    m_txtTabWidth = Named<QLineEdit>(m_grpTabSet, "txtTabWidth", "1");
    m_txtTabWidth->setGeometry(80, 88, 45, 20);
    m_lblTabThick = Named<QLabel>(m_grpTabSet, LK::lblTabThick, "Thickness");
    m_lblTabThick->setGeometry(130, 90, 70, 16);
    m_txtTabThick = Named<QLineEdit>(m_grpTabSet, "txtTabThick", "1");
    m_txtTabThick->setGeometry(200, 88, 45, 20);

    m_grpTabPos = Named<QGroupBox>(this, LK::grpTabPos);
    m_grpTabPos->setGeometry(8, 144, 254, 176);
    m_sbtTabPos = Named<QPushButton>(m_grpTabPos, LK::sbtTabPos, "Place");
    m_sbtTabPos->setGeometry(8, 20, 80, 25);
    m_rbtTabManual = Named<QRadioButton>(m_grpTabPos, LK::rbtTabManual, "Manual");
    m_rbtTabManual->setGeometry(96, 18, 80, 20);
    m_rbtTabManual->setChecked(true);
    m_rbtTabAuto = Named<QRadioButton>(m_grpTabPos, LK::rbtTabAuto, "Automatic");
    m_rbtTabAuto->setGeometry(96, 40, 80, 20);
    m_lblTabNum = Named<QLabel>(m_grpTabPos, LK::lblTabNum, "Count");
    m_lblTabNum->setGeometry(180, 20, 40, 16);
    m_txtTabNum = Named<QLineEdit>(m_grpTabPos, "txtTabNum", "2");
    m_txtTabNum->setGeometry(220, 18, 28, 20);

    m_sbtTabCancel = Named<QPushButton>(this, LK::sbtTabCancel, "Cancel");
    m_sbtTabCancel->setGeometry(104, 330, 75, 25);
    m_sbtTabOk = Named<QPushButton>(this, LK::sbtTabOk, "OK");
    m_sbtTabOk->setGeometry(187, 330, 75, 25);

    m_mnuCncTab = new QMenu(this);
    m_mnuCncTab->setObjectName(QStringLiteral("mnuCncTab"));
    QAction* del = m_mnuCncTab->addAction(QStringLiteral("Delete"));
    del->setObjectName(Name(LK::mnuTabDel));
    QAction* delAll = m_mnuCncTab->addAction(QStringLiteral("Delete all"));
    delAll->setObjectName(Name(LK::mnuTabDelAll));

    TCharKeyFilter::Install(*m_txtTabWidth, DecimalKeyFilter);
    TCharKeyFilter::Install(*m_txtTabThick, DecimalKeyFilter);

    FormCreate();

    connect(m_rbtTabFull, &QRadioButton::clicked, this, [this] { rbtTabFullClick(); });
    connect(m_rbtTabPartial, &QRadioButton::clicked, this, [this] { rbtTabPartialClick(); });
    connect(m_rbtTabManual, &QRadioButton::clicked, this, [this] { rbtTabManualClick(); });
    connect(m_rbtTabAuto, &QRadioButton::clicked, this, [this] { rbtTabAutoClick(); });
    connect(m_sbtTabPos, &QPushButton::clicked, this, [this] { sbtTabPosClick(); });
    // Only the user's typing: the tool window fills the edits unbound.
    connect(m_txtTabWidth, &QLineEdit::textEdited, this, [this] { txtTabWidthChange(); });
    connect(m_txtTabThick, &QLineEdit::textEdited, this, [this] { txtTabThickChange(); });
    connect(m_LstBox, &QListWidget::itemClicked, this, [this] { LstBoxClick(); });
    connect(m_LstBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { m_mnuCncTab->popup(m_LstBox->viewport()->mapToGlobal(p)); });
    connect(del, &QAction::triggered, this, [this] { mnuTabDelClick(); });
    connect(delAll, &QAction::triggered, this, [this] { mnuTabDelAllClick(); });
    connect(m_sbtTabCancel, &QPushButton::clicked, this, [this] { sbtTabCancelClick(); });
    connect(m_sbtTabOk, &QPushButton::clicked, this, [this] { sbtTabOkClick(); });
}

TfrmCncTab::~TfrmCncTab()
{
    Bind(nullptr, nullptr);
}

void TfrmCncTab::FormCreate()
{
    rbtTabFullClick();
    rbtTabManualClick();
    m_LstBox = new QListWidget(m_grpTabPos);
    m_LstBox->setObjectName(QStringLiteral("LstBox"));
    m_LstBox->setGeometry(8, 72, m_grpTabPos->width() - 16, m_grpTabPos->height() - 80);
    m_LstBox->setFrameShape(QFrame::NoFrame);
    m_LstBox->setContextMenuPolicy(Qt::CustomContextMenu);
    m_ListBox = std::make_unique<TQtTabListBox>(*m_LstBox);
}

void TfrmCncTab::Bind(TListaTab* tabs, TListaCatene* chains)
{
    if (m_Tabs && m_Tabs->ListBox() == m_ListBox.get())
        m_Tabs->SetListBox(nullptr);
    m_Tabs = tabs;
    m_Chains = chains;
    if (m_Tabs)
        m_Tabs->SetListBox(m_ListBox.get());
}

void TfrmCncTab::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmCncTab::FormShow()
{
    if (QWidget* owner = parentWidget())
        move(owner->geometry().left() + 16, y());
    TranslateForms({this}, LanguageIni());
    if (!m_Tabs || m_Tabs->Count() == 0)
        m_LstBox->clear();
    if (m_Tabs)
        m_Tabs->Full = m_rbtTabFull->isChecked() ? 1 : 0;
}

void TfrmCncTab::SetPictures(std::function<QPixmap(int index)> pictures)
{
    m_Pictures = std::move(pictures);
    ShowTabImage(m_TabImage);
}

void TfrmCncTab::ShowTabImage(int index)
{
    m_TabImage = index;
    if (m_Pictures)
        m_imgTab->setPixmap(m_Pictures(index).scaled(m_imgTab->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfrmCncTab::rbtTabFullClick()
{
    ShowTabImage(9);
    m_lblTabThick->setEnabled(false);
    m_txtTabThick->setEnabled(false);
    if (m_Tabs)
        m_Tabs->Full = 1;
}

void TfrmCncTab::rbtTabPartialClick()
{
    ShowTabImage(10);
    m_lblTabThick->setEnabled(true);
    m_txtTabThick->setEnabled(true);
    if (m_Tabs)
        m_Tabs->Full = 0;
}

void TfrmCncTab::rbtTabManualClick()
{
    m_sbtTabPos->setEnabled(true);
    m_txtTabNum->setEnabled(false);
    m_lblTabNum->setEnabled(false);
}

void TfrmCncTab::rbtTabAutoClick()
{
    m_sbtTabPos->setEnabled(false);
    m_txtTabNum->setEnabled(true);
    m_lblTabNum->setEnabled(true);
}

void TfrmCncTab::CancelPlacement()
{
    if (m_Program)
        m_Program->SendUserEvent(TCADUserEvent::Cancel);
}

void TfrmCncTab::RebuildScene()
{
    if (m_Program && m_Program->ViewPort()) {
        m_Program->ViewPort()->RebuildScene(false);
        return;
    }
    if (TQV_01Cmp* document = TabMarkerDocument())
        document->RepaintViewports();
}

void TfrmCncTab::sbtTabPosClick()
{
    if (!m_Tabs || !m_Chains || m_Chains->Count() == 0) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::NoChainsForTabs),
                                   LangText(LangKeys::String::ErrorCaption));
        return;
    }
    if (!m_Program)
        return;
    const double width = CompleteNumber(*m_txtTabWidth).value_or(m_Tabs->TabWidth);
    m_Program->StartOperation(StateClassOf<TMuoveDinamico>(),
                              std::make_unique<TMuoveDinamicoParam>(nullptr, m_Tabs->Full, width, m_ListBox.get(),
                                                                    m_Tabs, m_Chains));
}

void TfrmCncTab::txtTabWidthChange()
{
    const std::optional<double> width = CompleteNumber(*m_txtTabWidth);
    if (!width)
        return;
    CancelPlacement();
    if (m_Program && m_Program->CurrentState())
        if (auto* running = dynamic_cast<TMuoveDinamicoParam*>(m_Program->CurrentState()->Param()))
            running->TabWidth = *width;
    if (!m_Tabs)
        return;
    m_Tabs->TabWidth = *width;
    m_Tabs->RemoveMarkers();
    if (m_Chains)
        for (int i = 0; i < m_Tabs->Count(); ++i) {
            TDatiTab& tab = m_Tabs->Tab(i);
            ShowTabMarker(FindChainByID(*m_Chains, tab.ChainId), tab, true, *width);
        }
    RebuildScene();
}

void TfrmCncTab::txtTabThickChange()
{
    if (const std::optional<double> thickness = CompleteNumber(*m_txtTabThick); thickness && m_Tabs)
        m_Tabs->TabThickness = *thickness;
}

void TfrmCncTab::LstBoxClick()
{
    CancelPlacement();
    const int row = m_LstBox->currentRow();
    if (row < 0 || !m_Tabs || row >= m_Tabs->Count() || !m_Program)
        return;
    auto* document = dynamic_cast<TQV_01Cmp2D*>(TabMarkerDocument());
    TQVScene* scene = ProgramScene(*m_Program);
    if (!document || !scene)
        return;
    if (TObject2D* marker = document->GetObject(m_Tabs->Tab(row).MarkerId))
        scene->ShowDragObject(marker);
}

void TfrmCncTab::mnuTabDelClick()
{
    const int row = m_LstBox->currentRow();
    if (row < 0 || !m_Tabs)
        return;
    if (m_Program)
        if (TQVScene* scene = ProgramScene(*m_Program))
            scene->HideDragObject(); // it may show the marker that goes
    m_Tabs->DeleteTab(row);
    RebuildScene();
}

void TfrmCncTab::mnuTabDelAllClick()
{
    if (!m_Tabs)
        return;
    if (m_Program)
        if (TQVScene* scene = ProgramScene(*m_Program))
            scene->HideDragObject();
    m_Tabs->ClearTabs();
    RebuildScene();
}

void TfrmCncTab::sbtTabCancelClick()
{
    CancelPlacement();
    hide();
}

void TfrmCncTab::sbtTabOkClick()
{
    CancelPlacement();
    close();
}
