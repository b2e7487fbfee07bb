#include "nc/calc/FeedSpeed.h"

#include "core/settings/NumberText.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float ReadDecimal(const std::string& text)
{
    const auto value = ParseDecimal(text);
    if (!value || !std::isfinite(static_cast<float>(*value)))
        throw EFeedSpeedError("'" + text + "' is not a valid floating point value");
    return static_cast<float>(*value);
}

int32_t ReadWhole(const std::string& text)
{
    const auto value = ParseInteger(text);
    if (!value)
        throw EFeedSpeedError("'" + text + "' is not a valid integer value");
    return *value;
}

// Float division refused where the divisor is zero (C++ would give an
// infinity silently and show it in the fields).
float Divide(float numerator, float divisor)
{
    if (divisor == 0.0f)
        throw EFeedSpeedError("Floating point division by zero");
    const float quotient = numerator / divisor;
    if (!std::isfinite(quotient))
        throw EFeedSpeedError("Floating point overflow");
    return quotient;
}

std::string WholeText(float v)
{
    return Format3DecimalsTrim(std::nearbyint(v)); // halves to the even number
}

} // namespace

const char* TFeedSpeedModel::SpeedCaption() const
{
    return Metric_ ? "Cutting Speed (V) m/min.:" : "Cutting Speed (V) feet/min.:";
}

const char* TFeedSpeedModel::FeedCaption() const
{
    return Metric_ ? "Feedrate(F) mm/min.:" : "Feedrate(F) inches/min.:";
}

void TFeedSpeedModel::Show()
{
    if (Updating_)
        return;
    const float d = ReadDecimal(Fields.Dia);
    const float v = static_cast<float>(ReadWhole(Fields.SFM));
    const float fz = ReadDecimal(Fields.FeedT);
    const int32_t z = ReadWhole(Fields.Teeth);
    const float rpm = Divide(v * K(), kPi * d);
    const float fr = static_cast<float>(z) * fz;
    D_ = d, V_ = v, Fz_ = fz, Z_ = z, RPM_ = rpm, FR_ = fr;
    F_ = FR_ * RPM_;
    Display();
}

void TFeedSpeedModel::DiaChanged()
{
    if (Updating_)
        return;
    const float d = ReadDecimal(Fields.Dia);
    const float rpm = Divide(V_ * K(), kPi * d);
    D_ = d, RPM_ = rpm;
    F_ = FR_ * RPM_;
    Display();
}

void TFeedSpeedModel::TeethOrFeedTChanged()
{
    if (Updating_)
        return;
    const float fz = ReadDecimal(Fields.FeedT);
    const int32_t z = ReadWhole(Fields.Teeth);
    Fz_ = fz, Z_ = z;
    FR_ = static_cast<float>(Z_) * Fz_;
    F_ = FR_ * RPM_;
    Display();
}

void TFeedSpeedModel::SpeedChanged()
{
    if (Updating_)
        return;
    const float v = static_cast<float>(ReadWhole(Fields.SFM));
    const float rpm = Divide(v * K(), kPi * D_);
    V_ = v, RPM_ = rpm;
    Display();
}

void TFeedSpeedModel::RpmChanged()
{
    if (Updating_)
        return;
    const float rpm = static_cast<float>(ReadWhole(Fields.Rpm));
    V_ = Divide(rpm * kPi * D_, K());
    RPM_ = rpm;
    Display();
}

void TFeedSpeedModel::FeedChanged()
{
    if (Updating_)
        return;
    const float f = ReadDecimal(Fields.Feed);
    const float fr = Divide(f, RPM_);
    const float fz = Divide(fr, static_cast<float>(Z_));
    F_ = f, FR_ = fr, Fz_ = fz;
    Display();
}

void TFeedSpeedModel::UnitsClicked(int itemIndex)
{
    if (Updating_)
        return;
    const bool metric = itemIndex == 0;
    const float v = static_cast<float>(ReadWhole(Fields.SFM));
    const float rpm = Divide(v * (metric ? 1000.0f : 12.0f), kPi * D_);
    Metric_ = metric;
    V_ = v, RPM_ = rpm;
    F_ = FR_ * RPM_;
    Display();
}

void TFeedSpeedModel::Display()
{
    Updating_ = true;
    Fields.FeedT = Format3DecimalsTrim(Fz_);
    Fields.SFM = Format3DecimalsTrim(V_);
    Fields.Rpm = WholeText(RPM_);
    Fields.Feed = WholeText(F_);
    Fields.ClipB = "S" + Fields.Rpm + " F" + Fields.Feed;
    Updating_ = false;
}
