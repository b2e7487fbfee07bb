#pragma once
// The loaded post-processor description: how one controller wants its
// program (word letters, number formats, modal words, dialect, template
// sections). Descriptions are ini files "<configuration folder>/pst/<name>.pst";
// the name without extension is the post name and the settings' "Pst" names
// the current one.
//
// `TPostProcessor` is the base of the G-code writer and of the G-code reader;
// both load the same file whenever the current post changes. Its fields are
// public and named as the writer, the reader and the post editor know them.
//
// The "format" fields hold Delphi-style format strings built at load time
// ("%" + the file's value + "f" or "d"). The file may hold anything: a value
// that `FormatPstFloat` / `FormatPstInteger` (nc/post/PstFormat.h) cannot
// apply gives the default at load and is named in `BadFormatKeys`. They are
// only ever applied with those functions, never printf.

#include "nc/post/PstFormat.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TIniFile;

// Values of `TPostProcessor::Dialect`.
namespace PostDialect {
inline constexpr uint8_t ISO = 0;
inline constexpr uint8_t HEI = 1;
inline constexpr uint8_t XIL = 2;
inline constexpr uint8_t SBO = 3;
inline constexpr uint8_t LASER = 4;
inline constexpr uint8_t Lathe = 5;
inline constexpr uint8_t Other = 6;
} // namespace PostDialect

// Indexes of `GCodes` / `GModal`.
enum TGCodeIndex : int { gcRapid = 0, gcLinear = 1, gcCircularCW = 2, gcCircularCCW = 3 };
// Indexes of `MCodes`.
enum TMCodeIndex : int {
    mcSpindleCW = 0, mcSpindleCCW, mcSpindleOff, mcCoolantOn, mcCoolantOff, mcSpindleCWCoolOn, mcSpindleCCWCoolOn
};
// Indexes of `FeedSections` / `HasFeedSection`.
enum TFeedSectionIndex : int {
    fsBeforeFirstFeedMove = 0, fsAfterFirstFeedMove, fsBeforeLastFeedMove, fsAfterLastFeedMove
};
// Indexes of `LaserLines`.
enum TLaserSectionIndex : int {
    lsBeforeLaserRapidMove = 0, lsFirstLaserEngDotMove, lsLaserEngDotMove, lsFirstLaserEngDotGreyMove,
    lsLaserEngDotGreyMove, lsLaserEngGreyFeedMove, lsLaserEngRapidMove, lsLaserEngFeedMove
};

using TPstLines = std::vector<std::string>;

// One drilling cycle of the description (sections "Cycle_1" to "Cycle_3").
struct TCycleTemplate {
    TPstLines DefinitionLines; // "BeforeCycle_def", "Cycle_def"
    TPstLines MoveLines;       // "Cycle_move"
    TPstLines CancelLines;     // "Cycle_cancel", "AfterCycle_cancel"
    bool Exploded = false;     // write explicit moves instead of the templates
};

// What the tool window shows of a loaded post. Installed by the GUI; model
// code and tests run without one.
class TPostLoadView {
public:
    virtual ~TPostLoadView() = default;
    // The post brings its own language file: translate the tool window from it.
    virtual void TranslateFromPostLanguage(const std::string& lngFileName) = 0;
    // Back to the program's own language file.
    virtual void TranslateFromProgramLanguage() = 0;
    // The post was read: its comment lines, its extension and its unit.
    virtual void ShowPostInfo(const class TPostProcessor& post) = 0;
};
// Installs the view (not owned; null removes it) and returns the previous one.
TPostLoadView* SetPostLoadView(TPostLoadView* view);

class TPostProcessor {
public:
    TPostProcessor() = default;

    // Loads "<configFolder>/pst/<settings' Pst>.pst" in the settings' unit; a
    // missing file gives every default. The post's own language file
    // "<configFolder>/pst/<name>.lng" is handed to the installed view, and the
    // settings remember that the tool window carries it. A failure while the
    // fields are read shows message "783" and is raised again.
    // Returns a warning for the caller to show when number formats of the
    // file could not be used (see BadFormatKeys); empty otherwise.
    std::string LoadPst(const std::string& configFolder);
    // The field-reading part of LoadPst: every field from ini (missing keys
    // give the defaults), nothing else touched.
    void LoadFromIni(const TIniFile& ini, const std::string& postName, bool millimetres);

    std::string PostName;
    std::string FileExtension;
    uint8_t Dialect = PostDialect::ISO;
    bool OutputSeq = false;
    std::string SeqPrefix;
    int32_t SeqStart = 0;
    int32_t SeqInc = 0;
    int32_t SeqMax = 0;
    int32_t SeqCounter = 0;
    std::string AxisFormat;
    std::string UnitGCode;
    std::string UnitWord;
    int32_t PstVersion = 0;
    bool XDiameterMode = false;
    double HomeX = 0;
    double HomeZ = 0;
    std::string XPref, YPref, ZPref;
    double XScale = 0, YScale = 0, ZScale = 0;
    bool ScaleActive = false;
    std::string RotaryFormat, RotaryPref;
    std::string IPref, JPref, KPref, RPref;
    bool ArcXYModal = false;
    int32_t ArcOutput = 0;
    int32_t ArcCenter = 0;
    std::string ToolPref, ToolOffsetPref, ToolFormat;
    std::string FeedPref, FeedFormat;
    std::string RapidWord;
    bool HasRapidWord = false;
    double RapidFeedrate = 0;
    std::string DwellPref, DwellFormat;
    std::string GasValuePref, GasDelayPref;
    std::string Power1Pref, Power2Pref;
    std::string Separator;
    std::array<std::string, 4> GCodes;
    std::array<bool, 4> GModal{};
    bool XYZModal = false;
    bool FModal = false;
    std::array<std::string, 7> MCodes;
    bool OmitZ = false;
    bool LPJPost = false;
    std::string StartComment, EndComment;
    bool DelZero = false;
    bool IncrementalMode = false;
    std::array<TPstLines, 4> FeedSections;
    std::array<bool, 4> HasFeedSection{};
    TPstLines StartLines, ToolChangeLines, EndLines;
    std::array<TPstLines, 8> LaserLines;
    std::string DepthPrefix, RefHeightPrefix, RetractHeightPrefix, PeckPrefix, PitchPrefix;
    std::string ReturnZPlane, ReturnRPlane;
    std::array<TCycleTemplate, 3> CycleTemplates;
    std::string CompLeft, CompRight, CompNone, CompOffsetPref;
    std::string XILSuffixCW, XILSuffixCCW;
    std::string SBOXYPref, SBOXYZPref;
    // "Post Comment" lines "1", "2", ... up to the first empty one (at most 50).
    TPstLines PostComment;
    // The number formats of the last load that could not be applied, as
    // "[section] key"; each of them took its default, as a value that does not
    // convert does, so no number the writer formats comes out empty.
    std::vector<std::string> BadFormatKeys;
};

// Every section of a description; the fifteen template sections, from
// "Start_of_file" to "AfterLastFeedMove", in the order the loader reads them.
extern const std::array<const char*, 38> kPstSections;

// "<configFolder>/pst/<postName>.pst".
std::string PostFileName(const std::string& configFolder, const std::string& postName);
// The names without extension of the "*.pst" files of "<configFolder>/pst",
// the extension matched without regard to case ("X.PST" is post "X"),
// sorted by name (the listing order of the file system is not stable).
std::vector<std::string> ListPostNames(const std::string& configFolder);
