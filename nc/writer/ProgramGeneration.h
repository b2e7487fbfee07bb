#pragma once
// Program generation: the operation list, or the operation being edited,
// written as one G-code program through a writer, with the refusals that
// leave no file behind (machine families mixed, laser engraving without the
// laser dialect, tapping the post writes as plain moves, nothing to write,
// an engraving the user stopped). The program is written to its file as it
// is made and takes the old file's place only when complete, so a refusal
// or a failed write leaves the file as it was. Messages go to the user
// notifier, the busy cursor to the work monitor; the saved program opens in
// the NC editor through a hook the shell fills. Main thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "nc/writer/WriterOperation.h"

class TOpManager;
class TOpManagerField;
class TScriveGCode;

// One operation of the list as program generation sees it.
struct TProgramEntry {
    uint8_t Kind = 0;
    bool SwitchedOff = false;
    const TWriterOperation* Operation = nullptr; // not owned
};

// Opens a written program in the NC editor (the shell's choice of the
// built-in or an external one). Installed by the shell; none does nothing.
using TOpenInNcEditorHook = std::function<void(const std::string& fileName)>;
TOpenInNcEditorHook SetOpenInNcEditorHook(TOpenInNcEditorHook hook);

// False when the switched-on operations belong to more than one machine
// family (mill, lathe, laser); kinds of no family pass.
bool CheckMachineFamily(const std::vector<TProgramEntry>& operations);

// Whether a program is refused when the switched-on operations belong to
// another machine family than the post's dialect (lathe dialect: lathe,
// laser dialect: laser, any other: milling). The post editor's test
// programs show any post's output and skip the check.
enum class TPostFamilyCheck : uint8_t { Refuse, AnyPost };

// The whole list in order, switched-off operations skipped; saved to the
// writer's output file, and opened in the editor when asked.
void WriteProgram(TScriveGCode& writer, const std::vector<TProgramEntry>& operations, bool showInEditor,
                  TPostFamilyCheck postCheck = TPostFamilyCheck::Refuse);

// The one operation being edited. An empty operation list returns at once;
// there is no check of mixed families and no switched-off test; an
// operation of another family than the post's is refused.
void WriteCurrentOperation(TScriveGCode& writer, const TProgramEntry& current, bool operationListEmpty,
                           bool showInEditor);

// --- The operation manager's program ---

// What the writer reads of one operation of the manager: its parameters'
// tool record and heights, its comment and its toolpath.
class TOpWriterView final : public TWriterOperation {
public:
    explicit TOpWriterView(const TOpManagerField& operation) : m_Op(operation) {}

    const TDatiUtBase* ToolData() const override;
    double ZRapid() const override;
    double ZTop() const override;
    double ZDepth() const override;
    double ZStep() const override;
    double StockXY() const override;
    bool RetractOn() const override;
    double RetractZ() const override;
    std::string Comment() const override;
    int32_t ToolpathCount() const override;
    const TCurvaNci3d& Toolpath(int32_t i) const override;

private:
    const TOpManagerField& m_Op;
};

// The manager's list through the one writer, GCodeWriter().
bool CheckMachineFamily(const TOpManager& manager);
void WriteProgram(const TOpManager& manager, bool showInEditor,
                  TPostFamilyCheck postCheck = TPostFamilyCheck::Refuse);
// CurrentOperation() alone through the one writer.
void WriteCurrentOperation(const TOpManager& manager, bool showInEditor);
