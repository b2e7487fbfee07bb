#include "io/ui/DlgOpenGeo.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cad/ui/PlacedWidget.h"
#include "core/entities/QV_STLSurf.h"
#include "core/model/ControlEvents.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "io/dxf/DXF2DImport.h"
#include "io/trace/ImageResolution.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <filesystem>
#include <stdexcept>

namespace {

QString Caption(std::string_view name)
{
    return AnsiToQString(LangToolWinCaption(name));
}

QLabel* RightLabel(QWidget* parent, std::string_view name, int x, int y, int w)
{
    auto* label = PlaceWidget<QLabel>(parent, name, x, y, w, 13);
    label->setText(Caption(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// The origin picture: a rectangle inset by 2 pixels with its two centre
// lines, in the button-shadow colour.
class TOriginPicture final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Dark), 1));
        painter.drawRect(2, 2, width() - 5, height() - 5);
        painter.drawLine(0, height() / 2, width() - 1, height() / 2);
        painter.drawLine(width() / 2, 0, width() / 2, height() - 1);
    }
};

std::string FileNameOnly(const std::string& fileName)
{
    return std::filesystem::path(fileName).filename().string();
}

// The number of a complete number text; none for "", "-", "." and the like.
std::optional<double> TypedNumber(const QLineEdit& edit)
{
    const std::string text = QStringToAnsi(edit.text());
    if (!IsCompleteNumber(text))
        return std::nullopt;
    return ParseDecimal(text);
}

} // namespace

TDlgOpenGeo::TDlgOpenGeo(QWidget& page, TQV_01Cmp2D& document, TDocumentView* view, const TAppConfig& config)
    : TVecRasInfo(document, view), m_Config(config)
{
    m_Frame = new QWidget(&page);
    m_Frame->setObjectName(QStringLiteral("OpenGeoFrame"));
    m_Frame->setGeometry(0, 0, 430, 430);
    m_AutoZoom = PlaceWidget<QCheckBox>(m_Frame, LangKeys::frmMain::mnuAutozoom, 8, 400, 66 + 60, 17);
    m_AutoZoom->setText(AnsiToQString(LangMainCaption(LangKeys::frmMain::mnuAutozoom)).remove(QLatin1Char('&')));
    m_AutoZoom->setChecked(true);
    QObject::connect(m_AutoZoom, &QCheckBox::toggled, this, [this](bool on) { AutoZoom = on; });
    m_Apply = PlaceWidget<QPushButton>(m_Frame, LangKeys::frmToolWin::sbtOpenApply, 280, 384, 65, 25);
    m_Apply->setText(Caption(LangKeys::frmToolWin::sbtOpenApply));
    m_Apply->setEnabled(false);
    QObject::connect(m_Apply, &QPushButton::clicked, this, [this] { GuardedCall([this] { Apply(); }); });
    m_DoneButton = PlaceWidget<QPushButton>(m_Frame, LangKeys::frmToolWin::sbtOpenDone, 352, 384, 65, 25);
    m_DoneButton->setText(Caption(LangKeys::frmToolWin::sbtOpenDone));
    QObject::connect(m_DoneButton, &QPushButton::clicked, this, [this] { GuardedCall([this] { Done(); }); });
    m_Frame->show();
}

TDlgOpenGeo::~TDlgOpenGeo()
{
    delete m_Frame;
}

// --- Building -----------------------------------------------------------------

void TDlgOpenGeo::BuildInfoGroup(const std::string& captionKey)
{
    m_InfoGroup = PlaceWidget<QGroupBox>(m_Frame, "grpOpenInfo", 8, 8, 208, 313);
    m_InfoGroup->setTitle(AnsiToQString(LangText(captionKey)));
    m_Tree = PlaceWidget<QTreeWidget>(m_InfoGroup, "tvOpenInfo", 8, 24, 208 - 16, 313 - 40);
    m_Tree->setHeaderHidden(true);
}

void TDlgOpenGeo::BuildRotateGroup()
{
    auto* group = PlaceWidget<QGroupBox>(m_Frame, LangKeys::frmToolWin::grpDxfRotate, 8, 328, 208, 49);
    group->setTitle(Caption(LangKeys::frmToolWin::grpDxfRotate));
    RightLabel(group, LangKeys::frmToolWin::lblDxfRotate, 8, 20, 95);
    m_RotateEdit = PlaceWidget<QLineEdit>(group, "txtDxfRotate", 112, 16, 73, 21);
    TCharKeyFilter::Install(*m_RotateEdit, SignedDecimalKeyFilterEnter);
    QObject::connect(m_RotateEdit, &QLineEdit::textChanged, this, [this] { GuardedCall([this] { RotateEdited(); }); });
}

void TDlgOpenGeo::BuildSizeGroup()
{
    using namespace LangKeys::frmToolWin;
    auto* group = PlaceWidget<QGroupBox>(m_Frame, grpAttribb, 224, 8, 193, 112);
    group->setTitle(Caption(grpAttribb));
    const std::string_view labels[3] = {lblAttriba, lblAttribb, lblAttribc};
    const char* edits[3] = {"txtSizeX", "txtSizeY", "txtSizeZ"};
    for (int axis = 0; axis < 3; ++axis) {
        QLabel* label = RightLabel(group, labels[axis], 8, 20 + 24 * axis, 72);
        m_SizeEdits[size_t(axis)] = PlaceWidget<QLineEdit>(group, edits[axis], 88, 16 + 24 * axis, 57, 21);
        TCharKeyFilter::Install(*m_SizeEdits[size_t(axis)], SignedDecimalKeyFilterEnter);
        auto* unit = PlaceWidget<QLabel>(group, "lblSizeUnit", 160, 20 + 24 * axis, 30, 13);
        unit->setText(AnsiToQString(m_Config.UnitWord()));
        QObject::connect(m_SizeEdits[size_t(axis)], &QLineEdit::textChanged, this,
                         [this, axis] { GuardedCall([this, axis] { SizeEdited(axis); }); });
        if (axis == 2 && !m_3D) {
            m_SizeEdits[2]->setText(QStringLiteral("0.0"));
            for (QWidget* widget : {static_cast<QWidget*>(label), static_cast<QWidget*>(m_SizeEdits[2]),
                                    static_cast<QWidget*>(unit)})
                widget->setEnabled(false);
        }
    }
    auto* ratio = PlaceWidget<QCheckBox>(group, chkRatio, 8, 90, 170, 17);
    ratio->setText(Caption(chkRatio));
    ratio->setChecked(KeepRatio);
    QObject::connect(ratio, &QCheckBox::toggled, this, [this](bool on) { KeepRatio = on; });
}

void TDlgOpenGeo::BuildOriginGroup(bool fileOrigin)
{
    using namespace LangKeys::frmToolWin;
    auto* group = PlaceWidget<QGroupBox>(m_Frame, grpOrigin, 224, 124, 193, 253);
    group->setTitle(Caption(grpOrigin));
    const int x0 = m_3D ? 20 : 45, y0 = 24, w = m_3D ? 80 : 120, h = m_3D ? 50 : 60, g = m_3D ? 16 : 12;
    PlaceWidget<TOriginPicture>(group, "imgOrigin", x0, y0, w, h);
    m_CornerGroup = new QButtonGroup(group);
    m_FirstOrigin = fileOrigin ? 0 : 1;
    const QPoint places[6] = {{8, y0 + h + g},          {x0 - 4, y0 + h - 10},   {x0 - 4, y0 - 5},
                              {x0 + w - 10, y0 - 5},    {x0 + w - 10, y0 + h - 10}, {x0 + w / 2 - 6, y0 + h / 2 - 6}};
    for (int n = m_FirstOrigin; n <= 5; ++n) {
        const std::string name = n == 0 ? std::string(rbtOriginDxf) : "rbtOrigin" + std::to_string(n);
        auto* radio = PlaceWidget<QRadioButton>(group, name, places[n].x(), places[n].y(), n == 0 ? 170 : 14, 14);
        if (n == 0)
            radio->setText(Caption(rbtOriginDxf));
        m_Radios[size_t(n)] = radio;
        m_CornerGroup->addButton(radio, n);
        QObject::connect(radio, &QRadioButton::toggled, this, [this, n](bool on) {
            if (on)
                GuardedCall([this, n] { OriginRadioChosen(n); });
        });
    }
    if (m_3D) {
        m_ZGroup = new QButtonGroup(group);
        const std::string_view labels[2] = {lblZTop, lblZBottom};
        for (int n = ZTop; n <= ZBottom; ++n) {
            auto* radio = PlaceWidget<QRadioButton>(group, n == ZTop ? "rbtZTop" : "rbtZBottom", 120, n == ZTop ? 20 : 60, 14, 14);
            m_Radios[size_t(n)] = radio;
            m_ZGroup->addButton(radio, n);
            auto* label = PlaceWidget<QLabel>(group, labels[n - ZTop], 135, n == ZTop ? 22 : 62, 55, 13);
            label->setText(Caption(labels[n - ZTop]));
            QObject::connect(radio, &QRadioButton::toggled, this, [this, n](bool on) {
                if (on)
                    GuardedCall([this, n] { ZRadioChosen(n); });
            });
        }
    }
    auto* bevel1 = PlaceWidget<QFrame>(group, "bvlOrigin1", 16, 112, 160, 7);
    bevel1->setFrameShape(QFrame::HLine);
    auto* pick = PlaceWidget<QPushButton>(group, sbtSetOrigin, 64, 128, 81, 22);
    pick->setText(Caption(sbtSetOrigin));
    QObject::connect(pick, &QPushButton::clicked, this, [this] { PickArmed = true; });
    auto* bevel2 = PlaceWidget<QFrame>(group, "bvlOrigin2", 16, 152, 160, 7);
    bevel2->setFrameShape(QFrame::HLine);
    const std::string_view labels[3] = {lblOriginX, lblOriginY, lblOriginZ};
    const char* edits[3] = {"txtOriginX", "txtOriginY", "txtOriginZ"};
    for (int axis = 0; axis < 3; ++axis) {
        QLabel* label = RightLabel(group, labels[axis], 8, 178 + 24 * axis, 97);
        QLineEdit* edit = PlaceWidget<QLineEdit>(group, edits[axis], 112, 172 + 24 * axis, 65, 21);
        edit->setText(QStringLiteral("0"));
        TCharKeyFilter::Install(*edit, SignedDecimalKeyFilter);
        m_OriginEdits[size_t(axis)] = edit;
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this, axis] { GuardedCall([this, axis] { OriginEdited(axis); }); });
        if (axis == 2 && !m_3D) {
            label->setEnabled(false);
            edit->setEnabled(false);
        }
    }
}

void TDlgOpenGeo::BuildDxfColourBox()
{
    m_DxfColours = PlaceWidget<QCheckBox>(m_Frame, LangKeys::frmToolWin::chkDxfAci, 8, 384, 69 + 120, 17);
    m_DxfColours->setText(Caption(LangKeys::frmToolWin::chkDxfAci));
    m_DxfColours->setChecked(true);
    QObject::connect(m_DxfColours, &QCheckBox::clicked, this, [this](bool on) {
        GuardedCall([this, on] { ShowFileLayerColours(on, m_Config.DefLayers); });
    });
}

QTreeWidgetItem* TDlgOpenGeo::TreeRoot(const std::string& text)
{
    auto* root = new QTreeWidgetItem(m_Tree, QStringList(AnsiToQString(text)));
    return root;
}

void TDlgOpenGeo::TreeChild(QTreeWidgetItem* root, const std::string& text)
{
    new QTreeWidgetItem(root, QStringList(AnsiToQString(text)));
}

void TDlgOpenGeo::GeometryTreeItems(QTreeWidgetItem* root, const std::string& fileName, bool objectCount)
{
    using namespace LangKeys::String;
    TreeChild(root, LangText(GeoFileName) + FileNameOnly(fileName));
    const TPoint3D& lo = BoundingBox.FirstEdge;
    const TPoint3D& hi = BoundingBox.SecondEdge;
    TreeChild(root, LangText(GeoMinimum) + " " + FormatCoordX(lo.X) + ", " + FormatCoordY(lo.Y));
    TreeChild(root, LangText(GeoMaximum) + " " + FormatCoordX(hi.X) + ", " + FormatCoordY(hi.Y));
    TreeChild(root, LangText(GeoSizeX) + FormatCoordSpaced(SizeX));
    TreeChild(root, LangText(GeoSizeY) + FormatCoordSpaced(SizeY));
    if (objectCount)
        TreeChild(root, LangText(GeoObjects) + std::to_string(m_Document.ObjectsCount()));
}

void TDlgOpenGeo::RasterTree(const std::string& fileName)
{
    using namespace LangKeys::String;
    QTreeWidgetItem* root = TreeRoot(LangText(RasterInfo));
    TreeChild(root, LangText(RasterFile) + FileNameOnly(fileName));
    TreeChild(root, LangText(RasterWidth) + FormatCoord(SizeX));
    TreeChild(root, LangText(RasterHeight) + FormatCoord(SizeY));
    TreeChild(root, LangText(RasterBits) + std::to_string(Bits) + " bit");
    TreeChild(root, LangText(RasterResolution) + std::to_string(Resolution));
    TreeChild(root, LangText(RasterCompression) + " 0");
    m_Tree->expandAll();
}

// --- Setups -------------------------------------------------------------------

void TDlgOpenGeo::SetupDxf(const TDXF2DImport& importer, const std::string& fileName)
{
    using namespace LangKeys::String;
    BuildInfoGroup(std::string(OpenGeoDxf));
    BuildRotateGroup();
    BuildSizeGroup();
    BuildOriginGroup(true);
    BuildDxfColourBox();
    UpdateFromDrawingBounds();
    CheckOriginSilently(FileOrigin);

    QTreeWidgetItem* root = TreeRoot(LangText(OpenGeoDxf) + " - Version: " + std::to_string(importer.Version()));
    GeometryTreeItems(root, fileName, false);
    const TDXFEntityCounters& c = importer.Counters();
    TreeChild(root, LangText(StatsPoints) + std::to_string(c.Points));
    TreeChild(root, LangText(StatsLines) + std::to_string(c.Lines));
    TreeChild(root, LangText(StatsArcs) + std::to_string(c.Arcs));
    TreeChild(root, LangText(DxfCircles) + std::to_string(c.Circles));
    TreeChild(root, LangText(StatsPolylines) + std::to_string(c.Polylines));
    TreeChild(root, "Spline:" + std::to_string(c.Splines));
    TreeChild(root, LangText(StatsEllipses) + std::to_string(c.Ellipses));
    TreeChild(root, LangText(StatsTexts) + std::to_string(c.Texts));
    if (c.Inserts != 0)
        TreeChild(root, LangText(StatsBlocks) + std::to_string(c.Inserts));
    m_Tree->expandAll();
    m_Rotatable = true;
}

void TDlgOpenGeo::SetupSvg(const std::string& fileName)
{
    BuildInfoGroup(std::string(LangKeys::String::OpenGeoSvg));
    BuildRotateGroup();
    BuildSizeGroup();
    BuildOriginGroup(true);
    UpdateFromDrawingBounds();
    CheckOriginSilently(FileOrigin);
    GeometryTreeItems(TreeRoot(LangText(LangKeys::String::OpenGeoSvg)), fileName, true);
    m_Tree->expandAll();
    m_Rotatable = true;
}

void TDlgOpenGeo::SetupStl(TQV_STLSurf& surface, const std::string& fileName)
{
    m_3D = true;
    BuildInfoGroup(std::string(LangKeys::String::OpenGeoStl));
    BuildRotateGroup();
    BuildSizeGroup();
    BuildOriginGroup(true);
    Surface = &surface;
    surface.UpdateBounds();
    SetBox3DAndShow(surface.Box3D());
    CheckOriginSilently(FileOrigin);
    GeometryTreeItems(TreeRoot(LangText(LangKeys::String::OpenGeoStl)), fileName, true);
    m_Tree->expandAll();
}

void TDlgOpenGeo::SetupRaster(const QImage& image, const std::string& fileName, const std::string& captionKey)
{
    BuildInfoGroup(captionKey);
    BuildSizeGroup();
    BuildOriginGroup(false);
    SetRasterSize(image.width(), image.height(), m_Config.Unit);
    WriteSizeEdits();
    RasterTree(fileName);
    m_Radios[BottomLeft]->setChecked(true);
}

void TDlgOpenGeo::SetupBmp(const QImage& image, const std::string& fileName)
{
    bool compressed = false;
    int32_t resolutionX = 0, resolutionY = 0;
    try {
        ReadBmpInfo(fileName, Bits, compressed, resolutionX, resolutionY);
    } catch (const std::exception&) {
        // The image decoded, so its header only lacks what this reader
        // knows: no resolution, a pixel is a unit.
        Bits = 0;
        resolutionX = resolutionY = 0;
    }
    Resolution = resolutionX;
    Resolution2 = resolutionY;
    SetupRaster(image, fileName, std::string(LangKeys::String::OpenGeoBmp));
}

void TDlgOpenGeo::SetupJpeg(const QImage& image, const std::string& fileName)
{
    uint16_t densityX = 0, densityY = 0;
    try {
        ReadJpegDensity(fileName, densityX, densityY);
    } catch (const std::exception&) {
        densityX = densityY = 0; // gone since it was decoded: no resolution
    }
    Resolution = densityX;
    Resolution2 = densityY;
    Bits = 24;
    SetupRaster(image, fileName, std::string(LangKeys::String::OpenGeoJpeg));
}

void TDlgOpenGeo::CheckOriginSilently(int index)
{
    TControlEventsOff guard;
    m_Radios[size_t(index)]->setChecked(true);
}

void TDlgOpenGeo::UpdateFromDrawingBounds()
{
    const std::optional<TRect2D> bounds = m_Document.GetDrawingBounds();
    SetBoxFromRect(bounds.value_or(TRect2D{{0.0, 0.0, 1.0}, {0.0, 0.0, 1.0}}));
    {
        TControlEventsOff guard;
        m_RotateEdit->setText(QString::fromStdString(FormatCoord(Rotation)));
        m_SizeEdits[0]->setText(QString::fromStdString(FormatCoord(SizeX)));
        m_SizeEdits[1]->setText(QString::fromStdString(FormatCoord(SizeY)));
    }
    ShowBoxInScene(BoundingBox);
}

void TDlgOpenGeo::SetBox3DAndShow(const TBox3D& box)
{
    SetBox3D(box);
    {
        TControlEventsOff guard;
        m_RotateEdit->setText(QString::fromStdString(FormatCoord(Rotation)));
        for (int axis = 0; axis < 3; ++axis)
            m_SizeEdits[size_t(axis)]->setText(QString::fromStdString(FormatCoord(Size(axis))));
    }
    ShowStlBox();
}

void TDlgOpenGeo::WriteSizeEdits()
{
    TControlEventsOff guard;
    for (int axis = 0; axis < (m_3D ? 3 : 2); ++axis)
        m_SizeEdits[size_t(axis)]->setText(QString::fromStdString(FormatCoord(ScaledSize(axis))));
}

// --- Placement ----------------------------------------------------------------

void TDlgOpenGeo::Apply()
{
    if (Surface)
        ApplyStl();
    else
        ApplyPlacement(true);
    SetApplied(true);
}

void TDlgOpenGeo::Done()
{
    // The placement box goes with the page; the placing repaints the view.
    if (Surface) {
        ApplyStl();
        HideBox();
        m_Document.RepaintViewports();
    } else {
        HideBox();
        ApplyPlacement(false);
    }
    FreeSavedLayerColours();
    if (OnDone)
        OnDone();
}

void TDlgOpenGeo::SetApplied(bool applied)
{
    m_Apply->setEnabled(!applied);
    m_DoneButton->setEnabled(applied);
}

void TDlgOpenGeo::RefreshOriginEdits()
{
    if (OriginTyped || !m_OriginEdits[0])
        return;
    TControlEventsOff guard;
    for (int axis = 0; axis < (m_3D ? 3 : 2); ++axis)
        m_OriginEdits[size_t(axis)]->setText(QString::fromStdString(FormatCoord(ScaledOrigin(axis))));
}

void TDlgOpenGeo::MarkOriginTyped()
{
    m_CornerGroup->setExclusive(false);
    for (int n = m_FirstOrigin; n <= 5; ++n)
        m_Radios[size_t(n)]->setChecked(false);
    m_CornerGroup->setExclusive(true);
    OriginTyped = true;
}

// --- Change handlers ----------------------------------------------------------

void TDlgOpenGeo::RotateEdited()
{
    if (!m_Rotatable)
        return;
    const std::optional<double> value = TypedNumber(*m_RotateEdit);
    if (!value)
        return;
    Rotation = *value;
    SetApplied(false);
}

void TDlgOpenGeo::SizeEdited(int axis)
{
    if (!ControlEventsEnabled())
        return;
    const std::optional<double> value = TypedNumber(*m_SizeEdits[size_t(axis)]);
    if (!value || !SetScaleFromSize(axis, *value))
        return;
    if (KeepRatio) {
        TControlEventsOff guard;
        for (int other = 0; other < (m_3D ? 3 : 2); ++other)
            if (other != axis)
                m_SizeEdits[size_t(other)]->setText(QString::fromStdString(FormatCoord(ScaledSize(other))));
    }
    SetApplied(false);
}

void TDlgOpenGeo::OriginEdited(int axis)
{
    if (!ControlEventsEnabled())
        return;
    const std::optional<double> value = TypedNumber(*m_OriginEdits[size_t(axis)]);
    if (!value)
        return;
    SetTypedOrigin(axis, *value);
    MarkOriginTyped();
    SetApplied(false);
}

void TDlgOpenGeo::OriginRadioChosen(int index)
{
    if (!ControlEventsEnabled())
        return;
    if (index == FileOrigin) {
        if (m_3D) {
            m_ZChosen = false;
            m_ZGroup->setExclusive(false);
            m_Radios[ZTop]->setChecked(false);
            m_Radios[ZBottom]->setChecked(false);
            m_ZGroup->setExclusive(true);
        }
        SetOriginChoice(FileOrigin);
        OriginTyped = false;
        RefreshOriginEdits();
        SetApplied(false);
        return;
    }
    if (m_3D && !m_ZChosen) {
        m_ZChosen = true;
        m_Radios[ZTop]->setChecked(true);
    }
    SetOriginChoice(index);
    OriginTyped = false;
    RefreshOriginEdits();
    SetApplied(false);
}

void TDlgOpenGeo::ZRadioChosen(int index)
{
    if (!ControlEventsEnabled())
        return;
    SetZOrigin(index == ZTop);
    RefreshOriginEdits();
    SetApplied(false);
}
