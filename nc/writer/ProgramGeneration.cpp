#include "nc/writer/ProgramGeneration.h"

#include "cam/ops/OpKinds.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/toolpath/ToolpathCurves.h"
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


// Machine-family bits of a kind; all bits for kinds of no family.
uint8_t FamilyMask(uint8_t kind)
{
    switch (OpKindInfo(kind).Family) {
    case TMachineFamily::Mill:
        return 1;
    case TMachineFamily::Lathe:
        return 2;
    case TMachineFamily::Laser:
        return 4;
    case TMachineFamily::None:
        break;
    }
    return 255;
}

TOpWriter WriterOfKind(uint8_t kind)
{
    const TOpKindInfo* info = FindOpKind(kind);
    return info ? info->Writer : TOpWriter::None;
}

// A refusal found before the operation is written; none when it may be.
std::optional<std::string_view> Refusal(const TScriveGCode& writer, const TProgramEntry& entry)
{
    if (entry.Kind == OpKind::LaserEngrave && writer.Dialect != PostDialect::LASER)
        return LangKeys::String::ProgramNeedsLaser;
    return std::nullopt;
}

// Writes one operation; false when it could not be written whole (the
// user stopped an engraving).
bool WriteOperation(TScriveGCode& writer, const TProgramEntry& entry, int32_t index)
{
    const TWriterOperation& op = *entry.Operation;
    switch (WriterOfKind(entry.Kind)) {
    case TOpWriter::Milling:
        writer.WriteMilling(op);
        return true;
    case TOpWriter::Drilling:
        return writer.WriteDrilling(op);
    case TOpWriter::Polar:
        writer.WritePolar(op);
        return true;
    case TOpWriter::Lathe:
        writer.WriteLathe(op);
        return true;
    case TOpWriter::LaserEngrave:
        return writer.WriteLaserEngrave(op);
    case TOpWriter::LaserCut:
        writer.WriteLaserCut(op, index);
        return true;
    case TOpWriter::None:
        return true;
    }
    return true;
}

// The machine family the post's dialect writes for: the lathe and laser
// dialects their own, every other one milling.
TMachineFamily DialectFamily(uint8_t dialect)
{
    if (dialect == PostDialect::Lathe)
        return TMachineFamily::Lathe;
    if (dialect == PostDialect::LASER)
        return TMachineFamily::Laser;
    return TMachineFamily::Mill;
}

std::string FamilyName(TMachineFamily family)
{
    switch (family) {
    case TMachineFamily::Lathe:
        return LangText(LangKeys::String::FamilyLathe);
    case TMachineFamily::Laser:
        return LangText(LangKeys::String::FamilyLaser);
    case TMachineFamily::Mill:
    case TMachineFamily::None:
        break;
    }
    return LangText(LangKeys::String::FamilyMill);
}

// The operations are written only through a post of their machine: a
// milling toolpath through the lathe dialect would come out in the wrong
// plane, through the laser dialect with the spindle speed as laser power.
// The message naming the post and both families, or none.
std::optional<std::string> WrongPostRefusal(const TScriveGCode& writer, const std::vector<TProgramEntry>& entries)
{
    const TMachineFamily post = DialectFamily(writer.Dialect);
    for (const TProgramEntry& entry : entries) {
        if (entry.SwitchedOff || WriterOfKind(entry.Kind) == TOpWriter::None)
            continue;
        const TMachineFamily family = OpKindInfo(entry.Kind).Family;
        if (family != TMachineFamily::None && family != post)
            return LangFormat(LangText(LangKeys::String::ProgramWrongPost),
                              {writer.PostName, FamilyName(post), FamilyName(family)});
    }
    return std::nullopt;
}

bool IsRefusedTapping(const TScriveGCode& writer, const TProgramEntry& entry)
{
    return entry.Kind == OpKind::Drilling && writer.IsExplodedTapping(*entry.Operation);
}

// While alive the program goes to its file as it is made; a program not
// saved by then leaves no file, and the one there before as it was.
class TStreamedProgram {
public:
    explicit TStreamedProgram(TScriveGCode& writer) : m_Writer(writer) { writer.StreamProgramToFile(); }
    ~TStreamedProgram() { m_Writer.StopStreaming(); }
    TStreamedProgram(const TStreamedProgram&) = delete;
    TStreamedProgram& operator=(const TStreamedProgram&) = delete;

private:
    TScriveGCode& m_Writer;
};

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

void WriteProgram(TScriveGCode& writer, const std::vector<TProgramEntry>& operations, bool showInEditor,
                  TPostFamilyCheck postCheck)
{
    if (operations.empty())
        return;
    writer.ClearOutput();
    const TStreamedProgram stream(writer);
    if (!CheckMachineFamily(operations)) {
        Refuse(EMessageKind::Warning, LangKeys::String::ProgramMixedFamilies);
        return;
    }
    TWorkMonitor& monitor = WorkMonitor();
    TBusySection busy(monitor);
    monitor.ProcessMessages();
    // Checked before the switched-off test: a switched-off engraving still
    // needs the laser post.
    for (const TProgramEntry& entry : operations) {
        if (const std::optional<std::string_view> key = Refusal(writer, entry)) {
            Refuse(EMessageKind::Warning, *key);
            return;
        }
    }
    if (postCheck == TPostFamilyCheck::Refuse) {
        if (const std::optional<std::string> text = WrongPostRefusal(writer, operations)) {
            UserNotifier().ShowMessage(EMessageKind::Warning, *text, LangText(LangKeys::String::ErrorCaption));
            return;
        }
    }
    const TWriterOperation* lastWritten = nullptr;
    for (size_t i = 0; i < operations.size(); ++i) {
        const TProgramEntry& entry = operations[i];
        if (entry.SwitchedOff || !entry.Operation || WriterOfKind(entry.Kind) == TOpWriter::None)
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
    const TStreamedProgram stream(writer);
    if (const std::optional<std::string_view> key = Refusal(writer, current)) {
        Refuse(EMessageKind::Warning, *key);
        return;
    }
    if (const std::optional<std::string> text = WrongPostRefusal(writer, {current})) {
        UserNotifier().ShowMessage(EMessageKind::Warning, *text, LangText(LangKeys::String::ErrorCaption));
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

// --- The operation manager's program ---

namespace {

// Parameters of an operation without any (a loader placeholder): zeros.
const TParametriOperazione* Params(const TOpManagerField& op)
{
    return op.Parameters.get();
}

// The views and entries of the manager's list, alive together.
struct TListView {
    explicit TListView(const TOpManager& manager)
    {
        Views.reserve(manager.Operations.size());
        for (const auto& op : manager.Operations) {
            Views.emplace_back(*op);
            Entries.push_back({op->Kind, op->SwitchedOff != 0, &Views.back()});
        }
    }
    std::vector<TOpWriterView> Views;
    std::vector<TProgramEntry> Entries;
};

} // namespace

const TDatiUtBase* TOpWriterView::ToolData() const
{
    return Params(m_Op) ? Params(m_Op)->ToolData.get() : nullptr;
}

double TOpWriterView::ZRapid() const
{
    return Params(m_Op) ? Params(m_Op)->ZRapid : 0;
}

double TOpWriterView::ZTop() const
{
    return Params(m_Op) ? Params(m_Op)->ZTop : 0;
}

double TOpWriterView::ZDepth() const
{
    return Params(m_Op) ? Params(m_Op)->ZDepth : 0;
}

double TOpWriterView::ZStep() const
{
    return Params(m_Op) ? Params(m_Op)->ZStep : 0;
}

double TOpWriterView::StockXY() const
{
    return Params(m_Op) ? Params(m_Op)->StockXY : 0;
}

bool TOpWriterView::RetractOn() const
{
    return Params(m_Op) && Params(m_Op)->RetractOn;
}

double TOpWriterView::RetractZ() const
{
    return Params(m_Op) ? Params(m_Op)->RetractZ : 0;
}

std::string TOpWriterView::Comment() const
{
    return m_Op.Comment;
}

int32_t TOpWriterView::ToolpathCount() const
{
    return static_cast<int32_t>(m_Op.Toolpaths.size());
}

const TCurvaNci3d& TOpWriterView::Toolpath(int32_t i) const
{
    return *m_Op.Toolpaths.at(static_cast<size_t>(i));
}

bool CheckMachineFamily(const TOpManager& manager)
{
    return CheckMachineFamily(TListView(manager).Entries);
}

void WriteProgram(const TOpManager& manager, bool showInEditor, TPostFamilyCheck postCheck)
{
    const TListView list(manager);
    WriteProgram(GCodeWriter(), list.Entries, showInEditor, postCheck);
}

void WriteCurrentOperation(const TOpManager& manager, bool showInEditor)
{
    const TOpManagerField* current = CurrentOperation();
    if (!current) {
        WriteCurrentOperation(GCodeWriter(), {}, manager.Operations.empty(), showInEditor);
        return;
    }
    const TOpWriterView view(*current);
    WriteCurrentOperation(GCodeWriter(), {current->Kind, current->SwitchedOff != 0, &view}, manager.Operations.empty(),
                          showInEditor);
}
