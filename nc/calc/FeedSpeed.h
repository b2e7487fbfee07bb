#pragma once
// The feed and speed calculator without its window: a cutter's diameter,
// flutes, feed per tooth and cutting speed give a spindle speed and a feed
// rate, and back. The window hands each field's text in and calls the event
// of the field the operator edited; the model rewrites the other fields.
//
// Values are single precision as the calculator has always shown them. A
// field that does not convert, or a divisor of zero, raises EFeedSpeedError
// once the event is through. What it could not compute is then not known:
// the spindle speed, feed and word pair that depend on it show empty fields
// (never the numbers of earlier input), a field the operator typed keeps its
// text, and the next event that can compute them shows them again.

#include <cstdint>
#include <stdexcept>
#include <string>

class EFeedSpeedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TFeedSpeedModel {
public:
    // The field texts, as the window shows them (start values of a new form).
    struct TFields {
        std::string Dia = "4";     // txtFSDia: diameter, decimal
        std::string Teeth = "4";   // txtFSTeeth: flutes, whole number
        std::string FeedT = "0.1"; // txtFSFeedT: feed per tooth, decimal
        std::string SFM = "30";    // txtFSSFM: cutting speed, whole number
        std::string Rpm = "0";     // txtFSRpm: spindle speed, whole number
        std::string Feed = "0";    // txtFSFeed: feed rate, decimal
        std::string ClipB;         // txtClipB: "S<rpm> F<feed>"
    };

    TFields Fields;

    // The events of the form; each reads what the table of the calculator
    // says it reads, computes and rewrites the fields.
    void Show();
    void DiaChanged();
    void TeethOrFeedTChanged();
    void SpeedChanged();
    void RpmChanged();
    void FeedChanged();
    void UnitsClicked(int itemIndex); // 0 mm, 1 inch

    bool Metric() const { return Metric_; }
    // The unit-dependent captions of lblFSSFM and lblFSFeed.
    const char* SpeedCaption() const;
    const char* FeedCaption() const;
    // True while the fields are rewritten: the window ignores their change
    // signals meanwhile.
    bool Updating() const { return Updating_; }

    float D() const { return D_; }
    int32_t Z() const { return Z_; }
    float Fz() const { return Fz_; }
    float V() const { return V_; }
    float RPM() const { return RPM_; }
    float F() const { return F_; }
    float FR() const { return FR_; }

private:
    // The collected failure of one event: the first message.
    struct TFailure {
        std::string Message;
        void Note(const std::string& text)
        {
            if (Message.empty())
                Message = text;
        }
    };

    float K() const { return Metric_ ? 1000.0f : 12.0f; }
    // Runs the event's computation, shows what is known, then raises the
    // first failure it noted.
    template <class TCompute> void Run(TCompute compute);
    void Display();

    float D_ = 0, Fz_ = 0, V_ = 0, RPM_ = 0, F_ = 0, FR_ = 0;
    int32_t Z_ = 0;
    bool Metric_ = true;
    bool Updating_ = false;
};
