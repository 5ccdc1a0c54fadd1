// The batch dialog's rules without a window: width entries, captions,
// actions, coordinate texts read and written, the combined GRIB file's name
// and a new batch's folder.
#include <gtest/gtest.h>

#include "windows/library/BatchDialogRules.h"

TEST(BatchDialogRules, WidthEntries)
{
    EXPECT_EQ(tw::WidthEntryText(0), "010");
    EXPECT_EQ(tw::WidthEntryText(5), "075");
    EXPECT_EQ(tw::WidthEntryText(10), "360");
    EXPECT_EQ(tw::WidthEntryText(11), "");
    const struct {
        float width;
        int entry;
    } cases[] = {{20, 1}, {360, 10}, {10, 0}, {12.5f, -1}, {0, -1}, {20.0001f, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(tw::WidthEntryOf(c.width), c.entry) << c.width;
    EXPECT_EQ(tw::WidthText(12.5f), "12.5");
    const struct {
        const char* text;
        float width;
    } reads[] = {{"020", 20}, {"35", 35}, {" 12.7 deg", 12.7f}, {"wide", 0}, {"", 0}, {"-5", -5}};
    for (const auto& r : reads)
        EXPECT_FLOAT_EQ(tw::ReadWidth(r.text), r.width) << r.text;
}

TEST(BatchDialogRules, CaptionsAndActions)
{
    EXPECT_EQ(tw::BatchDialogCaption(true, 2), "New Batch");
    EXPECT_EQ(tw::BatchDialogCaption(false, 2), "Data Management");
    for (int id : {0, 1, 3, 99})
        EXPECT_EQ(tw::BatchDialogCaption(false, id), "Batch Properties") << id;
    // Radios in id order show the codes 0, 1, 3, 2, 4.
    const struct {
        int runstat;
        int radio;
    } actions[] = {{0, 0}, {1, 1}, {3, 2}, {2, 3}, {4, 4}, {7, -1}, {-1, -1}};
    for (const auto& a : actions)
        EXPECT_EQ(tw::ActionRadioOf(a.runstat), a.radio) << a.runstat;
}

TEST(BatchDialogRulesLocale, CoordinatesShownAndRead)
{
    const struct {
        float value;
        const char* text;
        bool second;
    } shown[] = {{-33.5f, "33.500000", true}, {45.1f, "45.099998", false}, {0, "0.000000", false},
                 {-0.0f, "0.000000", false}, {-122.323f, "122.322998", true}};
    for (const auto& s : shown) {
        const tw::CoordinateField f = tw::ShowCoordinate(s.value);
        EXPECT_EQ(f.text, s.text) << s.value;
        EXPECT_EQ(f.second, s.second) << s.value;
    }

    // The typed sign counts for nothing: the hemisphere choice decides.
    const struct {
        const char* text;
        bool second;
        double limit;
        bool ok;
        float value;
    } typed[] = {
        {"-10", true, 90, true, -10},   {"-10", false, 90, true, 10},    {"10", true, 90, true, -10},
        {"33.5 S", true, 90, true, -33.5f}, {"", false, 90, true, 0},   {"north", true, 90, true, 0},
        {"90", true, 90, true, -90},    {"90.0001", false, 90, false, 7}, {"-91", true, 90, false, 7},
        {"180", true, 180, true, -180}, {"181", false, 180, false, 7},   {"1e3", false, 180, false, 7},
    };
    for (const auto& t : typed) {
        float value = 7;
        EXPECT_EQ(tw::ReadCoordinate(t.text, t.second, t.limit, value), t.ok) << t.text;
        EXPECT_FLOAT_EQ(value, t.value) << t.text;
    }
}

TEST(BatchDialogRules, CombinedGribFileName)
{
    const struct {
        const char* picked;
        const char* stored;
    } cases[] = {
        {"/data/x", "/data/x.grb"},         {"/data/x.grb", "/data/x.grb"},
        {"/data/x.GRB", "/data/x.GRB"},     {"/data/x.txt", "/data/x.txt.grb"},
        {"/data/x.", "/data/x.grb"},        {"/data/", ""},
        {"", ""},                           {"/data/all.tar.gz", "/data/all.tar.gz.grb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::CombinedGribPath(c.picked), c.stored) << c.picked;
}

// One folder per batch inside the chosen one, whatever the name holds.
TEST(BatchDialogRules, NewBatchFolder)
{
    const struct {
        const char* base;
        const char* title;
        const char* folder;
    } cases[] = {
        {"/home/u/Weather Files", "Charts", "/home/u/Weather Files/Charts"},
        {"/home/u/Weather Files/", "Charts", "/home/u/Weather Files/Charts"},
        {"/w", "a/b\\c", "/w/a_b_c"},
        {"/w", "..", "/w/Batch 7"},
        {"/w", ".", "/w/Batch 7"},
        {"/w", "   ", "/w/Batch 7"},
        {"/w", "  Trip  ", "/w/Trip"},
        {"/", "Charts", "/Charts"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::NewBatchFolder(c.base, c.title, 7), c.folder) << c.base << " " << c.title;
}
