#pragma once
// The catalogue of every language-file key the program asks for.
//
// Code asks for a text only through a constant of this catalogue: free keys
// as `LangText(LangKeys::String::ErrorCaption)`, component texts as
// `LangToolWinCaption(LangKeys::frmToolWin::lblEti1)`. Each list below is
// the one source of both the constants and the table `LangCatalogue()`, and
// a test checks that the shipped english.lng holds a text for every entry of
// that table, so a key added here without its English text fails the tests.
//
// Adding a key: one line in the list of its kind, and its English text in
// data/languages/english.lng. The first argument is the file's section; it
// also names the constant's namespace, so a new section needs nothing else.
//
// Texts that carry a "%d" are patterns: fill them with `LangFormat`
// (core/Language.h), never with printf, since the file may hold anything.

#include <span>
#include <string>
#include <string_view>

// Free keys: X(section, identifier, key). The section is written as an
// identifier; it names both the file's section and the constant's namespace.
#define KB_LANG_TEXTS(X)                                                                              \
    /* Caption of error and warning boxes. */                                                         \
    X(String, ErrorCaption, "450")                                                                    \
    /* Wrong kind of object for an edit command: "431", a line break, "432". */                      \
    X(String, WrongKind, "431")                                                                       \
    X(String, WrongKindHint, "432")                                                                   \
    /* Question before drawing a grid of more than 500 lines. */                                     \
    X(String, GridTooDense, "435")                                                                    \
    /* Join refused: lines not collinear, arcs not on one circle. */                                  \
    X(String, JoinNotCollinear, "461")                                                                \
    X(String, JoinNotSameCircle, "462")                                                               \
    /* Three-point arc through aligned points. */                                                     \
    X(String, ArcPointsAligned, "469")                                                                \
    /* Result line of move and copy to layer; one "%d": the object count. */                         \
    X(String, MovedToLayer, "487")                                                                    \
    X(String, CopiedToLayer, "488")                                                                   \
    /* Bitmap tracing: status text, tracer not startable, work file not writable. */                 \
    X(String, TraceStarted, "410")                                                                    \
    X(String, TracerNotStarted, "453")                                                                \
    X(String, TraceFileLocked, "454")                                                                 \
    X(String, TraceFileLockedHint, "455")                                                             \
    /* STL input: facets left out for coordinates that are not numbers; one "%d": their count. */     \
    X(String, StlFacetsSkipped, "StlSkipped")                                                         \
    /* Column titles of the properties panel: X/Y pair and single value. */                          \
    X(String, ColumnX, "1001")                                                                        \
    X(String, ColumnY, "1002")                                                                        \
    X(String, ColumnValue, "1005")                                                                    \
    /* Prompts of the interaction states, in the order of the prompt table's keys. */                 \
    X(String, PromptSelect, "470")                                                                    \
    X(String, PromptDragArea, "471")                                                                  \
    X(String, PromptPan, "472")                                                                       \
    X(String, PromptPlace, "473")                                                                     \
    X(String, PromptDrawPoints, "474")                                                                \
    X(String, PromptArcCentre, "475")                                                                 \
    X(String, PromptArcEnds, "476")                                                                   \
    X(String, PromptSelectOne, "477")                                                                 \
    X(String, PromptSelectMany, "477A")                                                               \
    X(String, PromptSelectSecond, "477B")                                                             \
    X(String, PromptBasePoint, "478")                                                                 \
    X(String, PromptTargetPoint, "479")                                                               \
    X(String, PromptEditPick, "480")                                                                  \
    X(String, PromptEditDrag, "481")                                                                  \
    X(String, PromptEllipseBox, "482")                                                                \
    X(String, PromptPickPoint, "483")                                                                 \
    X(String, PromptFirstPoint, "484")                                                                \
    X(String, PromptSecondPoint, "485")                                                               \
    /* Main window: caption of the current-layer button, before the number. */                       \
    X(frmMain, LayerButton, "309")                                                                    \
    /* File/Open: status while opening, the question before a drawing is replaced, and the warning */ \
    /* for a file of a kind that cannot be opened or read. */                                         \
    X(String, OpeningFile, "400")                                                                     \
    X(String, ClearDrawing, "452")                                                                    \
    X(String, FileNotOpened, "458")                                                                   \
    /* Tool window: report line of the bitmap tracing. */                                             \
    X(frmToolWin, TraceReport, "strVec1")

// Components whose texts code asks for by name: X(section, name, caption,
// hint, items). The name is the component's name (a Qt objectName); caption
// and hint say whether "<name>.Caption" and "<name>.Hint" are needed, items
// how many "<name>.items[<i>]" (0 to items - 1).
#define KB_LANG_COMPONENTS(X)                                                                         \
    X(frmMain, mnuFile, true, false, 0)                                                               \
    X(frmMain, mnuOpen, true, true, 0)                                                                \
    X(frmMain, mnuExit, true, true, 0)                                                                \
    X(frmMain, GraphicView, false, true, 0)                                                           \
    X(frmToolWin, lblEti1, true, false, 0)                                                            \
    X(frmToolWin, grpDir, true, false, 0)                                                             \
    X(frmToolWin, lblDir0, true, false, 0)                                                            \
    X(frmToolWin, lblDir1, true, false, 0)                                                            \
    X(frmToolWin, lblDir2, true, false, 0)                                                            \
    X(frmToolWin, lblDir3, true, false, 0)                                                            \
    X(frmToolWin, lblDir4, true, false, 0)

#define KB_LANG_DECLARE_TEXT(section, ident, key)                                                     \
    namespace LangKeys::section {                                                                     \
    inline constexpr std::string_view ident = key;                                                    \
    }
#define KB_LANG_DECLARE_COMPONENT(section, name, caption, hint, items)                                \
    namespace LangKeys::section {                                                                     \
    inline constexpr std::string_view name = #name;                                                   \
    }
KB_LANG_TEXTS(KB_LANG_DECLARE_TEXT)
KB_LANG_COMPONENTS(KB_LANG_DECLARE_COMPONENT)
#undef KB_LANG_DECLARE_TEXT
#undef KB_LANG_DECLARE_COMPONENT

// One key of the language file as it stands there.
struct TLangKey {
    std::string_view Section;
    std::string Key;
};

// Every key of both lists, components expanded to their caption, hint and
// item keys; built once.
std::span<const TLangKey> LangCatalogue();
