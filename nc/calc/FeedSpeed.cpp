#include "nc/calc/FeedSpeed.h"

#include "core/settings/NumberText.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kUnknown = std::numeric_limits<float>::quiet_NaN();

// A field that does not convert is not known (NaN); the failure is noted.
template <class Failure> float ReadDecimal(const std::string& text, Failure& failure)
{
    const auto value = ParseDecimal(text);
    if (!value || !std::isfinite(static_cast<float>(*value))) {
        failure.Note("'" + text + "' is not a valid floating point value");
        return kUnknown;
    }
    return static_cast<float>(*value);
}

template <class Failure> float ReadWhole(const std::string& text, Failure& failure)
{
    const auto value = ParseInteger(text);
    if (!value) {
        failure.Note("'" + text + "' is not a valid integer value");
        return kUnknown;
    }
    return static_cast<float>(*value);
}

// What is computed from something unknown is unknown. A divisor of zero
// (C++ would give an infinity silently and show it in the fields) or an
// overflow is a failure, and its result is unknown too.
template <class Failure> float Divide(float numerator, float divisor, Failure& failure)
{
    if (std::isnan(numerator) || std::isnan(divisor))
        return kUnknown;
    if (divisor == 0.0f) {
        failure.Note("Floating point division by zero");
        return kUnknown;
    }
    const float quotient = numerator / divisor;
    if (!std::isfinite(quotient)) {
        failure.Note("Floating point overflow");
        return kUnknown;
    }
    return quotient;
}

std::string WholeText(float v)
{
    if (!std::isfinite(v))
        return std::string();
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

template <class TCompute> void TFeedSpeedModel::Run(TCompute compute)
{
    if (Updating_)
        return;
    TFailure failure;
    compute(failure);
    Display();
    if (!failure.Message.empty())
        throw EFeedSpeedError(failure.Message);
}

void TFeedSpeedModel::Show()
{
    Run([this](TFailure& failure) {
        D_ = ReadDecimal(Fields.Dia, failure);
        V_ = ReadWhole(Fields.SFM, failure);
        Fz_ = ReadDecimal(Fields.FeedT, failure);
        const float z = ReadWhole(Fields.Teeth, failure);
        if (!std::isnan(z))
            Z_ = static_cast<int32_t>(z);
        RPM_ = Divide(V_ * K(), kPi * D_, failure);
        FR_ = z * Fz_;
        F_ = FR_ * RPM_;
    });
}

void TFeedSpeedModel::DiaChanged()
{
    Run([this](TFailure& failure) {
        D_ = ReadDecimal(Fields.Dia, failure);
        RPM_ = Divide(V_ * K(), kPi * D_, failure);
        F_ = FR_ * RPM_;
    });
}

void TFeedSpeedModel::TeethOrFeedTChanged()
{
    Run([this](TFailure& failure) {
        Fz_ = ReadDecimal(Fields.FeedT, failure);
        const float z = ReadWhole(Fields.Teeth, failure);
        if (!std::isnan(z))
            Z_ = static_cast<int32_t>(z);
        FR_ = z * Fz_;
        F_ = FR_ * RPM_;
    });
}

void TFeedSpeedModel::SpeedChanged()
{
    Run([this](TFailure& failure) {
        V_ = ReadWhole(Fields.SFM, failure);
        RPM_ = Divide(V_ * K(), kPi * D_, failure);
        // The feed keeps its value while the spindle speed is known.
        if (std::isnan(RPM_))
            F_ = kUnknown;
    });
}

void TFeedSpeedModel::RpmChanged()
{
    Run([this](TFailure& failure) {
        RPM_ = ReadWhole(Fields.Rpm, failure);
        V_ = Divide(RPM_ * kPi * D_, K(), failure);
        if (std::isnan(RPM_))
            F_ = kUnknown;
    });
}

void TFeedSpeedModel::FeedChanged()
{
    Run([this](TFailure& failure) {
        F_ = ReadDecimal(Fields.Feed, failure);
        FR_ = Divide(F_, RPM_, failure);
        Fz_ = Divide(FR_, static_cast<float>(Z_), failure);
    });
}

void TFeedSpeedModel::UnitsClicked(int itemIndex)
{
    Run([this, itemIndex](TFailure& failure) {
        Metric_ = itemIndex == 0;
        V_ = ReadWhole(Fields.SFM, failure);
        RPM_ = Divide(V_ * K(), kPi * D_, failure);
        F_ = FR_ * RPM_;
    });
}

void TFeedSpeedModel::Display()
{
    Updating_ = true;
    // A field whose value is not known keeps the text it has.
    if (std::isfinite(Fz_))
        Fields.FeedT = Format3DecimalsTrim(Fz_);
    if (std::isfinite(V_))
        Fields.SFM = Format3DecimalsTrim(V_);
    Fields.Rpm = WholeText(RPM_);
    Fields.Feed = WholeText(F_);
    const bool known = std::isfinite(RPM_) && std::isfinite(F_);
    Fields.ClipB = known ? "S" + Fields.Rpm + " F" + Fields.Feed : std::string();
    Updating_ = false;
}
