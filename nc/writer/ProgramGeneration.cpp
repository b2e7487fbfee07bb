#include "nc/writer/ProgramGeneration.h"

#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "nc/writer/ScriveGCode.h"
#include "nc/writer/WriterOperation.h"

#include <optional>

namespace {

TOpenInNcEditorHook& EditorHook()
{
    static TOpenInNcEditorHook hook;
    return hook;
}

void Refuse(EMessageKind kind, std::string_view key)
{
    UserNotifier().ShowMessage(kind, LangText(key), LangText(LangKeys::String::ErrorCaption));
}

constexpr uint8_t kLaserEngraveKind = 8;
constexpr uint8_t kDrillingKind = 3;

// Machine-family bits of a kind; all bits for kinds of no family.
uint8_t FamilyMask(uint8_t kind)
{
    switch (kind) {
    case 1: case 2: case 3: case 5: case 6:
        return 1; // mill
    case 7: case 11:
        return 2; // lathe
    case 8: case 9:
        return 4; // laser
    default:
        return 255;
    }
}

enum class EWriter { None, Milling, Drilling, Polar, Lathe, LaserEngrave, LaserCut };

EWriter WriterOfKind(uint8_t kind)
{
    switch (kind) {
    case 0: case 1: case 2: case 5: case 6: case 12: case 13:
        return EWriter::Milling;
    case 3:
        return EWriter::Drilling;
    case 4:
        return EWriter::Polar;
    case 7: case 11:
        return EWriter::Lathe;
    case 8:
        return EWriter::LaserEngrave;
    case 9:
        return EWriter::LaserCut;
    default:
        return EWriter::None;
    }
}

// A refusal found before the operation is written; none when it may be.
std::optional<std::string_view> Refusal(const TScriveGCode& writer, const TProgramEntry& entry)
{
    if (entry.Kind == kLaserEngraveKind && writer.Dialect != PostDialect::LASER)
        return LangKeys::String::ProgramNeedsLaser;
    return std::nullopt;
}

// Writes one operation; false when it could not be written whole (the
// user stopped an engraving).
bool WriteOperation(TScriveGCode& writer, const TProgramEntry& entry, int32_t index)
{
    const TWriterOperation& op = *entry.Operation;
    switch (WriterOfKind(entry.Kind)) {
    case EWriter::Milling:
        writer.WriteMilling(op);
        return true;
    case EWriter::Drilling:
        return writer.WriteDrilling(op);
    case EWriter::Polar:
        writer.WritePolar(op);
        return true;
    case EWriter::Lathe:
        writer.WriteLathe(op);
        return true;
    case EWriter::LaserEngrave:
        return writer.WriteLaserEngrave(op);
    case EWriter::LaserCut:
        writer.WriteLaserCut(op, index);
        return true;
    case EWriter::None:
        return true;
    }
    return true;
}

bool IsRefusedTapping(const TScriveGCode& writer, const TProgramEntry& entry)
{
    return entry.Kind == kDrillingKind && writer.IsExplodedTapping(*entry.Operation);
}

void SaveAndShow(TScriveGCode& writer, bool showInEditor)
{
    if (writer.LastLineIndex() < 0) {
        Refuse(EMessageKind::Information, LangKeys::String::ProgramEmpty);
        return;
    }
    try {
        writer.SaveProgram();
    } catch (const EGCodeSaveError& e) {
        UserNotifier().ShowMessage(EMessageKind::Error, e.what(), LangText(LangKeys::String::ErrorCaption));
        return;
    }
    if (showInEditor && EditorHook())
        EditorHook()(writer.OutputFileName());
}

} // namespace

TOpenInNcEditorHook SetOpenInNcEditorHook(TOpenInNcEditorHook hook)
{
    TOpenInNcEditorHook previous = std::move(EditorHook());
    EditorHook() = std::move(hook);
    return previous;
}

bool CheckMachineFamily(const std::vector<TProgramEntry>& operations)
{
    uint8_t mask = 255;
    for (const TProgramEntry& entry : operations)
        if (!entry.SwitchedOff)
            mask &= FamilyMask(entry.Kind);
    return mask != 0;
}

void WriteProgram(TScriveGCode& writer, const std::vector<TProgramEntry>& operations, bool showInEditor)
{
    if (operations.empty())
        return;
    writer.ClearOutput();
    if (!CheckMachineFamily(operations)) {
        Refuse(EMessageKind::Warning, LangKeys::String::ProgramMixedFamilies);
        return;
    }
    TWorkMonitor& monitor = WorkMonitor();
    TBusySection busy(monitor);
    monitor.ProcessMessages();
    const TWriterOperation* lastWritten = nullptr;
    for (size_t i = 0; i < operations.size(); ++i) {
        const TProgramEntry& entry = operations[i];
        // Checked before the switched-off test: a switched-off engraving
        // still needs the laser post.
        if (const std::optional<std::string_view> key = Refusal(writer, entry)) {
            Refuse(EMessageKind::Warning, *key);
            return;
        }
        if (entry.SwitchedOff || !entry.Operation || WriterOfKind(entry.Kind) == EWriter::None)
            continue;
        if (IsRefusedTapping(writer, entry)) {
            Refuse(EMessageKind::Warning, LangKeys::String::ProgramExplodedTapping);
            return;
        }
        if (!lastWritten && !writer.BeginProgram(*entry.Operation)) {
            Refuse(EMessageKind::Information, LangKeys::String::ProgramEmpty);
            return;
        }
        if (!WriteOperation(writer, entry, static_cast<int32_t>(i)))
            return;
        lastWritten = entry.Operation;
    }
    if (lastWritten)
        writer.EndProgram(*lastWritten);
    SaveAndShow(writer, showInEditor);
}

void WriteCurrentOperation(TScriveGCode& writer, const TProgramEntry& current, bool operationListEmpty,
                           bool showInEditor)
{
    if (operationListEmpty || !current.Operation)
        return;
    TBusySection busy(WorkMonitor());
    if (const std::optional<std::string_view> key = Refusal(writer, current)) {
        Refuse(EMessageKind::Warning, *key);
        return;
    }
    if (IsRefusedTapping(writer, current)) {
        Refuse(EMessageKind::Warning, LangKeys::String::ProgramExplodedTapping);
        return;
    }
    if (!writer.BeginProgram(*current.Operation)) {
        Refuse(EMessageKind::Information, LangKeys::String::ProgramEmpty);
        return;
    }
    if (!WriteOperation(writer, current, 0))
        return;
    writer.EndProgram(*current.Operation);
    SaveAndShow(writer, showInEditor);
}
