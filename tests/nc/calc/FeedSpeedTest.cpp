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

// A field that does not convert, or a zero divisor, raises before anything
// changes: every value and every other field stays as it was.
TEST(FeedSpeed, BadInputRaisesAndKeepsEverything)
{
    struct Case {
        const char* name;
        std::string TFeedSpeedModel::TFields::*field;
        const char* text;
        void (TFeedSpeedModel::*event)();
    };
    using F = TFeedSpeedModel::TFields;
    const Case cases[] = {
        {"zero diameter", &F::Dia, "0", &TFeedSpeedModel::DiaChanged},
        {"empty diameter", &F::Dia, "", &TFeedSpeedModel::DiaChanged},
        {"lone point", &F::FeedT, ".", &TFeedSpeedModel::TeethOrFeedTChanged},
        {"point in a whole number", &F::SFM, "30.5", &TFeedSpeedModel::SpeedChanged},
        {"point in the spindle speed", &F::Rpm, "1.5", &TFeedSpeedModel::RpmChanged},
        {"empty feed", &F::Feed, "", &TFeedSpeedModel::FeedChanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFeedSpeedModel model = Shown();
        model.Fields.*c.field = c.text;
        const TFeedSpeedModel::TFields before = model.Fields;
        const float rpm = model.RPM(), f = model.F(), fz = model.Fz();
        EXPECT_THROW((model.*c.event)(), EFeedSpeedError);
        EXPECT_EQ(model.Fields.Rpm, before.Rpm);
        EXPECT_EQ(model.Fields.Feed, before.Feed);
        EXPECT_EQ(model.Fields.ClipB, before.ClipB);
        EXPECT_EQ(model.RPM(), rpm);
        EXPECT_EQ(model.F(), f);
        EXPECT_EQ(model.Fz(), fz);
        EXPECT_FALSE(model.Updating());
    }
    // Zero flutes raise only where they divide: a typed feed.
    TFeedSpeedModel model = Shown();
    model.Fields.Teeth = "0";
    model.TeethOrFeedTChanged();
    model.Fields.Feed = "800";
    EXPECT_THROW(model.FeedChanged(), EFeedSpeedError);
    EXPECT_EQ(model.Fields.FeedT, "0.1");
}
