#pragma once
// The G-code writer: turns operations into a program of text lines under the
// loaded post-processor description (its base class). This file holds what
// every kind of operation shares: the template language of the post files,
// the number words with their modal memory, block numbers, the program
// frame (start, tool change, end), the output list and saving.
//
// Template lines hold variables in square brackets ("[n][gcode][x][y]").
// Names match without regard to case; a name that is no variable is written
// as itself without its brackets ("[G90]" writes "G90"); text outside the
// brackets is copied. An exact "[n]" asks for a block number in front of the
// line, which is only given when the rest of the line is not empty; "[N]" is
// written in place. A line that fails to expand (a number format that cannot
// be applied, no operation to read) is written as nothing.
//
// The operation manager drives one program as: ClearOutput, BeginProgram
// with the first operation written, per operation its writer (which starts
// with ToolChange), EndProgram with the last one written, SaveProgram.
//
// The lines of a program are kept in ProgramLines, or, once
// StreamProgramToFile is called, written as they are made to a temporary
// file beside the output file that SaveProgram puts in its place; a program
// that is not saved then leaves no file and the old one as it was.

#include "core/geometry/Vertice.h"
#include "nc/post/PostProcessor.h"

#include <array>
#include <initializer_list>
#include <limits>
#include <memory>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class TAtomicFileWriter;
class TCurvaNci3d;
class TDatiUtBase;
class TUserBreak_ProgBar;
class TWriterOperation;

// The program file could not be written; the text says why. A file that was
// there before is left as it was.
class EGCodeSaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TScriveGCode : public TPostProcessor {
public:
    // The number of template variables and of the editor's help lines.
    static constexpr int kVariableCount = 52;
    static constexpr int kVariableHelpCount = 43;
    // The template variable names, index order of the variable table.
    static const std::array<const char*, kVariableCount> VariableNames;
    // The help lines the post-processor editor lists.
    static const std::array<const char*, kVariableHelpCount> VariableHelp;
    // Modal memory meaning "unknown": the next word is written whatever it is.
    static constexpr const char* kModalUnknown = "MAXVALUE";

    TScriveGCode();
    ~TScriveGCode();
    TScriveGCode(TScriveGCode&&) noexcept;
    TScriveGCode& operator=(TScriveGCode&&) noexcept;

    // --- Program frame ---

    // Empties the program (a temporary program file is removed).
    void ClearOutput();
    // From now on program lines go to a temporary file beside
    // OutputFileName, made with the first line, instead of ProgramLines.
    void StreamProgramToFile();
    // Back to ProgramLines; a program file not saved is removed.
    void StopStreaming();
    // Starts a program with the first operation written: output state reset,
    // the start section expanded at the operation's first toolpath vertex,
    // and that operation's tool taken as called (the start section calls it).
    // False, with nothing written, when the operation has no toolpath vertex.
    bool BeginProgram(const TWriterOperation& operation);
    // Called first by every operation writer: the tool-change section when the
    // operation's tool differs from the last one called. Only [tool] changes
    // LastTool, so a section without it repeats for every later operation.
    void ToolChange(const TWriterOperation& operation);
    // The end section, at the operation's first toolpath vertex or, when it
    // has none, at the origin.
    void EndProgram(const TWriterOperation& operation);
    // Writes every program line, each ended by CR LF, to OutputFileName
    // through a temporary file and a rename (a streamed program: puts its
    // temporary file in place, and streaming ends). Raises EGCodeSaveError;
    // an existing file then keeps its old bytes.
    void SaveProgram();

    void SetFileName(const std::string& fileName) { m_OutputFileName = fileName; }
    // The file the last program was (or is to be) written to.
    const std::string& OutputFileName() const { return m_OutputFileName; }
    // Program lines minus one; -1 when there are none.
    int32_t LastLineIndex() const;
    // The operation the variables read; null for none. Not owned.
    void SetCurrentOperation(const TWriterOperation* operation) { m_CurrentOperation = operation; }
    const TWriterOperation* CurrentOperation() const { return m_CurrentOperation; }
    // Appends a non-empty line to the program.
    void AddLine(std::string_view line);

    // --- Templates ---

    // CurrentVertex := vertex; the modal memory is reset first when asked;
    // then each line is expanded and every non-empty result appended to target.
    void ExpandSection(TPstLines& target, const TPstLines& lines, bool resetModal, const TAVertice3d& vertex);
    // The same appending to the program.
    void ExpandSection(const TPstLines& lines, bool resetModal, const TAVertice3d& vertex);
    // One template line; empty when the expansion fails.
    std::string ExpandLine(std::string_view line);
    // The value of one variable name; a name that is no variable gives itself.
    // Raises on failure (ExpandLine turns that into an empty line).
    std::string VariableValue(std::string_view name);
    // The index of a variable name (any case) in VariableNames.
    static std::optional<int> VariableIndex(std::string_view name);
    // Sets the five modal memories to "unknown".
    void ResetModal();
    // Empties the program; block numbers from SeqStart; incremental memory at
    // 0; the last position unknown.
    void ResetOutputState();

    // --- Number words ---

    std::string XWord(double value);
    std::string YWord(double value);
    std::string ZWord(double value);
    // The lathe X word: doubled in diameter mode; shares X's memory.
    std::string LatheXWord(double value);
    // An X-scaled number without letter or modal memory (SBO blocks); in
    // incremental output the step from the axis's own last value (X or Y).
    std::string PlainAxisValue(double value, bool yAxis = false);
    // prefix + number, Z-scaled, without modal memory; empty for a zero value
    // when incremental and modal output are both on.
    std::string CycleWord(const std::string& prefix, const std::string& format, double value);
    std::string IWord(double value);
    std::string JWord(double value);
    std::string KWord(double value);
    std::string RWord(double value);
    std::string RotaryWord(double valueDeg);
    // Feed -2 means rapid: the separator and the rapid word, or nothing.
    std::string FeedWord(double value);
    // Tool letter + number; LastTool := number; the last position unknown.
    std::string ToolWord(int32_t number);
    std::string GCodeWord(int index);
    // The next block number, or empty when block numbers are off.
    std::string BlockNumber();
    // The arc words of vertex measured from LastPosition; empty for a line.
    std::string ArcWords(const TAVertice3d& vertex);
    // The non-empty words in order, separated by Separator.
    std::string JoinWords(std::initializer_list<std::string> words) const;

    // --- Move blocks of the loaded dialect ---
    //
    // Each returns the block of one move, or an empty text (no block number
    // taken) when none of its coordinate and arc words is written. They move
    // LastPosition to the vertex. The HEI and XIL forms compute the move
    // code first, so its memory changes even for an empty block. An HEI arc
    // appends its centre block ("CC") to the program at once and returns the
    // "C" block.

    // Two axes; feed moves carry the tool feed.
    std::string XYMove(const TAVertice3d& vertex, bool rapid);
    // Three axes where the dialect has them (ISO form), else as XYMove.
    std::string XYZMove(const TAVertice3d& vertex, bool rapid);
    // Z alone; a feed move carries the plunge feed.
    std::string ZMove(bool feed, double z);
    // The lathe block: drawing Y is the X word, drawing X the Z word; a line
    // whose attribute is 100 is a rapid.
    std::string LatheMove(const TAVertice3d& vertex);

    // --- Operation writers: append the operation's blocks to the program ---

    // Contour, pocket, 3D, letters and every kind without a writer of its
    // own. Empty curves are passed over.
    void WriteMilling(const TWriterOperation& operation);
    void WriteLathe(const TWriterOperation& operation);
    // Rotary-axis output: every point as an angle about the origin and its
    // distance on the X axis.
    void WritePolar(const TWriterOperation& operation);
    // Holes as a canned cycle from the post's templates or as explicit
    // moves; the first curve's code (81 + cycle type) decides the cycle.
    // False, with nothing written, for tapping the post explodes: explicit
    // moves would pull the tap out at rapid with the spindle turning forward.
    bool WriteDrilling(const TWriterOperation& operation);
    void WriteCycleMoves(const TCurvaNci3d& curve, int cycle, bool skipFirst = false);
    void WriteExplodedCycle(const TCurvaNci3d& curve, int cycle);
    // The cycle (1 to 3) the operation's first curve asks for; codes outside
    // 81 to 83 give cycle 1.
    static int DrillingCycle(const TWriterOperation& operation);
    // True when the operation is tapping and the post writes that cycle as
    // explicit moves, which WriteDrilling refuses.
    bool IsExplodedTapping(const TWriterOperation& operation) const;
    // The first line of a cycle template part (0 definition, 1 move, 2
    // cancel) expanded with modal reset at vertex; line is left as it was
    // when nothing comes out.
    void CycleTemplateLine(const TAVertice3d& vertex, int cycle, int part, std::string& line);
    // Laser engraving (curve codes 76 to 79) from the laser sections, with
    // progress. False when the user stopped it: the program is incomplete
    // and must not be saved.
    bool WriteLaserEngrave(const TWriterOperation& operation);
    // Laser cutting with ordinary move blocks; index is the operation's
    // position in the program (0: the section before rapids goes before
    // every curve).
    void WriteLaserCut(const TWriterOperation& operation, int32_t index);

    // --- State ---

    TPstLines ProgramLines;
    TAVertice3d CurrentVertex;
    TAVertice3d LastPosition;
    int16_t CurrentCompCode = 0;
    double IncLastX = 0, IncLastY = 0, IncLastZ = 0;
    std::string LastXText, LastYText, LastZText, LastGText, LastFText;
    int32_t LastTool = 0;
    bool FirstMove = false;
    // Progress and the user's stop request while an engraving is written;
    // bound to the work monitor in force.
    std::unique_ptr<TUserBreak_ProgBar> Progress;

private:
    enum class EAxis { X, Y, Z };
    // The axis word of a value already taken through the incremental step.
    std::string SteppedAxisWord(EAxis axis, double value, bool latheX);

    // Blocks are made without a string per word: the words of the block
    // being made lie one after another in m_Words, each known by its place
    // there (empty: not written), and are joined into m_Block. Both buffers
    // are reused, so a block costs no allocation once they have grown. The
    // Put functions follow the rules of the word functions above.
    struct TWord {
        size_t Begin = 0, End = 0;
        bool Empty() const { return Begin == End; }
    };
    // One word made by put in m_Words, as a text; m_Words as it was after.
    template <class TPut>
    std::string OneWord(TPut put);
    TWord PutText(std::string_view text);
    // value in format, trailing zeros removed when DelZero is on.
    void PutNumber(TPstFloatFormat& numbers, const std::string& format, double value);
    // prefix and an axis-format number, scaled when scaling is on.
    void PutScaled(const std::string& prefix, double value, double scale);
    // The word PutScaled makes, as a text.
    std::string ScaledWord(const std::string& prefix, double value, double scale);
    TWord PutAxisWord(EAxis axis, double value, bool latheX);
    TWord PutSteppedAxisWord(EAxis axis, double value, bool latheX);
    TWord PutFeedWord(double value);
    TWord PutGCode(int index);
    TWord PutBlockNumber();
    TWord PutArcWords(const TAVertice3d& vertex);
    // The non-empty words in order, separated by Separator, in m_Block.
    std::string_view JoinBlock(std::initializer_list<TWord> words);
    // The move blocks in m_Block; empty for no block.
    std::string_view MakeXYMove(const TAVertice3d& vertex, bool rapid);
    std::string_view MakeXYZMove(const TAVertice3d& vertex, bool rapid);
    std::string_view MakeZMove(bool feed, double z);
    std::string_view MakeLatheMove(const TAVertice3d& vertex);
    std::string_view MakeIsoMove(const TAVertice3d& vertex, bool rapid, bool withZ);
    std::string_view MakeHeiMove(const TAVertice3d& vertex, bool rapid);
    std::string_view MakeXilMove(const TAVertice3d& vertex, bool rapid);
    // In incremental output: value := its step from incLast, incLast := the
    // absolute value; false (no word) for a zero step under modal output.
    bool IncrementalStep(double& incLast, double& value) const;
    // value in format, trailing zeros removed when DelZero is on.
    std::string NumberText(const std::string& format, double value) const;
    const TWriterOperation& Operation() const;
    const TDatiUtBase& Tool() const;
    std::string SpindleOnCode() const;
    std::string ToolNameText() const;
    // The move code index: 0 rapid, 1 line, 3 counter-clockwise, 2 clockwise.
    static int MovePosition(const TAVertice3d& vertex, bool rapid);
    std::string SboMove(const TAVertice3d& vertex, bool rapid);
    // The feed moves of one curve after its first vertex, with the four
    // feed-move sections around them; two-axis or three-axis blocks.
    void WriteFeedMoves(const TCurvaNci3d& curve, bool twoAxes);
    void ExpandFeedSection(int section, const TAVertice3d& vertex);
    // True when the vertex is the last position in X and Y.
    bool AtLastPosition(const TAVertice3d& vertex) const;
    void WriteEngraveLine(const TCurvaNci3d& curve, bool& beforeRapidPending);
    bool WriteDots(const TCurvaNci3d& curve, int share, bool grey);

    const TWriterOperation* m_CurrentOperation = nullptr;
    std::string m_OutputFileName;
    std::string m_Words, m_Block;
    TPstFloatFormat m_AxisNumbers, m_FeedNumbers;
    // The last feed written, its format and its text (no value at first).
    double m_FeedValue = std::numeric_limits<double>::quiet_NaN();
    std::string m_FeedFormat, m_FeedText;
    // The streamed program: its file (none before the first line) and the
    // lines written to it.
    bool m_Streaming = false;
    std::unique_ptr<TAtomicFileWriter> m_Stream;
    int64_t m_StreamedLines = 0;
};

// The first vertex of the operation's first toolpath curve that has one.
std::optional<TAVertice3d> FirstToolpathVertex(const TWriterOperation& operation);

// The one writer of the program, alive for the whole run.
TScriveGCode& GCodeWriter();
