#include "io/trace/Bmp2Vector.h"

#include "core/entities/Bitmap2D.h"
#include "core/entities/Container2D.h"
#include "core/model/GraphicObjList.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/geometry/Matrix4.h"
#include "core/settings/NumberText.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"
#include "io/dxf/DXF2DImport.h"
#include "io/trace/FiltraInArchi.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace {

constexpr uint32_t OpaqueBlack = 0xFF000000;
constexpr uint32_t OpaqueWhite = 0xFFFFFFFF;
constexpr int TracerPollMs = 500;

std::string RunningProgramFolder()
{
    if (QCoreApplication::instance())
        return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/";
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : exe.parent_path().string() + "/";
}

std::string TimeText() { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString(); }

void PutU16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& out, uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

double Diagonal(const TRect2D& box)
{
    return std::hypot(box.SecondEdge.X - box.FirstEdge.X, box.SecondEdge.Y - box.FirstEdge.Y);
}

void ShowWorkFileWarning(const std::string& folder)
{
    UserNotifier().ShowMessage(EMessageKind::Warning,
                               LangText(LangKeys::String::TraceFileLocked) + "\r\n\r\n" + folder + "\r\n\r\n" +
                                   LangText(LangKeys::String::TraceFileLockedHint),
                               LangText(LangKeys::String::ErrorCaption));
}

} // namespace

std::string MonochromeBmpBytes(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const uint32_t width = static_cast<uint32_t>(argb.width());
    const uint32_t height = static_cast<uint32_t>(argb.height());
    const uint32_t stride = (width + 3) & ~3u;
    const uint32_t paletteSize = 256 * 4;
    const uint32_t pixelOffset = 14 + 40 + paletteSize;
    const uint32_t pixelBytes = stride * height;
    constexpr uint32_t pixelsPerMetre = 2835;

    std::string out;
    out.reserve(pixelOffset + pixelBytes);
    out += "BM";
    PutU32(out, pixelOffset + pixelBytes);
    PutU32(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, 40);
    PutU32(out, width);
    PutU32(out, height); // positive: rows bottom-up
    PutU16(out, 1);
    PutU16(out, 8);
    PutU32(out, 0); // no compression
    PutU32(out, pixelBytes);
    PutU32(out, pixelsPerMetre);
    PutU32(out, pixelsPerMetre);
    PutU32(out, 256);
    PutU32(out, 0);
    for (uint32_t i = 0; i < 256; ++i) {
        out += static_cast<char>(i);
        out += static_cast<char>(i);
        out += static_cast<char>(i);
        out += '\0';
    }
    for (uint32_t row = height; row-- > 0;) {
        const auto* pixels = reinterpret_cast<const uint32_t*>(argb.constScanLine(static_cast<int>(row)));
        for (uint32_t x = 0; x < width; ++x)
            out += pixels[x] == OpaqueBlack ? '\0' : '\xFF';
        out.append(stride - width, '\0');
    }
    return out;
}

TBmp2Vector::TBmp2Vector(TQV_01Cmp2D& document, TBitmap2D& bitmap, QImage source)
    : ProgramFolder(RunningProgramFolder()), m_Document(document), m_Bitmap(bitmap),
      m_Source(source.convertToFormat(QImage::Format_ARGB32))
{
    if (bitmap.Points().Count() >= 2) {
        const TPoint2D corner1 = bitmap.Points().Get(0);
        const TPoint2D corner2 = bitmap.Points().Get(1);
        m_OriginX = corner1.X;
        m_OriginY = corner1.Y;
        // An image without pixels has no pixel size (and is not traced).
        if (m_Source.width() > 0 && m_Source.height() > 0) {
            m_PixelWidth = (corner2.X - corner1.X) / m_Source.width();
            m_PixelHeight = (corner2.Y - corner1.Y) / m_Source.height();
        }
    }
}

TBmp2Vector::~TBmp2Vector() = default;

std::string TBmp2Vector::TempFolder() const
{
    return QFile::encodeName(m_WorkFolder.path()).toStdString() + "/";
}

void TBmp2Vector::AddReportLine(const std::string& text) { Report.push_back(TimeText() + " " + text); }

void TBmp2Vector::UpdatePreview(bool finalColours)
{
    if (Settings.ShowSource) {
        SetColours(finalColours);
        m_FinalColours = false; // the source's pixels, not the final colours
        m_Bitmap.Bitmap() = m_Source.copy();
        m_ShowingSource = true;
    } else {
        Threshold(finalColours);
    }
    m_Bitmap.UpdateTexture();
}

void TBmp2Vector::SetColours(bool finalColours)
{
    m_FinalColours = finalColours;
    m_DarkColour = finalColours ? FinalDark : NormalDark;
    m_LightColour = finalColours ? FinalLight : NormalLight;
}

void TBmp2Vector::ShowFinalColours()
{
    Normalise();
    QImage& image = m_Bitmap.Bitmap();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = row[x] == OpaqueBlack ? FinalDark : FinalLight;
    }
    SetColours(true);
    m_Bitmap.UpdateTexture();
}

void TBmp2Vector::Threshold(bool finalColours)
{
    SetColours(finalColours);
    m_ShowingSource = false;
    {
        QImage& target = m_Bitmap.Bitmap();
        QImage result(m_Source.size(), QImage::Format_ARGB32);
        for (int y = 0; y < m_Source.height(); ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(m_Source.constScanLine(y));
            auto* out = reinterpret_cast<uint32_t*>(result.scanLine(y));
            for (int x = 0; x < m_Source.width(); ++x) {
                const int red = static_cast<int>((in[x] >> 16) & 0xFF);
                const int green = static_cast<int>((in[x] >> 8) & 0xFF);
                const int blue = static_cast<int>(in[x] & 0xFF);
                const bool light = red > Settings.RedThreshold && green > Settings.GreenThreshold &&
                                   blue > Settings.BlueThreshold;
                out[x] = light ? m_LightColour : m_DarkColour;
            }
        }
        target = result;
    }
}

void TBmp2Vector::Normalise()
{
    if (!m_FinalColours)
        return;
    QImage& image = m_Bitmap.Bitmap();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = row[x] == FinalDark ? OpaqueBlack : OpaqueWhite;
    }
    m_FinalColours = false;
}

void TBmp2Vector::RemoveBlackSpots()
{
    Normalise();
    RemoveSpots(Settings.BlackSpotsSize, 0);
    m_Bitmap.UpdateTexture();
}

void TBmp2Vector::RemoveWhiteSpots()
{
    Normalise();
    RemoveSpots(Settings.WhiteSpotsSize, 0x00FFFFFF);
    m_Bitmap.UpdateTexture();
}

void TBmp2Vector::RemoveSpots(double size, uint32_t flip)
{
    if (m_ShowingSource)
        Threshold(false);
    if (!(size >= 1.0))
        return;
    const int n = static_cast<int>(std::min<double>(std::floor(size), MaxSpotsSize));
    QImage& image = m_Bitmap.Bitmap();
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    // Pixel (x, y) as seen by this pass: black and white exchanged for the
    // white spots, so the pass always removes "black" blocks.
    const auto at = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x] ^ flip;
    };
    const auto andRect = [&](int x0, int y0, int x1, int y1) { // inclusive bounds
        uint32_t value = OpaqueWhite;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                value &= at(x, y);
        return value;
    };
    // The block's last row must have a row below it, so the image's last
    // row is never inside a block.
    for (int y = 0; y + n <= h - 1; ++y) {
        for (int x = 0; x + n <= w; ++x) {
            if (andRect(x, y, x + n - 1, y + n - 1) != OpaqueBlack)
                continue;
            uint32_t ring = andRect(x, y + n, x + n - 1, y + n); // the row below
            if (y > 0)
                ring &= andRect(x, y - 1, x + n - 1, y - 1);
            const int top = std::max(y - 1, 0);
            if (x > 0)
                ring &= andRect(x - 1, top, x - 1, y + n - 1);
            if (x + n <= w - 1)
                ring &= andRect(x + n, top, x + n, y + n - 1);
            if (ring != OpaqueWhite)
                continue;
            for (int by = y; by < y + n; ++by) {
                auto* row = reinterpret_cast<uint32_t*>(image.scanLine(by));
                for (int bx = x; bx < x + n; ++bx)
                    row[bx] = OpaqueWhite ^ flip;
            }
        }
    }
}

bool TBmp2Vector::RunTracer(const std::string& inputFile, const std::string& outputFile)
{
    const QString program = QFile::decodeName(QByteArray::fromStdString(ProgramFolder + "qvtr"));
    QStringList arguments{QStringLiteral("-et"),
                          QString::fromStdString(FormatCoord(Settings.ErrorThreshold)),
                          QStringLiteral("-fi"),
                          QString::fromStdString(FormatCoord(Settings.FilterIterations)),
                          QStringLiteral("-ct"),
                          QString::fromStdString(FormatCoord(Settings.CornerThreshold)),
                          QStringLiteral("-outfile"),
                          QFile::decodeName(QByteArray::fromStdString(outputFile))};
    if (Settings.Centerline)
        arguments << QStringLiteral("-cline");
    arguments << QFile::decodeName(QByteArray::fromStdString(inputFile));

    QProcess tracer;
    tracer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tracer.setStandardOutputFile(QProcess::nullDevice());
    tracer.start(program, arguments);
    if (!tracer.waitForStarted()) {
        UserNotifier().ShowMessage(EMessageKind::Plain, "QVTR DLL " + LangText(LangKeys::String::CouldNotBeUsed),
                                   "");
        return false;
    }
    TWorkMonitor& monitor = WorkMonitor();
    int progress = 0;
    int waited = 0;
    bool finished = false;
    while (!finished && waited < TracerTimeoutMs) {
        finished = tracer.waitForFinished(TracerPollMs);
        waited += TracerPollMs;
        progress = progress >= 100 ? 0 : progress + 10;
        monitor.ShowProgress(progress, false);
    }
    monitor.HideProgress();
    if (!finished) {
        tracer.kill();
        tracer.waitForFinished();
    }
    if (!finished || tracer.exitStatus() != QProcess::NormalExit || tracer.exitCode() != 0) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::TracerFailed),
                                   LangText(LangKeys::String::ErrorCaption));
        return false;
    }
    return true;
}

bool TBmp2Vector::Vectorize()
{
    Normalise();
    const std::optional<double> removeSize = ParseDecimal(Settings.VecRemove);
    if (!removeSize)
        throw std::invalid_argument("\"" + Settings.VecRemove + "\" is not a valid floating point value");
    if (Settings.ErrorThreshold <= 0)
        Settings.ErrorThreshold = 0.001;
    if (m_ShowingSource)
        Threshold(false);
    const QImage& image = m_Bitmap.Bitmap();
    if (image.width() <= 0 || image.height() <= 0)
        return false;

    const std::string folder = TempFolder();
    const std::string inputFile = folder + "csq.bmp";
    const std::string outputFile = folder + "csq.tmp";
    if (!m_WorkFolder.isValid()) {
        ShowWorkFileWarning(folder);
        return false;
    }
    {
        std::ofstream bmp(inputFile, std::ios::binary | std::ios::trunc);
        const std::string bytes = MonochromeBmpBytes(image);
        bmp.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!bmp.flush()) {
            ShowWorkFileWarning(folder);
            return false;
        }
    }
    ShowFinalColours();

    std::error_code error;
    if (std::filesystem::exists(outputFile, error)) {
        if (!std::filesystem::remove(outputFile, error)) {
            ShowWorkFileWarning(folder);
            return false;
        }
    } else {
        std::ofstream probe(outputFile, std::ios::trunc);
        probe << "123456789\n";
        if (!probe.flush())
            ShowWorkFileWarning(folder);
    }

    AddReportLine(LangToolWinText(LangKeys::frmToolWin::TraceReport));
    WorkMonitor().ShowStatusMessage(LangText(LangKeys::String::TraceStarted));
    // The notice lasts as long as the tracing does, however it ends.
    struct TTracingNotice {
        ~TTracingNotice() { WorkMonitor().ShowStatusMessage(std::string()); }
    } notice;
    m_Traced.reset();

    if (!RunTracer(inputFile, outputFile))
        return false;

    {
        TDXF2DImport importer(outputFile, &m_Document);
        importer.ScaleX = importer.ScaleY = 1.0;
        importer.OffsetX = importer.OffsetY = 0.0;
        m_Traced = importer.ReadAsContainer();
    }
    m_Document.RepaintViewports();
    if (!m_Traced)
        return false;

    int32_t objectsRead = 0;
    int32_t polylinePoints = 0;
    int32_t removed = 0;
    {
        // Every object is taken out and the ones big enough go back, in order.
        std::vector<std::unique_ptr<TGraphicObject>> objects;
        {
            TExclusiveGraphicObjIterator walk = m_Traced->Objects().GetExclusiveIterator();
            while (walk.First())
                objects.push_back(walk.RemoveCurrent());
        }
        for (std::unique_ptr<TGraphicObject>& object : objects) {
            ++objectsRead;
            if (const auto* polyline = dynamic_cast<const TPolyline2D*>(object.get()))
                polylinePoints += polyline->Points().Count();
            const auto* object2D = dynamic_cast<const TObject2D*>(object.get());
            if (object2D && Diagonal(object2D->Box()) < *removeSize) {
                ++removed;
                continue;
            }
            m_Traced->Objects().Add(std::move(object));
        }
    }
    AddReportLine(LangFormat(LangToolWinText(LangKeys::frmToolWin::TraceResult),
                             {std::to_string(objectsRead), std::to_string(polylinePoints), std::to_string(removed)}));

    TMatrix4 placement = TMatrix4::CreateScale(m_PixelWidth, m_PixelHeight, 1.0);
    placement.Translate(m_OriginX, m_OriginY, 0.0);
    placement.Multiply(placement, m_Bitmap.GetModelTransform());
    m_Traced->SetModelTransform(placement);
    m_Traced->SetLayer(static_cast<uint8_t>(m_Document.CurrentLayer()));
    m_Traced->UpdateBounds();
    if (OnShowPreview) {
        OnShowPreview(nullptr);
        OnShowPreview(m_Traced.get());
    }

    if (Settings.VecFilter) {
        int32_t arcs = 0;
        int32_t lines = 0;
        if (FilterArcs(true, arcs, lines))
            AddReportLine(LangFormat(LangToolWinText(LangKeys::frmToolWin::ArcFilterResult),
                                     {std::to_string(arcs), std::to_string(lines)}));
    }
    return true;
}

bool TBmp2Vector::FilterArcs(bool preview, int32_t& arcsMade, int32_t& linesMade)
{
    TFiltraInArchi filter(m_Document, preview ? TFiltraInArchi::TMode::Preview : TFiltraInArchi::TMode::Drawing);
    if (!filter.SetParams(Settings.VecFilterTol, Settings.VecFilterMin, Settings.VecFilterMax))
        return false;
    const TMatrix4 transform = m_Traced->GetModelTransform();
    filter.SetExtraTransform(&transform);
    filter.Execute(m_Traced->Objects().GetIterator());
    arcsMade = filter.ArcsMade;
    linesMade = filter.LinesMade;
    return true;
}

void TBmp2Vector::ShowSourceImage()
{
    m_Bitmap.Bitmap() = m_Source.copy();
    m_FinalColours = false;
    m_ShowingSource = true;
    m_Bitmap.UpdateTexture();
}

void TBmp2Vector::AddToDrawing()
{
    if (OnShowPreview)
        OnShowPreview(nullptr);
    if (!m_Traced)
        return;
    // The traced picture shows itself again under its outlines, not the
    // tracing's backdrop.
    ShowSourceImage();
    if (Settings.VecFilter) {
        int32_t arcs = 0;
        int32_t lines = 0;
        FilterArcs(false, arcs, lines);
        return;
    }
    const TMatrix4 transform = m_Traced->GetModelTransform();
    std::vector<std::unique_ptr<TObject2D>> taken;
    {
        TExclusiveGraphicObjIterator walk = m_Traced->Objects().GetExclusiveIterator();
        while (walk.First()) {
            std::unique_ptr<TGraphicObject> object = walk.RemoveCurrent();
            if (auto* object2D = dynamic_cast<TObject2D*>(object.get())) {
                object.release();
                taken.emplace_back(object2D);
            }
        }
    }
    m_Traced->UpdateBounds();
    for (std::unique_ptr<TObject2D>& object : taken) {
        object->Transform(transform);
        m_Document.AddObject(-1, std::move(object));
    }
}
