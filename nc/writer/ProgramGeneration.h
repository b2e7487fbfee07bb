#pragma once
// Program generation: the operation list, or the operation being edited,
// written as one G-code program through a writer, with the refusals that
// leave no file behind (machine families mixed, laser engraving without the
// laser dialect, tapping the post writes as plain moves, nothing to write,
// an engraving the user stopped). Messages go to the user notifier, the
// busy cursor to the work monitor; the saved program opens in the NC editor
// through a hook the shell fills. Main thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TScriveGCode;
class TWriterOperation;

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

// The whole list in order, switched-off operations skipped; saved to the
// writer's output file, and opened in the editor when asked.
void WriteProgram(TScriveGCode& writer, const std::vector<TProgramEntry>& operations, bool showInEditor);

// The one operation being edited. An empty operation list returns at once;
// there is no family check and no switched-off test.
void WriteCurrentOperation(TScriveGCode& writer, const TProgramEntry& current, bool operationListEmpty,
                           bool showInEditor);
