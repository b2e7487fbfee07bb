#include "app/toolwin/VectorizePage.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cad/ui/PlacedWidget.h"
#include "core/model/ControlEvents.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/WorkMonitor.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "io/trace/Bmp2Vector.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace {

template <typename T>
T* Captioned(QWidget* parent, std::string_view name, int x, int y, int w, int h)
{
    T* widget = PlaceWidget<T>(parent, name, x, y, w, h);
    const QString text = AnsiToQString(LangToolWinCaption(name));
    if constexpr (std::is_same_v<T, QGroupBox>)
        widget->setTitle(text);
    else
        widget->setText(text);
    return widget;
}

QSpinBox* MakeSpin(QWidget* parent, std::string_view name, int x, int y, int low, int high, int value)
{
    auto* spin = PlaceWidget<QSpinBox>(parent, name, x, y, 56, 21);
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

// Untick "View Original" on a press of a slider, redraw on its release.
class TSliderMouse final : public QObject {
public:
    TSliderMouse(QObject* parent, std::function<void()> down, std::function<void()> up)
        : QObject(parent), m_Down(std::move(down)), m_Up(std::move(up))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            GuardedCall(m_Down);
        else if (event->type() == QEvent::MouseButtonRelease)
            GuardedCall(m_Up);
        return false;
    }

private:
    std::function<void()> m_Down;
    std::function<void()> m_Up;
};

constexpr const char* SliderNames[3] = {"tbrRosso", "tbrVerde", "tbrBlu"};
constexpr const char* SpinNames[3] = {"sedRosso", "sedVerde", "sedBlu"};
constexpr std::string_view ColourLabels[3] = {LangKeys::frmToolWin::lblVecRed, LangKeys::frmToolWin::lblVecGreen,
                                              LangKeys::frmToolWin::lblVecBlue};
constexpr int Defaults[3] = {128, 127, 126};

} // namespace

TVectorizePage::TVectorizePage(QWidget& sheet, TQV_01Cmp2D& document) : QObject(&sheet), m_Document(document)
{
    BuildThresholdGroup(sheet);
    BuildSpotsGroup(sheet);
    BuildTraceGroup(sheet);
    BuildReportGroup(sheet);
}

TVectorizePage::~TVectorizePage() = default;

void TVectorizePage::BuildThresholdGroup(QWidget& sheet)
{
    auto* group = Captioned<QGroupBox>(&sheet, LangKeys::frmToolWin::grpVec1, 8, 8, 416, 112);
    const char* pictures[4] = {"imgRed", "imgVerde", "imgBlu", "imgNero"};
    const char* colours[4] = {"#ff0000", "#00a000", "#0000ff", "#000000"};
    for (int n = 0; n < 4; ++n) {
        auto* picture = PlaceWidget<QLabel>(group, pictures[n], 8, 20 + 22 * n, 14, 14);
        picture->setStyleSheet(QStringLiteral("background:%1").arg(QLatin1String(colours[n])));
    }
    m_ViewOriginal = Captioned<QCheckBox>(group, LangKeys::frmToolWin::chkViewOriginal, 28, 86, 200, 17);
    QObject::connect(m_ViewOriginal, &QCheckBox::clicked, this, [this] {
        GuardedCall([this] {
            if (!ControlEventsEnabled() || !m_Vectorizer)
                return;
            m_Vectorizer->Settings.ShowSource = m_ViewOriginal->isChecked();
            Redraw();
        });
    });
    for (int c = 0; c < 3; ++c) {
        auto* label = Captioned<QLabel>(group, ColourLabels[c], 28, 20 + 22 * c, 50, 14);
        (void)label;
        m_Sliders[c] = PlaceWidget<QSlider>(group, SliderNames[c], 80, 18 + 22 * c, 260, 20);
        m_Sliders[c]->setOrientation(Qt::Horizontal);
        m_Sliders[c]->setRange(0, 255);
        m_Sliders[c]->setValue(Defaults[c]);
        m_Spins[c] = MakeSpin(group, SpinNames[c], 348, 18 + 22 * c, 0, 255, Defaults[c]);
        QObject::connect(m_Sliders[c], &QSlider::valueChanged, this,
                         [this, c](int value) { GuardedCall([this, c, value] { SliderMoved(c, value); }); });
        QObject::connect(m_Spins[c], &QSpinBox::valueChanged, this,
                         [this, c](int value) { GuardedCall([this, c, value] { SpinChanged(c, value); }); });
        m_Sliders[c]->installEventFilter(new TSliderMouse(
            m_Sliders[c],
            [this] {
                m_ViewOriginal->setChecked(false);
                if (m_Vectorizer)
                    m_Vectorizer->Settings.ShowSource = false;
            },
            [this] { Redraw(); }));
    }
}

void TVectorizePage::BuildSpotsGroup(QWidget& sheet)
{
    using namespace LangKeys::frmToolWin;
    auto* group = Captioned<QGroupBox>(&sheet, grpVec2, 8, 124, 416, 48);
    Captioned<QLabel>(group, lblSpotsNeri, 8, 22, 70, 14);
    m_BlackSpots = MakeSpin(group, "sedSpotsNeri", 80, 18, 1, TBmp2Vector::MaxSpotsSize, 1);
    Captioned<QLabel>(group, lblSpotsBianchi, 144, 22, 70, 14);
    m_WhiteSpots = MakeSpin(group, "sedSpotsBianchi", 216, 18, 1, TBmp2Vector::MaxSpotsSize, 1);
    auto* remove = Captioned<QPushButton>(group, sbtVec2a, 284, 16, 60, 24);
    QObject::connect(remove, &QPushButton::clicked, this, [this] {
        GuardedCall([this] {
            if (!m_Vectorizer)
                return;
            ReadSettings();
            TBusySection busy(WorkMonitor());
            m_Vectorizer->RemoveBlackSpots();
            m_Vectorizer->RemoveWhiteSpots();
        });
    });
    auto* undo = Captioned<QPushButton>(group, sbtVec2b, 348, 16, 60, 24);
    QObject::connect(undo, &QPushButton::clicked, this, [this] { GuardedCall([this] { Redraw(); }); });
}

void TVectorizePage::BuildTraceGroup(QWidget& sheet)
{
    using namespace LangKeys::frmToolWin;
    auto* group = Captioned<QGroupBox>(&sheet, grpVec3, 8, 176, 416, 150);
    Captioned<QLabel>(group, lblErrorThreshold, 8, 22, 110, 14);
    m_ErrorThreshold = PlaceWidget<QDoubleSpinBox>(group, "sedError_threshold", 120, 18, 72, 21);
    m_ErrorThreshold->setDecimals(4);
    m_ErrorThreshold->setRange(0.0025, 100);
    m_ErrorThreshold->setSingleStep(0.5);
    m_ErrorThreshold->setValue(0.1);
    Captioned<QLabel>(group, lblFilterIterations, 8, 46, 110, 14);
    m_FilterIterations = MakeSpin(group, "sedFilter_iterations", 120, 42, 0, 5, 1);
    Captioned<QLabel>(group, lblCornerThreshold, 8, 70, 110, 14);
    m_CornerThreshold = MakeSpin(group, "sedCorner_threshold", 120, 66, 0, 180, 90);
    m_Centerline = Captioned<QCheckBox>(group, chkCenterline, 8, 94, 120, 17);
    Captioned<QLabel>(group, lblVecRemove, 8, 122, 110, 14);
    m_VecRemove = PlaceWidget<QLineEdit>(group, "txtVecRemove", 120, 118, 72, 21);
    m_VecRemove->setText(QStringLiteral("0.1"));
    TCharKeyFilter::Install(*m_VecRemove, DecimalKeyFilter);

    m_VecFilter = Captioned<QCheckBox>(group, chkVecFilter, 210, 18, 150, 17);
    QObject::connect(m_VecFilter, &QCheckBox::toggled, this, [this](bool on) { FilterClicked(on); });
    const std::string_view labels[3] = {lblVecFilterTol, lblVecFilterMin, lblVecFilterMax};
    const char* edits[3] = {"txtVecFilterTol", "txtVecFilterMin", "txtVecFilterMax"};
    const char* texts[3] = {"0.1", "1", "500"};
    for (int n = 0; n < 3; ++n) {
        m_FilterLabels[n] = Captioned<QLabel>(group, labels[n], 210, 46 + 24 * n, 80, 14);
        m_FilterEdits[n] = PlaceWidget<QLineEdit>(group, edits[n], 296, 42 + 24 * n, 64, 21);
        m_FilterEdits[n]->setText(QString::fromLatin1(texts[n]));
        TCharKeyFilter::Install(*m_FilterEdits[n], DecimalKeyFilter);
    }
    FilterClicked(false);
    auto* preview = Captioned<QPushButton>(group, sbtPreviewVect, 210, 118, 90, 24);
    QObject::connect(preview, &QPushButton::clicked, this, [this] { GuardedCall([this] { Preview(); }); });
    m_OnLayer = Captioned<QPushButton>(group, sbtVecOnLayer, 306, 118, 102, 24);
    QObject::connect(m_OnLayer, &QPushButton::clicked, this, [this] { GuardedCall([this] { ChooseLayer(); }); });
}

void TVectorizePage::BuildReportGroup(QWidget& sheet)
{
    using namespace LangKeys::frmToolWin;
    auto* group = Captioned<QGroupBox>(&sheet, grpVec4, 8, 330, 416, 86);
    m_Report = PlaceWidget<QPlainTextEdit>(group, "memVecReport", 8, 18, 400, 60);
    m_Report->setReadOnly(true);
    m_Done = Captioned<QPushButton>(&sheet, sbtVectDone, 264, 422, 76, 25);
    m_Done->setEnabled(false);
    QObject::connect(m_Done, &QPushButton::clicked, this, [this] { GuardedCall([this] { Done(); }); });
    auto* cancel = Captioned<QPushButton>(&sheet, sbtVectCancel, 348, 422, 76, 25);
    QObject::connect(cancel, &QPushButton::clicked, this, [this] {
        GuardedCall([this] {
            if (HideToolWin)
                HideToolWin();
        });
    });
}

void TVectorizePage::Start(TBitmap2D& bitmap, const QImage& source)
{
    m_Vectorizer = std::make_unique<TBmp2Vector>(m_Document, bitmap, source);
    if (!ProgramFolder.empty())
        m_Vectorizer->ProgramFolder = ProgramFolder;
    m_Vectorizer->OnShowPreview = [this](TContainer2D* preview) {
        if (OnShowPreview)
            OnShowPreview(preview);
    };
    m_ViewOriginal->setChecked(false);
    m_Done->setEnabled(false);
    m_Report->clear();
    ShowLayerCaption(" ");
}

void TVectorizePage::Free()
{
    if (m_Vectorizer && OnShowPreview)
        OnShowPreview(nullptr);
    m_Vectorizer.reset();
}

void TVectorizePage::ReadSettings()
{
    if (!m_Vectorizer)
        return;
    TVectorizeSettings& s = m_Vectorizer->Settings;
    s.RedThreshold = m_Spins[0]->value();
    s.GreenThreshold = m_Spins[1]->value();
    s.BlueThreshold = m_Spins[2]->value();
    s.ErrorThreshold = m_ErrorThreshold->value();
    s.FilterIterations = m_FilterIterations->value();
    s.CornerThreshold = m_CornerThreshold->value();
    s.Centerline = m_Centerline->isChecked();
    s.VecRemove = QStringToAnsi(m_VecRemove->text());
    s.BlackSpotsSize = m_BlackSpots->value();
    s.WhiteSpotsSize = m_WhiteSpots->value();
    s.VecFilter = m_VecFilter->isChecked();
    s.VecFilterTol = QStringToAnsi(m_FilterEdits[0]->text());
    s.VecFilterMin = QStringToAnsi(m_FilterEdits[1]->text());
    s.VecFilterMax = QStringToAnsi(m_FilterEdits[2]->text());
    s.ShowSource = m_ViewOriginal->isChecked();
}

void TVectorizePage::ShowReport()
{
    if (!m_Vectorizer)
        return;
    QStringList lines;
    for (const std::string& line : m_Vectorizer->Report)
        lines << AnsiToQString(line);
    m_Report->setPlainText(lines.join(QLatin1Char('\n')));
}

void TVectorizePage::Redraw()
{
    if (!m_Vectorizer)
        return;
    ReadSettings();
    m_Vectorizer->UpdatePreview(false);
}

void TVectorizePage::SliderMoved(int colour, int value)
{
    {
        const QSignalBlocker blocker(m_Spins[colour]);
        m_Spins[colour]->setValue(value);
    }
    // A drag redraws on release; a key or a click on the groove at once.
    if (!m_Sliders[colour]->isSliderDown())
        Redraw();
}

void TVectorizePage::SpinChanged(int colour, int value)
{
    {
        const QSignalBlocker blocker(m_Sliders[colour]);
        m_Sliders[colour]->setValue(value);
    }
    m_ViewOriginal->setChecked(false);
    Redraw();
}

void TVectorizePage::FilterClicked(bool on)
{
    for (int n = 0; n < 3; ++n) {
        m_FilterEdits[n]->setEnabled(on);
        m_FilterLabels[n]->setEnabled(on);
    }
}

void TVectorizePage::Preview()
{
    if (!m_Vectorizer)
        return;
    ReadSettings();
    bool traced = false;
    {
        TBusySection busy(WorkMonitor());
        traced = m_Vectorizer->Vectorize();
    }
    ShowReport();
    m_Done->setEnabled(traced);
}

void TVectorizePage::Done()
{
    if (!m_Vectorizer)
        return;
    ReadSettings();
    m_Vectorizer->AddToDrawing();
    ShowReport();
    if (HideToolWin)
        HideToolWin();
}

void TVectorizePage::ChooseLayer()
{
    if (RunLayerDialog)
        RunLayerDialog();
    ShowLayerCaption("");
}

void TVectorizePage::ShowLayerCaption(const char* separator)
{
    m_OnLayer->setText(AnsiToQString(LangToolWinCaption(LangKeys::frmToolWin::sbtVecOnLayer)) +
                       QLatin1String(separator) + QString::number(m_Document.CurrentLayer()));
}
