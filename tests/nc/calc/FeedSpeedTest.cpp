#include "nc/calc/FeedSpeed.h"

#include <gtest/gtest.h>

namespace {

TFeedSpeedModel Shown()
{
    TFeedSpeedModel model;
    model.Show();
    return model;
}

} // namespace

TEST(FeedSpeed, StartValuesGiveSpindleAndFeed)
{
    const TFeedSpeedModel model = Shown();
    EXPECT_EQ(model.Fields.Rpm, "2387");
    EXPECT_EQ(model.Fields.Feed, "955");
    EXPECT_EQ(model.Fields.ClipB, "S2387 F955");
    EXPECT_FLOAT_EQ(model.FR(), 0.4f);
    EXPECT_STREQ(model.SpeedCaption(), "Cutting Speed (V) m/min.:");
    EXPECT_STREQ(model.FeedCaption(), "Feedrate(F) mm/min.:");
}

TEST(FeedSpeed, InchUnitsUseTwelveAndTheirCaptions)
{
    TFeedSpeedModel model = Shown();
    model.UnitsClicked(1);
    EXPECT_EQ(model.Fields.Rpm, "29"); // 30 x 12 / (pi x 4) = 28.65
    EXPECT_STREQ(model.SpeedCaption(), "Cutting Speed (V) feet/min.:");
    EXPECT_STREQ(model.FeedCaption(), "Feedrate(F) inches/min.:");
    EXPECT_FLOAT_EQ(model.F(), model.FR() * model.RPM());
}

TEST(FeedSpeed, TypedSpindleSpeedGivesCuttingSpeedAndKeepsFeed)
{
    TFeedSpeedModel model = Shown();
    model.Fields.Rpm = "1000";
    model.RpmChanged();
    EXPECT_EQ(model.Fields.SFM, "12.566");
    EXPECT_EQ(model.Fields.Feed, "955"); // F follows only at the next D, Z, fz or units change
    model.Fields.Dia = "4";
    model.DiaChanged();
    EXPECT_EQ(model.Fields.Feed, "400");
}

TEST(FeedSpeed, TypedCuttingSpeedKeepsFeed)
{
    TFeedSpeedModel model = Shown();
    model.Fields.SFM = "60";
    model.SpeedChanged();
    EXPECT_EQ(model.Fields.Rpm, "4775");
    EXPECT_EQ(model.Fields.Feed, "955");
}

TEST(FeedSpeed, TypedFeedGivesFeedPerTooth)
{
    TFeedSpeedModel model = Shown();
    model.Fields.Rpm = "2000";
    model.RpmChanged();
    model.Fields.Teeth = "2";
    model.TeethOrFeedTChanged();
    model.Fields.Feed = "800";
    model.FeedChanged();
    EXPECT_EQ(model.Fields.FeedT, "0.2");
}

// A field that does not convert, or a zero divisor, raises; what depends on
// it shows no number (never one of earlier input), the rest stays.
TEST(FeedSpeed, BadInputRaisesAndShowsNoResultItCannotCompute)
{
    struct Case {
        const char* name;
        std::string TFeedSpeedModel::TFields::*field;
        const char* text;
        void (TFeedSpeedModel::*event)();
        bool rpmKnown;
        bool feedKnown;
    };
    using F = TFeedSpeedModel::TFields;
    const Case cases[] = {
        {"zero diameter", &F::Dia, "0", &TFeedSpeedModel::DiaChanged, false, false},
        {"empty diameter", &F::Dia, "", &TFeedSpeedModel::DiaChanged, false, false},
        {"lone point", &F::FeedT, ".", &TFeedSpeedModel::TeethOrFeedTChanged, true, false},
        {"point in a whole number", &F::SFM, "30.5", &TFeedSpeedModel::SpeedChanged, false, false},
        {"point in the spindle speed", &F::Rpm, "1.5", &TFeedSpeedModel::RpmChanged, false, false},
        {"empty feed", &F::Feed, "", &TFeedSpeedModel::FeedChanged, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFeedSpeedModel model = Shown();
        model.Fields.*c.field = c.text;
        const TFeedSpeedModel::TFields before = model.Fields;
        EXPECT_THROW((model.*c.event)(), EFeedSpeedError);
        EXPECT_EQ(model.Fields.Rpm, c.rpmKnown ? before.Rpm : "");
        EXPECT_EQ(model.Fields.Feed, c.feedKnown ? before.Feed : "");
        EXPECT_EQ(model.Fields.ClipB, "");
        // A typed input keeps its text; the other inputs are not touched.
        for (std::string F::*input : {&F::Dia, &F::Teeth, &F::FeedT, &F::SFM})
            EXPECT_EQ(model.Fields.*input, input == c.field ? std::string(c.text) : before.*input);
        EXPECT_FALSE(model.Updating());
    }

    // A zero diameter: a later flute count gives no feed from the old
    // spindle speed; a valid diameter brings both back.
    TFeedSpeedModel model = Shown();
    model.Fields.Dia = "0";
    EXPECT_THROW(model.DiaChanged(), EFeedSpeedError);
    model.Fields.Teeth = "2";
    model.TeethOrFeedTChanged();
    EXPECT_EQ(model.Fields.Rpm, "");
    EXPECT_EQ(model.Fields.Feed, "");
    EXPECT_EQ(model.Fields.ClipB, "");
    model.Fields.Dia = "8";
    model.DiaChanged();
    // 30 x 1000 / (pi x 8) = 1193.7; 2 x 0.1 x 1194 = 238.7
    EXPECT_EQ(model.Fields.Rpm, "1194");
    EXPECT_EQ(model.Fields.Feed, "239");
    EXPECT_EQ(model.Fields.ClipB, "S1194 F239");
}

TEST(FeedSpeed, ZeroFlutesRaiseOnlyWhereTheyDivide)
{
    TFeedSpeedModel model = Shown();
    model.Fields.Teeth = "0";
    model.TeethOrFeedTChanged();
    model.Fields.Feed = "800";
    EXPECT_THROW(model.FeedChanged(), EFeedSpeedError);
    EXPECT_EQ(model.Fields.FeedT, "0.1");
}
