// The Library window's rules without a window: drag text, keys, row
// comparison, tree clicks and the opening size.
#include <gtest/gtest.h>
#include <wx/datetime.h>

#include "windows/library/LibraryRules.h"

using namespace tw;

TEST(LibraryRules, DragTextNamesTheItem)
{
    EXPECT_EQ(CatalogueDragText("G1"), "TALVO_DATAFILE_G1");
    struct Case {
        const char* text;
        bool ours;
        const char* id;
    };
    const Case cases[] = {{"TALVO_DATAFILE_G1", true, "G1"},
                          {"TALVO_DATAFILE_", true, ""},
                          {"talvo_datafile_G1", false, ""},
                          {" TALVO_DATAFILE_G1", false, ""},
                          {"G1", false, ""}};
    for (const Case& c : cases) {
        wxString id;
        EXPECT_EQ(ParseCatalogueDragText(c.text, id), c.ours) << c.text;
        EXPECT_EQ(id, c.id) << c.text;
    }
}

TEST(LibraryRules, KeyActions)
{
    struct Case {
        int code;
        bool ctrl;
        LibraryKey action;
    };
    const Case cases[] = {
        {'C', true, LibraryKey::Copy},    {'c', true, LibraryKey::Copy},     {'C', false, LibraryKey::Consume},
        {340, false, LibraryKey::Copy},   {340, true, LibraryKey::Copy},     {'X', true, LibraryKey::Cut},
        {'x', false, LibraryKey::Consume}, {127, false, LibraryKey::Delete}, {127, true, LibraryKey::Delete},
        {341, false, LibraryKey::Paste},  {'v', true, LibraryKey::Paste},    {'V', false, LibraryKey::Consume},
        {'A', true, LibraryKey::PassOn},  {8, false, LibraryKey::PassOn},    {342, false, LibraryKey::PassOn},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibraryKeyAction(c.code, c.ctrl), c.action) << c.code << (c.ctrl ? " with Ctrl" : "");
}

TEST(LibraryRules, RowComparison)
{
    LibrarySortKey newBatch;
    newBatch.newBatchRow = true;
    newBatch.text = "zzz";
    newBatch.image = 9;
    LibrarySortKey a, b;
    a.text = "alpha";
    b.text = "Beta";
    a.image = 0;
    b.image = 1;
    a.size = LibrarySizeValue("9Kb");
    b.size = LibrarySizeValue("12Kb");
    a.day = LibraryCreationDay(wxDateTime(15, wxDateTime::Mar, 2024, 8).GetTicks());
    b.day = LibraryCreationDay(wxDateTime(15, wxDateTime::Mar, 2024, 22).GetTicks());

    for (auto rule : {LibrarySortRule::Image, LibrarySortRule::Size, LibrarySortRule::Day, LibrarySortRule::Text}) {
        for (bool ascending : {true, false}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(rule) << (ascending ? " ascending" : " descending"));
            EXPECT_LT(CompareLibraryRows(newBatch, a, rule, ascending), 0);
            EXPECT_GT(CompareLibraryRows(b, newBatch, rule, ascending), 0);
            EXPECT_EQ(CompareLibraryRows(a, a, rule, ascending), 0);
        }
    }
    // Ascending: smaller image and size first, case-insensitive text.
    EXPECT_LT(CompareLibraryRows(a, b, LibrarySortRule::Image, true), 0);
    EXPECT_LT(CompareLibraryRows(a, b, LibrarySortRule::Size, true), 0);
    EXPECT_GT(CompareLibraryRows(a, b, LibrarySortRule::Size, false), 0);
    EXPECT_LT(CompareLibraryRows(a, b, LibrarySortRule::Text, true), 0);
    // Two batches of one day are equal; the newer day comes first when
    // ascending; no date is older than any.
    EXPECT_EQ(CompareLibraryRows(a, b, LibrarySortRule::Day, true), 0);
    LibrarySortKey older, none;
    older.day = LibraryCreationDay(wxDateTime(1, wxDateTime::Jan, 2020, 12).GetTicks());
    none.day = LibraryCreationDay(-1);
    EXPECT_EQ(none.day, -1);
    EXPECT_LT(CompareLibraryRows(a, older, LibrarySortRule::Day, true), 0);
    EXPECT_LT(CompareLibraryRows(older, none, LibrarySortRule::Day, true), 0);
    EXPECT_LT(CompareLibraryRows(none, older, LibrarySortRule::Day, false), 0);

    const std::pair<const char*, long long> sizes[] = {{"120Kb", 120}, {"9Kb", 9}, {"Kb", 0}, {"", 0}, {"12 Kb", 12},
                                                       {"3KbKb", 3}};
    for (const auto& [text, value] : sizes)
        EXPECT_EQ(LibrarySizeValue(text), value) << text;
}

TEST(LibraryRules, SortRuleOfEachColumn)
{
    EXPECT_EQ(LibrarySortRuleFor(true, 0), LibrarySortRule::Image);
    EXPECT_EQ(LibrarySortRuleFor(true, 6), LibrarySortRule::Size);
    EXPECT_EQ(LibrarySortRuleFor(true, 2), LibrarySortRule::Text);
    EXPECT_EQ(LibrarySortRuleFor(true, 5), LibrarySortRule::Text);   // price as text
    EXPECT_EQ(LibrarySortRuleFor(false, 0), LibrarySortRule::Image);
    EXPECT_EQ(LibrarySortRuleFor(false, 2), LibrarySortRule::Day);
    EXPECT_EQ(LibrarySortRuleFor(false, 6), LibrarySortRule::Text);
}

TEST(LibraryRules, TreeClicks)
{
    using P = TreeHitPart;
    struct Case {
        bool doubleClick;
        P part;
        bool children;
        bool passes;
    };
    const Case cases[] = {
        {false, P::Nowhere, false, false}, {false, P::Button, true, true},     {false, P::Icon, true, false},
        {false, P::Label, true, false},    {false, P::Elsewhere, true, false}, {false, P::Label, false, true},
        {false, P::Icon, false, true},     {false, P::Elsewhere, false, true}, {true, P::Nowhere, true, false},
        {true, P::Button, true, true},     {true, P::Icon, true, true},        {true, P::Label, true, true},
        {true, P::Elsewhere, true, false}, {true, P::Elsewhere, false, true},  {true, P::Label, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TreeClickPassesOn(c.doubleClick, c.part, c.children), c.passes)
            << (c.doubleClick ? "double " : "single ") << static_cast<int>(c.part) << (c.children ? " parent" : " leaf");
}

TEST(LibraryRules, OpeningSize)
{
    const FrameDims caller{800, 600};
    const FrameDims display{1280, 1024};
    struct Case {
        const char* name;
        std::optional<wxString> width, height;
        int w, h;
    };
    const Case cases[] = {
        {"nothing stored", std::nullopt, std::nullopt, 800, 600},
        {"width without height", wxString("900"), std::nullopt, 800, 600},
        {"height without width", std::nullopt, wxString("700"), 800, 700},
        {"both", wxString("900"), wxString("700"), 900, 700},
        {"not numbers", wxString("wide"), wxString("12px"), 800, 600},
        {"zero and negative", wxString("0"), wxString("-5"), 800, 600},
        {"beyond the display", wxString("4000"), wxString("3000"), 1280, 1024},
    };
    for (const Case& c : cases) {
        const FrameDims size = LibraryFrameSize(c.width, c.height, caller, display);
        EXPECT_EQ(size.width, c.w) << c.name;
        EXPECT_EQ(size.height, c.h) << c.name;
    }
    const FrameDims noDisplay = LibraryFrameSize(wxString("4000"), wxString("3000"), caller, {0, 0});
    EXPECT_EQ(noDisplay.width, 4000);
}
