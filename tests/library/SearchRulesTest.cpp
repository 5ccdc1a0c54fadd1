// The product search's statement and choices, without a window, and run on
// a small products table: every word and name is a bound value, so quotes,
// "%" and "_" are matched as typed.
#include <gtest/gtest.h>
#include <wx/wxsqlite3.h>

#include "windows/library/FindQuery.h"
#include "support/TestSupport.h"

namespace {

const wxString kAll = tw::kSearchAll;
const wxString kBase = "SELECT Title,Category,Region,ChartType,Description,FileID FROM products WHERE ";
const wxString kLike = "Description LIKE ? ESCAPE '\\'";

} // namespace

TEST(SearchRules, StatementTable)
{
    struct Case {
        const char* name;
        wxString text, category, region, type;
        wxString where;                    // between the base text and " ORDER BY Title DESC"
        std::vector<wxString> values;
    };
    const std::vector<Case> cases = {
        {"one word", "wind", kAll, kAll, kAll, "(" + kLike + ")", {"%wind%"}},
        {"words only", "wind  waves", kAll, kAll, kAll, "(" + kLike + " OR " + kLike + ")", {"%wind%", "%waves%"}},
        {"whitespace and a region", " \t\r\n ", kAll, "Atlantic", kAll, "Region=?", {"Atlantic"}},
        {"two words and a region", "gfs\twind", kAll, "Pacific", kAll,
         "(" + kLike + " OR " + kLike + ") AND Region=?", {"%gfs%", "%wind%", "Pacific"}},
        {"every choice", "", "GRIB", "Atlantic", "Wind", "Category=? AND Region=? AND ChartType=?",
         {"GRIB", "Atlantic", "Wind"}},
        {"a word and a type", "surface", kAll, kAll, "Chart", "(" + kLike + ") AND ChartType=?",
         {"%surface%", "Chart"}},
        {"percent is literal", "50%", kAll, kAll, kAll, "(" + kLike + ")", {"%50\\%%"}},
        {"underscore is literal", "a_b", kAll, kAll, kAll, "(" + kLike + ")", {"%a\\_b%"}},
        {"the escape itself", "c:\\x", kAll, kAll, kAll, "(" + kLike + ")", {"%c:\\\\x%"}},
        {"an apostrophe is a value", "skipper's", "O'Brien's", kAll, kAll, "(" + kLike + ") AND Category=?",
         {"%skipper's%", "O'Brien's"}},
        {"the same word twice", "wind wind", kAll, kAll, kAll, "(" + kLike + " OR " + kLike + ")",
         {"%wind%", "%wind%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const tw::SearchStatement s = tw::BuildSearchStatement(c.text, c.category, c.region, c.type);
        EXPECT_FALSE(s.empty);
        EXPECT_EQ(s.sql, kBase + c.where + " ORDER BY Title DESC");
        EXPECT_EQ(s.values, c.values);
    }
    for (const wxString& blank : {wxString(), wxString(" \t\n")}) {
        const tw::SearchStatement s = tw::BuildSearchStatement(blank, kAll, kAll, kAll);
        EXPECT_TRUE(s.empty);
        EXPECT_TRUE(s.sql.empty());
        EXPECT_TRUE(s.values.empty());
    }
}

TEST(SearchRules, WordsSplitAtBlanksTabsAndLineEnds)
{
    EXPECT_EQ(tw::SearchWords("  a\tb\r\nc  "), std::vector<wxString>({"a", "b", "c"}));
    EXPECT_TRUE(tw::SearchWords(" \t\r\n").empty());
    EXPECT_EQ(tw::SearchWords(wxString::FromUTF8("Böe  Ost")), std::vector<wxString>({wxString::FromUTF8("Böe"), "Ost"}));
}

// Distinct names (case-sensitive), sorted by character code, with "--ALL--"
// in its place among them and never twice.
TEST(SearchRules, ChoiceEntries)
{
    tw::ChoiceNames names;
    for (const char* name : {"Pacific", "atlantic", "Atlantic", "Pacific", " Blank", "", "--ALL--", "Zulu"})
        names.Add(name);
    EXPECT_EQ(names.Entries(),
              std::vector<wxString>({"", " Blank", "--ALL--", "Atlantic", "Pacific", "Zulu", "atlantic"}));
    EXPECT_EQ(tw::ChoiceNames().Entries(), std::vector<wxString>({"--ALL--"}));
}

// The statements as SQLite runs them: literal matching of "%", "_" and
// quotes, any word of several, ASCII letters regardless of case, Title
// descending.
TEST(SearchRules, StatementsFindWhatTheyShould)
{
    tw::test::TempDir dir;
    wxSQLite3Database db;
    db.Open(dir / "p.db");
    db.ExecuteUpdate("CREATE TABLE products (FileID TEXT, Title TEXT, Category TEXT, Region TEXT, ChartType TEXT, "
                     "Description TEXT)");
    const char* rows[][6] = {
        {"a", "Alpha", "GRIB", "Atlantic", "Wind", "10 m WIND at 50% cover"},
        {"b", "Bravo", "GRIB", "Pacific", "Wind", "wind and 500 cover"},
        {"c", "Charlie", "Charts", "Atlantic", "Surface", "skipper's surface chart"},
        {"d", "Delta", "Charts", "Pacific", "Surface", "wave_height map"},
        {"e", "Echo", "Charts", "Pacific", "Surface", "waveXheight map"},
    };
    for (const auto& r : rows) {
        wxSQLite3Statement insert = db.PrepareStatement("INSERT INTO products VALUES (?,?,?,?,?,?)");
        for (int i = 0; i < 6; ++i)
            insert.Bind(i + 1, wxString(r[i]));
        insert.ExecuteUpdate();
    }
    auto run = [&](const wxString& text, const wxString& category, const wxString& region) {
        const tw::SearchStatement s = tw::BuildSearchStatement(text, category, region, kAll);
        wxSQLite3Statement q = db.PrepareStatement(s.sql);
        for (size_t i = 0; i < s.values.size(); ++i)
            q.Bind(static_cast<int>(i + 1), s.values[i]);
        wxSQLite3ResultSet rs = q.ExecuteQuery();
        std::vector<wxString> ids;
        while (rs.NextRow())
            ids.push_back(rs.GetAsString("FileID"));
        return ids;
    };
    EXPECT_EQ(run("wind", kAll, kAll), std::vector<wxString>({"b", "a"}));
    EXPECT_EQ(run("50%", kAll, kAll), std::vector<wxString>({"a"}));
    EXPECT_EQ(run("wave_height", kAll, kAll), std::vector<wxString>({"d"}));
    EXPECT_EQ(run("skipper's", kAll, kAll), std::vector<wxString>({"c"}));
    EXPECT_EQ(run("chart map", "Charts", "Pacific"), std::vector<wxString>({"e", "d"}));
    EXPECT_EQ(run("", "GRIB", "Atlantic"), std::vector<wxString>({"a"}));
    EXPECT_TRUE(run("'; DROP TABLE products; --", kAll, kAll).empty());
    EXPECT_EQ(run("", kAll, "Pacific").size(), 3u);
}

namespace {

// `count` words of `word` separated by blanks.
wxString Words(size_t count, const wxString& word = "wind")
{
    wxString text;
    for (size_t i = 0; i < count; ++i)
        text << (i ? " " : "") << word;
    return text;
}

} // namespace

// A text beyond the limits gets no statement; one at the limits gives a
// statement SQLite runs (the limits lie well inside what it can take).
TEST(SearchRules, TooLongTextsAreRefusedAndTextsAtTheLimitsRun)
{
    tw::test::TempDir dir;
    wxSQLite3Database db;
    db.Open(dir / "p.db");
    db.ExecuteUpdate("CREATE TABLE products (FileID TEXT, Title TEXT, Category TEXT, Region TEXT, ChartType TEXT, "
                     "Description TEXT)");
    db.ExecuteUpdate("INSERT INTO products VALUES ('a', 'Alpha', 'GRIB', 'Atlantic', 'Wind', 'wind')");

    const wxString longWord(wxUniChar(0x00e9), tw::kMaxSearchLength);   // 2 bytes each in UTF-8
    struct Case {
        const char* name;
        wxString text;
        bool tooLong;
    };
    const std::vector<Case> cases = {
        {"a thousand words", Words(1000), true},
        {"one word of 49,999 bytes", wxString('x', 49999), true},
        {"one word past the length", wxString('%', tw::kMaxSearchLength + 1), true},
        {"one word past the count", Words(tw::kMaxSearchWords + 1, "a"), true},
        {"as many words as allowed", Words(tw::kMaxSearchWords, "w_%"), false},
        {"the longest text allowed, escapes and all", wxString('%', tw::kMaxSearchLength), false},
        {"the longest text of two-byte characters", longWord, false},
        {"the longest text of blanks and a word", wxString(' ', tw::kMaxSearchLength - 4) + "wind", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const tw::SearchStatement s = tw::BuildSearchStatement(c.text, "GRIB", "Atlantic", "Wind");
        EXPECT_EQ(s.tooLong, c.tooLong);
        EXPECT_FALSE(s.empty);
        if (c.tooLong) {
            EXPECT_TRUE(s.sql.empty());
            EXPECT_TRUE(s.values.empty());
            continue;
        }
        wxSQLite3Statement q = db.PrepareStatement(s.sql);
        for (size_t i = 0; i < s.values.size(); ++i)
            q.Bind(static_cast<int>(i + 1), s.values[i]);
        EXPECT_NO_THROW({
            wxSQLite3ResultSet rs = q.ExecuteQuery();
            while (rs.NextRow()) {
            }
        });
    }
    EXPECT_EQ(tw::SearchTooLongText(), "The search text is too long: use at most 200 words and 2000 characters.");
}
