#include "cam/tools/DatiUtBase.h"

#include "cam/tools/ToolPage.h"
#include "cam/tools/ToolSolid.h"
#include "core/model/CADSysException.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr size_t kMillReserved = 80;
constexpr size_t kLatheReserved = 80;
constexpr size_t kLaserReserved = 52;

std::string CutName(std::string name)
{
    if (name.size() > kToolNameMax)
        name.resize(kToolNameMax);
    return name;
}

void WriteZeros(TStream& s, size_t count)
{
    static const std::array<uint8_t, 80> zeros{};
    s.Write(zeros.data(), std::min(count, zeros.size()));
}

void SkipReserved(TStream& s, size_t count)
{
    std::array<uint8_t, 80> skipped{};
    s.ReadBuffer(skipped.data(), std::min(count, skipped.size()));
}

// The 51-byte name of the mill library form: a length byte, then 50
// characters. A length byte above 50 (a damaged file) is taken as 50, so the
// name never reaches into the next field.
std::string ReadShortName(TStream& s)
{
    const uint8_t length = ReadUInt8(s);
    std::string chars = ReadFixedString(s, kToolNameMax);
    chars.resize(std::min<size_t>(length, kToolNameMax));
    return chars;
}

void WriteShortName(TStream& s, const std::string& name)
{
    const std::string cut = CutName(name);
    WriteUInt8(s, static_cast<uint8_t>(cut.size()));
    WriteFixedString(s, cut, kToolNameMax);
}

// Runs a record reader and turns a stream that ends inside the record into
// the record's load error.
template <typename F>
void LoadGuarded(const char* className, F&& read)
{
    try {
        read();
    } catch (const EStreamReadError&) {
        throw ECADFileNotValid(std::string(className) + ".LoadFromStream: Invalid stream.");
    }
}

// Reads a page into a copy of the record; the record takes the copy only
// when every number converted, so a bad field never leaves it half changed.
class TPageReader {
public:
    explicit TPageReader(const TToolPage& page) : m_Page(page) {}
    bool Ok() const { return m_Ok; }

    void Int(std::string_view control, int32_t& field)
    {
        if (const std::optional<int32_t> v = ParseInteger(m_Page.Text(control)))
            field = *v;
        else
            m_Ok = false;
    }
    void Double(std::string_view control, double& field)
    {
        if (const std::optional<double> v = ParseDecimal(m_Page.Text(control)))
            field = *v;
        else
            m_Ok = false;
    }
    void Single(std::string_view control, float& field)
    {
        double v = 0;
        Double(control, v);
        field = static_cast<float>(v);
    }

private:
    const TToolPage& m_Page;
    bool m_Ok = true;
};

bool ReportBadNumber()
{
    UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::ToolBadNumber),
                               LangText(LangKeys::String::ErrorCaption));
    return false;
}

std::string IntText(int32_t v) { return std::to_string(v); }

} // namespace

TDatiUtBase::~TDatiUtBase() { ToolSceneObjects().Forget(*this); }

// --- Mill -------------------------------------------------------------------

void TDatiUtFresa::SaveToStream(TStream& s, bool documentForm) const
{
    WriteInt32(s, ToolNumber);
    WriteInt32(s, SpindleSpeed);
    WriteInt32(s, SpindleChoice);
    WriteDouble(s, Feed);
    WriteDouble(s, PlungeFeed);
    WriteUInt8(s, Coolant ? 1 : 0);
    if (documentForm)
        WriteStreamEx(s, CutName(ToolName));
    else
        WriteShortName(s, ToolName);
    WriteInt32(s, ToolType);
    WriteDouble(s, Diameter);
    WriteDouble(s, CornerRadius);
    WriteDouble(s, ToolAngle);
    WriteDouble(s, TipDiameter);
    WriteSingle(s, PassZ);
    WriteSingle(s, ToolLength);
    if (documentForm)
        WriteZeros(s, kMillReserved);
}

void TDatiUtFresa::LoadFromStream(TStream& s, bool documentForm)
{
    LoadGuarded("TDatiUtFresa", [&] {
        ToolNumber = ReadInt32(s);
        SpindleSpeed = ReadInt32(s);
        SpindleChoice = ReadInt32(s);
        Feed = ReadDouble(s);
        PlungeFeed = ReadDouble(s);
        Coolant = ReadUInt8(s) != 0;
        ToolName = documentForm ? CutName(ReadStreamEx(s)) : ReadShortName(s);
        ToolType = ReadInt32(s);
        Diameter = ReadDouble(s);
        CornerRadius = ReadDouble(s);
        ToolAngle = ReadDouble(s);
        TipDiameter = ReadDouble(s);
        PassZ = ReadSingle(s);
        ToolLength = ReadSingle(s);
        if (documentForm)
            SkipReserved(s, kMillReserved);
    });
}

void TDatiUtFresa::ToPage(TToolPage& page) const
{
    page.SetText("sedToolNum", IntText(ToolNumber));
    page.SetText("txtGiri", IntText(SpindleSpeed));
    page.SetItemIndex("cboSpindle", SpindleChoice);
    page.SetText("txtFeedrate", FormatCoord(Feed));
    page.SetText("txtPlungeRate", FormatCoord(PlungeFeed));
    page.SetChecked("chkCoolant", Coolant);
    page.SetText("txtUtName", ToolName);
    page.SetItemIndex("cboToolType", ToolType);
    page.ToolTypeChanged();
    page.SetText("txtDiametro", FormatToolSize(Diameter));
    page.SetText("txtC_Raggio", FormatCoord(CornerRadius));
    page.SetText("txtAngolo", FormatCoord(ToolAngle));
    page.SetText("txtDiamFlat", FormatToolSize(TipDiameter));
    page.SetText("txtTLength", FormatCoord(ToolLength));
    page.SetText("txtPassZ", FormatCoord(PassZ));
}

bool TDatiUtFresa::FromPage(const TToolPage& page)
{
    TDatiUtFresa next(*this);
    TPageReader r(page);
    r.Int("sedToolNum", next.ToolNumber);
    r.Int("txtGiri", next.SpindleSpeed);
    next.SpindleChoice = page.ItemIndex("cboSpindle");
    r.Double("txtFeedrate", next.Feed);
    r.Double("txtPlungeRate", next.PlungeFeed);
    next.Coolant = page.Checked("chkCoolant");
    next.ToolName = CutName(page.Text("txtUtName"));
    next.ToolType = page.ItemIndex("cboToolType");
    r.Double("txtDiametro", next.Diameter);
    r.Double("txtC_Raggio", next.CornerRadius);
    r.Double("txtAngolo", next.ToolAngle);
    r.Double("txtDiamFlat", next.TipDiameter);
    r.Single("txtTLength", next.ToolLength);
    r.Single("txtPassZ", next.PassZ);
    if (!r.Ok())
        return ReportBadNumber();
    *this = next;
    return true;
}

// --- Lathe ------------------------------------------------------------------

void TDatiUtTornio::SaveToStream(TStream& s, bool /*documentForm*/) const
{
    WriteInt32(s, ToolNumber);
    WriteInt32(s, SpindleSpeed);
    WriteInt32(s, SpindleChoice);
    WriteDouble(s, Feed);
    WriteInt32(s, LatheFlags);
    WriteUInt8(s, Coolant ? 1 : 0);
    WriteStreamEx(s, CutName(ToolName));
    WriteInt32(s, ToolType);
    WriteDouble(s, Diameter);
    WriteSingle(s, static_cast<float>(CornerRadius));
    WriteSingle(s, EdgeLength2);
    WriteSingle(s, static_cast<float>(ToolAngle));
    WriteSingle(s, EdgeAngle1);
    WriteZeros(s, kLatheReserved);
}

void TDatiUtTornio::LoadFromStream(TStream& s, bool /*documentForm*/)
{
    LoadGuarded("TDatiUtTornio", [&] {
        ToolNumber = ReadInt32(s);
        SpindleSpeed = ReadInt32(s);
        SpindleChoice = ReadInt32(s);
        Feed = ReadDouble(s);
        LatheFlags = ReadInt32(s);
        Coolant = ReadUInt8(s) != 0;
        ToolName = CutName(ReadStreamEx(s));
        ToolType = ReadInt32(s);
        Diameter = ReadDouble(s);
        CornerRadius = ReadSingle(s);
        EdgeLength2 = ReadSingle(s);
        ToolAngle = ReadSingle(s);
        EdgeAngle1 = ReadSingle(s);
        SkipReserved(s, kLatheReserved);
    });
}

void TDatiUtTornio::Assign(const TDatiUtTornio& other)
{
    if (this != &other)
        TDatiUtBase::operator=(other);
}

std::string TDatiUtTornio::GeometryDescription() const
{
    using namespace LangKeys;
    const std::string crlf = "\r\n";
    std::string insertType;
    if (ToolType == 0)
        insertType = LangText(String::LatheInsertType0);
    else if (ToolType == 1)
        insertType = LangText(String::LatheInsertType1);
    const bool variant = (LatheFlags & kLatheGeometryVariant) != 0;
    return LangText(String::LatheGeoTitle) + crlf + crlf + LangText(String::LatheGeoName) + " " + ToolName + crlf +
           LangText(String::LatheGeoType) + " " + insertType + crlf + LangText(String::LatheGeoRadius) + " " +
           FormatToolSize(Diameter) + crlf + LangText(String::LatheGeoVariant) + " " +
           LangText(variant ? String::LatheVariantOn : String::LatheVariantOff);
}

void TDatiUtTornio::ToPage(TToolPage& page) const
{
    page.SetText("sedLatheToolNum", IntText(ToolNumber));
    page.SetText("txtLatheGiri", IntText(SpindleSpeed));
    page.SetItemIndex("cboLatheSpindle", SpindleChoice);
    page.SetText("txtLatheFeedrate", FormatCoord(Feed));
    const bool perMinute = (LatheFlags & kLatheFeedPerMinute) != 0;
    page.SetChecked("rbtLatheUMin", perMinute);
    page.SetChecked("rbtLatheURev", !perMinute);
    page.SetChecked("chkLCoolant", Coolant);
    ShowOnButton(page);
}

void TDatiUtTornio::ShowOnButton(TToolPage& page) const
{
    page.SetText("sbtToolGeo", GeometryDescription());
    page.SetImageIndex("sbtToolGeo", (LatheFlags & kLatheGeometryVariant) != 0 ? 1 : 0);
}

bool TDatiUtTornio::FromPage(const TToolPage& page)
{
    TDatiUtTornio next(*this);
    TPageReader r(page);
    r.Int("sedLatheToolNum", next.ToolNumber);
    r.Int("txtLatheGiri", next.SpindleSpeed);
    next.SpindleChoice = page.ItemIndex("cboLatheSpindle");
    r.Double("txtLatheFeedrate", next.Feed);
    if (page.Checked("rbtLatheUMin"))
        next.LatheFlags |= kLatheFeedPerMinute;
    else
        next.LatheFlags &= ~kLatheFeedPerMinute;
    next.Coolant = page.Checked("chkLCoolant");
    if (!r.Ok())
        return ReportBadNumber();
    *this = next;
    return true;
}

// --- Laser ------------------------------------------------------------------

void TDatiLaser::SaveToStream(TStream& s, bool /*documentForm*/) const
{
    WriteDouble(s, Feed);
    WriteSingle(s, Dwell1);
    WriteSingle(s, Dwell2);
    WriteStreamEx(s, CutName(ToolName));
    WriteDouble(s, Diameter);
    WriteInt32(s, SpindleSpeed);
    WriteInt32(s, SpindleChoice);
    WriteDouble(s, PlungeFeed);
    WriteInt32(s, GasOn);
    WriteSingle(s, GasValue);
    WriteSingle(s, GasDelay);
    WriteZeros(s, kLaserReserved);
}

void TDatiLaser::LoadFromStream(TStream& s, bool /*documentForm*/)
{
    LoadGuarded("TDatiLaser", [&] {
        Feed = ReadDouble(s);
        Dwell1 = ReadSingle(s);
        Dwell2 = ReadSingle(s);
        ToolName = CutName(ReadStreamEx(s));
        Diameter = ReadDouble(s);
        SpindleSpeed = ReadInt32(s);
        SpindleChoice = ReadInt32(s);
        PlungeFeed = ReadDouble(s);
        GasOn = ReadInt32(s);
        GasValue = ReadSingle(s);
        GasDelay = ReadSingle(s);
        SkipReserved(s, kLaserReserved);
    });
}

void TDatiLaser::ToPage(TToolPage& page) const
{
    page.SetText("txtLasFeedrate", FormatCoord(Feed));
    page.SetText("txtLasFeedrate2", FormatCoord(PlungeFeed));
    page.SetText("txtLasDwell1", FormatCoord(Dwell1));
    page.SetText("txtLasDwell2", FormatCoord(Dwell2));
    page.SetText("txtLasName", ToolName);
    page.SetText("txtLasDiametro", FormatToolSize(Diameter));
    page.SetText("txtLasPower", IntText(SpindleSpeed));
    page.SetText("txtLasPowerMin", IntText(SpindleChoice));
    page.SetChecked("chkLaserGas", GasOn != 0);
    page.SetText("txtLasGasValue", FormatCoord(GasValue));
    page.SetText("txtLasGasDelay", FormatCoord(GasDelay));
}

bool TDatiLaser::FromPage(const TToolPage& page)
{
    TDatiLaser next(*this);
    TPageReader r(page);
    r.Double("txtLasFeedrate", next.Feed);
    r.Double("txtLasFeedrate2", next.PlungeFeed);
    r.Single("txtLasDwell1", next.Dwell1);
    r.Single("txtLasDwell2", next.Dwell2);
    next.ToolName = CutName(page.Text("txtLasName"));
    r.Double("txtLasDiametro", next.Diameter);
    r.Int("txtLasPower", next.SpindleSpeed);
    r.Int("txtLasPowerMin", next.SpindleChoice);
    next.GasOn = page.Checked("chkLaserGas") ? 1 : 0;
    r.Single("txtLasGasValue", next.GasValue);
    r.Single("txtLasGasDelay", next.GasDelay);
    if (!r.Ok())
        return ReportBadNumber();
    *this = next;
    return true;
}

std::unique_ptr<TDatiUtBase> NewToolRecordForKind(int operationKind)
{
    switch (operationKind) {
    case 7:
    case 11:
        return std::make_unique<TDatiUtTornio>();
    case 8:
    case 9:
    case 13:
        return std::make_unique<TDatiLaser>();
    case 10:
        return nullptr;
    default:
        return std::make_unique<TDatiUtFresa>();
    }
}
