#include "cam/params/ParametriOperazione.h"

#include "cam/tools/CurrentToolLibrary.h"
#include "core/entities/Etichetta.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"
#include "core/settings/AppConfig.h"

#include <array>

namespace {

constexpr const char* kInvalidStream = "LoadFromStream: Invalid stream.";

// Bits of the stored flag word.
enum : uint16_t {
    kFlagKeepToolDown = 1 << 0,
    kFlagRoughPass3D = 1 << 1,
    kFlagLatheEntryOn = 1 << 2,
    kFlagLatheExitOn = 1 << 3,
    kFlagLatheHomeOn = 1 << 4,
    kFlagEmitG41G42 = 1 << 5,
    kFlagFinishFace = 1 << 6,
    kFlagSwitchedOff = 1 << 7,
    kFlagRetractOn = 1 << 8,
};

constexpr int kLetters = 12;
// Obsolete bytes of "QV-001" and "QV-002" between the leads and the tabs.
constexpr size_t kObsoleteLeadBytes = 10;
constexpr size_t kArcMaskPadding = 7;
constexpr size_t kReservedTail = 28;

void Skip(TStream& s, size_t count)
{
    std::array<uint8_t, 32> skipped{};
    s.ReadBuffer(skipped.data(), count);
}

void WriteZeros(TStream& s, size_t count)
{
    static constexpr std::array<uint8_t, 32> zeros{};
    s.Write(zeros.data(), count);
}

bool IsMillLibraryKind(int kind)
{
    return kind == 1 || kind == 2 || kind == 3 || kind == 5 || kind == 12;
}

bool IsLaserKind(int kind)
{
    return kind == 8 || kind == 9 || kind == 13;
}

bool IsLatheKind(int kind)
{
    return kind == 7 || kind == 11;
}

} // namespace

void TParamTrasforma::LoadTransformFromStream(TStream& stream)
{
    XformOn = ReadUInt8(stream);
    if (XformOn == 0)
        return;
    StepCountX = ReadInt32(stream);
    StepCountY = ReadInt32(stream);
    StepX = ReadDouble(stream);
    StepY = ReadDouble(stream);
}

void TParamTrasforma::SaveTransformToStream(TStream& stream) const
{
    WriteUInt8(stream, XformOn);
    if (XformOn == 0)
        return;
    WriteInt32(stream, StepCountX);
    WriteInt32(stream, StepCountY);
    WriteDouble(stream, StepX);
    WriteDouble(stream, StepY);
}

TParametriOperazione::TParametriOperazione(int kind) : OpKind(static_cast<uint8_t>(kind))
{
    CreateToolData(kind);
    SelectToolLibrary(kind, true);
}

TParametriOperazione::~TParametriOperazione()
{
    Tabs.ClearTabs();
    CreateToolData(10); // lets go of the current lathe library too
}

void TParametriOperazione::CreateToolData(int kind)
{
    // The lathe library copies the operation's tool into new records: it
    // must not keep the one replaced here.
    if (auto* lathe = dynamic_cast<TTornioLib*>(CurrentToolLibrary()))
        if (ToolData && lathe->OperationTool() == ToolData.get())
            lathe->SetOperationTool(nullptr);
    ToolData = NewToolRecordForKind(kind);
}

void TParametriOperazione::SelectToolLibrary(int kind, bool takeFirstTool)
{
    const TToolLibraryViews& views = ToolLibraryViews();
    TAppConfig& config = AppConfig();
    std::unique_ptr<TLibreriaUtBase> library;
    std::string* setting = nullptr;
    if (IsMillLibraryKind(kind)) {
        library = std::make_unique<TFresaLib>(views.MillList, views.MillPage);
        setting = &config.ToolsLib;
        takeFirstTool = true;
    } else if (IsLaserKind(kind)) {
        library = std::make_unique<TLaserLib>(views.LaserList, views.LaserPage);
        setting = &config.LaserLib;
        takeFirstTool = true;
    } else if (IsLatheKind(kind)) {
        auto lathe = std::make_unique<TTornioLib>(views.LatheList, views.LathePage);
        lathe->SetOperationTool(dynamic_cast<const TDatiUtTornio*>(ToolData.get()));
        library = std::move(lathe);
        setting = &config.LatheLib;
    } else {
        return;
    }
    TLibreriaUtBase& current = *library;
    SetCurrentToolLibrary(std::move(library));
    *setting = SelectLibraryFile(*setting, config.ToolsFolder());
    current.LoadFromFile(*setting, ToolData.get(), takeFirstTool);
}

void TParametriOperazione::LathePointsFromStored()
{
    LatheHome = {LeadInLength, LeadOutLength};
    LatheEntry = {MarginX, MarginY};
    LatheExit = {ZBottom, Resolution};
}

void TParametriOperazione::LathePointsToStored()
{
    LeadInLength = LatheHome.X;
    LeadOutLength = LatheHome.Z;
    MarginX = LatheEntry.X;
    MarginY = LatheEntry.Z;
    ZBottom = LatheExit.X;
    Resolution = LatheExit.Z;
}

void TParametriOperazione::SaveToStream(TStream& stream, int kind, bool switchedOff)
{
    if (ToolData)
        ToolData->SaveToStream(stream, true);
    else
        TDatiUtFresa().SaveToStream(stream, true); // kind 10 has none; the record needs one

    WriteInt32(stream, CompSide);
    WriteDouble(stream, CompOffset);
    WriteUInt8(stream, LayerPriority);

    WriteInt32(stream, LeadInKind);
    WriteDouble(stream, LeadInLength);
    WriteInt32(stream, LeadOutKind);
    WriteDouble(stream, LeadOutLength);
    WriteUInt8(stream, LeadAtMidSegment);
    WriteUInt8(stream, MakeTabs);

    Tabs.SaveToStream(stream);

    WriteDouble(stream, ZRapid);
    WriteDouble(stream, ZTop);
    WriteDouble(stream, ZDepth);
    WriteDouble(stream, ZStep);
    WriteDouble(stream, StockXY);
    WriteInt32(stream, RoughCount);
    WriteDouble(stream, RoughSize);
    WriteInt32(stream, FinishCount);
    WriteDouble(stream, FinishSize);
    WriteInt32(stream, PassCount);
    WriteDouble(stream, PassDepth);
    WriteInt32(stream, HasRemainder);
    WriteDouble(stream, RemainderDepth);
    WriteUInt8(stream, DepthOrder);
    WriteUInt8(stream, OffsetMethod);
    WriteDouble(stream, StepOverPercent);
    WriteUInt8(stream, SpiralInOut);
    WriteDouble(stream, Angle);
    WriteInt32(stream, PocketType);
    WriteInt32(stream, CycleType);

    WriteUInt8(stream, ArcMask);
    WriteZeros(stream, kArcMaskPadding);
    WriteDouble(stream, ArcMaskDiameter);
    WriteDouble(stream, ArcMaskTolerance);

    WriteInt16(stream, CutRules);
    WriteInt32(stream, PocketEntry);

    uint16_t flags = 0;
    auto set = [&flags](bool on, uint16_t bit) {
        if (on)
            flags |= bit;
    };
    set(KeepToolDown, kFlagKeepToolDown);
    set(RoughPass3D, kFlagRoughPass3D);
    set(LatheEntryOn, kFlagLatheEntryOn);
    set(LatheExitOn, kFlagLatheExitOn);
    set(LatheHomeOn, kFlagLatheHomeOn);
    set(EmitG41G42, kFlagEmitG41G42);
    set(FinishFace, kFlagFinishFace);
    set(switchedOff, kFlagSwitchedOff);
    set(RetractOn, kFlagRetractOn);
    WriteUInt16(stream, flags);

    WriteDouble(stream, MarginX);
    WriteDouble(stream, MarginY);
    WriteDouble(stream, ZBottom);
    WriteDouble(stream, Resolution);

    WriteSingle(stream, static_cast<float>(LatheHome.X));
    WriteSingle(stream, static_cast<float>(LatheHome.Z));

    if (kind == kLetters) {
        if (Labels) {
            Labels->SaveToStream(stream);
        } else {
            // The letters page makes the label when it is first shown; an
            // operation saved before (or read from an old document) has none.
            TEtichetta empty(true);
            empty.Labels().clear();
            empty.SaveToStream(stream);
        }
    }

    WriteSingle(stream, static_cast<float>(RetractZ));
    WriteZeros(stream, kReservedTail);
    SaveTransformToStream(stream);
}

bool TParametriOperazione::LoadFromStream(TStream& stream, std::string_view version, int kind)
{
    try {
        if (!ToolData)
            throw ECADFileNotValid(kInvalidStream); // kind 10 has no tool record to read
        ToolData->LoadFromStream(stream, true);

        CompSide = ReadInt32(stream);
        CompOffset = ReadDouble(stream);
        LayerPriority = ReadUInt8(stream);

        const bool fromQV001 = !SignatureLess(version, "QV-001");
        if (fromQV001) {
            LeadInKind = ReadInt32(stream);
            LeadInLength = ReadDouble(stream);
            LeadOutKind = ReadInt32(stream);
            LeadOutLength = ReadDouble(stream);
            LeadAtMidSegment = ReadUInt8(stream);
            MakeTabs = ReadUInt8(stream);
            if (SignatureLess(version, "QV-003"))
                Skip(stream, kObsoleteLeadBytes);
            Tabs.LoadFromStream(stream, version);
        }

        ZRapid = ReadDouble(stream);
        ZTop = ReadDouble(stream);
        ZDepth = ReadDouble(stream);
        ZStep = ReadDouble(stream);
        StockXY = ReadDouble(stream);
        RoughCount = ReadInt32(stream);
        RoughSize = ReadDouble(stream);
        FinishCount = ReadInt32(stream);
        FinishSize = ReadDouble(stream);
        PassCount = ReadInt32(stream);
        PassDepth = ReadDouble(stream);
        HasRemainder = ReadInt32(stream);
        RemainderDepth = ReadDouble(stream);
        DepthOrder = ReadUInt8(stream);
        OffsetMethod = ReadUInt8(stream);
        StepOverPercent = ReadDouble(stream);
        SpiralInOut = ReadUInt8(stream);
        Angle = ReadDouble(stream);
        PocketType = ReadInt32(stream);
        CycleType = ReadInt32(stream);

        ArcMask = ReadUInt8(stream);
        Skip(stream, kArcMaskPadding);
        ArcMaskDiameter = ReadDouble(stream);
        ArcMaskTolerance = ReadDouble(stream);

        CutRules = ReadInt16(stream);
        PocketEntry = ReadInt32(stream);
        if (!fromQV001) {
            CutRules = 0;
            PocketEntry = 0;
        }

        const uint16_t flags = ReadUInt16(stream);
        KeepToolDown = (flags & kFlagKeepToolDown) != 0;
        RoughPass3D = (flags & kFlagRoughPass3D) != 0;
        LatheEntryOn = (flags & kFlagLatheEntryOn) != 0;
        LatheExitOn = (flags & kFlagLatheExitOn) != 0;
        LatheHomeOn = (flags & kFlagLatheHomeOn) != 0;
        EmitG41G42 = (flags & kFlagEmitG41G42) != 0;
        FinishFace = (flags & kFlagFinishFace) != 0;
        RetractOn = (flags & kFlagRetractOn) != 0;

        MarginX = ReadDouble(stream);
        MarginY = ReadDouble(stream);
        ZBottom = ReadDouble(stream);
        Resolution = ReadDouble(stream);

        LatheHome.X = ReadSingle(stream);
        LatheHome.Z = ReadSingle(stream);

        OpKind = static_cast<uint8_t>(kind);
        if (kind == kLetters)
            Labels = std::make_unique<TEtichetta>(stream, version);

        const float retract = ReadSingle(stream);
        if (SignatureLess(version, "QV-3.6")) {
            RetractOn = false;
            RetractZ = ZRapid;
        } else {
            RetractZ = retract;
        }

        Skip(stream, kReservedTail);
        if (SignatureGreater(version, "QV-003"))
            LoadTransformFromStream(stream);
        return (flags & kFlagSwitchedOff) != 0;
    } catch (const std::exception&) {
        throw ECADFileNotValid(kInvalidStream);
    }
}
