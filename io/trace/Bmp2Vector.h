#pragma once
// TBmp2Vector: traces a placed bitmap entity into vectors.
//
// The tool window's vectorise page drives it: the thresholds give a live
// black-and-white preview in the entity itself, the despeckle passes clean
// it, Vectorize writes it as an 8-bit monochrome BMP ("csq.bmp"), runs the
// tracer program "qvtr" of the program folder on it, reads the tracer's DXF
// ("csq.tmp") back as a container placed over the bitmap and previews it,
// and AddToDrawing copies the result into the drawing (or fits arcs into it
// first).
//
// Promises:
// - The work files live in a private folder of this object (mode 0700,
//   removed with the object), never at fixed names in the shared temporary
//   folder, where another account could plant a link in their place.
// - The tracer gets its options as separate arguments, so folders with
//   blanks reach it intact. It runs for at most TracerTimeoutMs; a tracer
//   that cannot be started shows "QVTR DLL " + the language text "453"; one
//   that crashes, exits with an error or runs too long (then it is killed)
//   shows the language text "TracerFailed"; in every such case nothing is
//   read and any earlier result is gone.
// - A bitmap without pixels is not traced (Vectorize returns false).
// - The status bar tells that the tracer runs while it runs, and is
//   cleared when it is done, whichever way.
// - Vectorize traces the black-and-white image as the despeckle passes left
//   it and then shows that very image in the final colours, so a second run
//   traces the same cleaned image. When the entity shows the source image
//   ("View Original"), as it does until a threshold is first applied, it is
//   thresholded first: the tracer always gets the thresholded image, so a
//   picture traces alike from a BMP and from a JPEG, whose decoded dark
//   areas are not all exactly black.
// - The traced result is placed by the bitmap entity's own model transform
//   as well, so it lands on the image as the view shows it.
// The bitmap entity and the document must outlive this object. Main thread
// only: Vectorize blocks until the tracer ends.

#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap2D;
class TContainer2D;
class TQV_01Cmp2D;

// The settings of the vectorise page, with the page's defaults.
struct TVectorizeSettings {
    int32_t RedThreshold = 128;
    int32_t GreenThreshold = 127;
    int32_t BlueThreshold = 126;
    double ErrorThreshold = 0.1;
    int32_t FilterIterations = 1;
    double CornerThreshold = 90;
    bool Centerline = false;
    std::string VecRemove = "0.1";
    double BlackSpotsSize = 1;
    double WhiteSpotsSize = 1;
    bool VecFilter = false;
    std::string VecFilterTol = "0.1";
    std::string VecFilterMin = "1";
    std::string VecFilterMax = "500";
    // "View Original": the preview shows the source image unthresholded.
    bool ShowSource = false;
};

class TBmp2Vector {
public:
    // Threshold colours (ARGB as QImage::Format_ARGB32 holds them).
    static constexpr uint32_t NormalDark = 0xFF000000;
    static constexpr uint32_t NormalLight = 0xFFFFFFFF;
    static constexpr uint32_t FinalDark = 0x7FFFFFFF;
    static constexpr uint32_t FinalLight = 0x2FFFFFFF;
    static constexpr int MaxSpotsSize = 8;

    // Pixel size and origin from the entity's corners (control points 0
    // and 1) and the source image's size; normal colours; no result yet.
    // source is the unchanged image the thresholds work from.
    TBmp2Vector(TQV_01Cmp2D& document, TBitmap2D& bitmap, QImage source);
    ~TBmp2Vector();
    TBmp2Vector(const TBmp2Vector&) = delete;
    TBmp2Vector& operator=(const TBmp2Vector&) = delete;

    // Colours final or normal; the entity's image becomes a copy of the
    // source (ShowSource) or its thresholded form; the entity's display is
    // refreshed.
    void UpdatePreview(bool finalColours);
    // Despeckle passes over the entity's image: black (white) blocks of up
    // to the spots size in pixels (at most MaxSpotsSize) enclosed in white
    // (black) become white (black).
    void RemoveBlackSpots();
    void RemoveWhiteSpots();
    // The Preview button: traces and previews. Returns whether a result
    // was read. A remove size that is not a number raises
    // std::invalid_argument before anything is done.
    bool Vectorize();
    // The Done button: clears the preview; the traced objects go into the
    // drawing with new IDs on the current layer (the container gives them
    // up), or with the arc filter on, the filter's lines and arcs do and
    // the container keeps its objects; the entity shows its source image
    // again. Nothing without a result.
    void AddToDrawing();

    TVectorizeSettings Settings;
    // Folder of the tracer program, with a trailing "/"; the running
    // program's folder unless changed.
    std::string ProgramFolder;
    int TracerTimeoutMs = 120000;
    // Shows the container as the view's floating preview object; null:
    // clears the view's overlay. The application shell installs it.
    std::function<void(TContainer2D* preview)> OnShowPreview;
    // Report lines of the page (memVecReport), oldest first.
    std::vector<std::string> Report;

    // Work folder with a trailing "/" ("csq.bmp" and "csq.tmp" in it).
    std::string TempFolder() const;
    TContainer2D* TracedContainer() const { return m_Traced.get(); }
    double PixelWidth() const { return m_PixelWidth; }
    double PixelHeight() const { return m_PixelHeight; }
    bool FinalColours() const { return m_FinalColours; }

private:
    // Final colours in the entity's image back to opaque black and white.
    void Normalise();
    void SetColours(bool finalColours);
    // The entity's image thresholded from the source (display not refreshed).
    void Threshold(bool finalColours);
    // The traced black-and-white image, as it is, shown in the final colours.
    void ShowFinalColours();
    // The entity's image back to the unchanged source.
    void ShowSourceImage();
    // One despeckle pass; flip 0 for black spots, 0x00FFFFFF for white.
    void RemoveSpots(double size, uint32_t flip);
    // Runs the tracer on the work files; false after a message.
    bool RunTracer(const std::string& inputFile, const std::string& outputFile);
    // The arc filter over the traced objects (drawing or preview mode);
    // false when the filter's texts are not numbers.
    bool FilterArcs(bool preview, int32_t& arcsMade, int32_t& linesMade);
    void AddReportLine(const std::string& text);

    TQV_01Cmp2D& m_Document;
    TBitmap2D& m_Bitmap;
    QImage m_Source;
    std::unique_ptr<TContainer2D> m_Traced;
    double m_PixelWidth = 0.0;
    double m_PixelHeight = 0.0;
    double m_OriginX = 0.0;
    double m_OriginY = 0.0;
    uint32_t m_DarkColour = NormalDark;
    uint32_t m_LightColour = NormalLight;
    bool m_FinalColours = false;
    // The entity shows the source image itself ("View Original"), as it
    // does when tracing starts, before any threshold was applied.
    bool m_ShowingSource = true;
    QTemporaryDir m_WorkFolder;
};

// The image as an uncompressed 8-bit BMP with a grey-scale palette: pixels
// equal to opaque black (0xFF000000) get index 0, all others 255; rows
// bottom-up, each padded to 4 bytes; 2835 pixels per metre (72 dpi).
std::string MonochromeBmpBytes(const QImage& image);
