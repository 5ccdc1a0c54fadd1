// The compact text of an item's fields: what goes in comes out unchanged,
// it compares, orders and hashes as a wxString of the same text does, copies
// share their characters without being tied to each other, and it reads as
// a wxString wherever the program uses one.
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>
#include <wx/string.h>

#include "model/ItemText.h"

namespace {

// Texts around the storage boundaries (seven bytes fit in the field) and
// beyond ASCII (two-, three- and four-byte characters, a lone surrogate).
std::vector<wxString> SampleTexts()
{
    return {
        wxString(),
        wxS("a"),
        wxS("1.25"),
        wxS("abcdefg"),                  // 7 bytes: the most held in place
        wxS("abcdefgh"),                 // 8 bytes: the first in a block
        wxString::FromUTF8("caf\xc3\xa9"),            // 5 bytes
        wxString::FromUTF8("caf\xc3\xa9s!!"),         // 8 bytes, 7 characters
        wxString::FromUTF8("\xe2\x98\x82 rain"),
        wxString::FromUTF8("\xf0\x9f\x8c\x8a waves, and a long tail after them"),
        wxString(wxS("tab\there")),
        wxString(L"lone \xD800 surrogate"),
        wxString(1000, wxUniChar('x')),
    };
}

} // namespace

TEST(ItemText, EveryTextComesBackUnchanged)
{
    for (const wxString& s : SampleTexts()) {
        SCOPED_TRACE(s.utf8_string());
        const CItemText t(s);
        EXPECT_EQ(t.AsString(), s);
        EXPECT_EQ(wxString(t), s);
        EXPECT_EQ(t.length(), s.length());
        EXPECT_EQ(t.empty(), s.empty());
        EXPECT_EQ(t.IsInline(), !s.empty() && t.Utf8Length() <= 7);
        if (s != wxString(L"lone \xD800 surrogate")) {
            const wxScopedCharBuffer utf8 = s.utf8_str();
            EXPECT_EQ(std::string(t.Utf8Data(), t.Utf8Length()), std::string(utf8.data(), utf8.length()));
        }
        // From the UTF-8 bytes, as the catalogue load makes them.
        if (CItemText::IsValidUTF8(t.Utf8Data(), t.Utf8Length())) {
            EXPECT_EQ(CItemText::FromUTF8(t.Utf8Data(), t.Utf8Length()), t);
        }
    }
}

TEST(ItemText, ComparesOrdersAndHashesAsItsWxString)
{
    const std::vector<wxString> texts = SampleTexts();
    for (const wxString& a : texts)
        for (const wxString& b : texts) {
            SCOPED_TRACE(a.utf8_string() + " | " + b.utf8_string());
            const CItemText ta(a), tb(b);
            const int expected = a.Cmp(b) < 0 ? -1 : (a.Cmp(b) > 0 ? 1 : 0);
            EXPECT_EQ(ta.Cmp(tb), expected);
            EXPECT_EQ(ta.Cmp(b), expected);
            EXPECT_EQ(ta == tb, a == b);
            EXPECT_EQ(ta == b, a == b);
            EXPECT_EQ(a == tb, a == b);
            EXPECT_EQ(ta != b, a != b);
            EXPECT_EQ(ta < tb, a < b);
            EXPECT_EQ(a < tb, a < b);
            EXPECT_EQ(ta >= b, a >= b);
        }
    for (const wxString& s : texts) {
        SCOPED_TRACE(s.utf8_string());
        EXPECT_EQ(CItemText(s).Hash(), CItemText::HashOf(s)) << "a lookup by wxString finds the stored text";
        EXPECT_EQ(std::hash<CItemText>()(CItemText(s)), CItemText(s).Hash());
    }
    EXPECT_TRUE(CItemText("bz2") == "bz2");
    EXPECT_TRUE(CItemText("bz2") == L"bz2");
    EXPECT_TRUE("gz" != CItemText("bz2"));
    EXPECT_FALSE(CItemText("GFS") == "gfs") << "letter case counts";
}

TEST(ItemText, CopiesShareTheirCharactersButNotTheirFate)
{
    const wxString longText = wxS("Global GFS model, 10 m wind, 1 day forecast");
    CItemText original(longText);
    CItemText copy(original);
    EXPECT_TRUE(copy.SharesWith(original));
    EXPECT_EQ(copy.HeapBytes(), original.HeapBytes());

    copy = "changed";
    EXPECT_EQ(original, longText);
    copy += " more";
    EXPECT_EQ(copy, "changed more");

    CItemText assigned;
    assigned = original;
    assigned = assigned;   // to itself
    EXPECT_EQ(assigned, longText);
    {
        CItemText shortLived(original);
    }
    EXPECT_EQ(original, longText) << "the last copy, not the first, frees the characters";

    CItemText moved(std::move(assigned));
    EXPECT_EQ(moved, longText);
    EXPECT_TRUE(assigned.empty());

    moved.clear();
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(original, longText);

    const CItemText shortText("1.25");
    EXPECT_EQ(shortText.HeapBytes(), 0u) << "short texts live in the field itself";
}

// Copies made and dropped on several threads at once (a batch's items are
// copied off the main thread) leave the shared characters intact.
TEST(ItemText, SharedTextSurvivesCopiesOnManyThreads)
{
    const CItemText shared(wxString(wxS("a text long enough to live in a shared block")));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                CItemText a(shared);
                CItemText b;
                b = a;
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(shared, "a text long enough to live in a shared block");
    CItemText last(shared);
    EXPECT_TRUE(last.SharesWith(shared));
}

// The uses the windows and the batch code make of an item's texts.
TEST(ItemText, ReadsAsAWxString)
{
    CItemText title(wxString(wxS("GFS Wind - 1 Day")));
    const CItemText price("0.30");
    const CItemText size("135");

    auto takesString = [](const wxString& s) { return s.length(); };
    EXPECT_EQ(takesString(title), 16u);
    EXPECT_EQ("$" + price, "$0.30");
    EXPECT_EQ(size + "Kb", "135Kb");
    EXPECT_EQ(wxString(wxS("<")) + title + wxS(">"), "<GFS Wind - 1 Day>");
    wxString s = wxS("x: ");
    s += title;
    s << price;
    EXPECT_EQ(s, "x: GFS Wind - 1 Day0.30");
    EXPECT_EQ(wxString::Format("%s costs %s", title, price), "GFS Wind - 1 Day costs 0.30");
    const wxString fallback = wxS("none");
    EXPECT_EQ(true ? title : fallback, "GFS Wind - 1 Day");
    EXPECT_EQ(false ? title : wxEmptyString, "");

    EXPECT_EQ(title.Lower(), "gfs wind - 1 day");
    EXPECT_EQ(title.Find("Wind"), 4);
    EXPECT_TRUE(title.Contains("1 Day"));
    EXPECT_TRUE(title.StartsWith("GFS"));
    EXPECT_EQ(title.AfterLast(' '), "Day");
    EXPECT_EQ(title.Left(3), "GFS");
    EXPECT_EQ(title.CmpNoCase("gfs wind - 1 day"), 0);
    EXPECT_TRUE(title.IsSameAs(wxS("GFS Wind - 1 Day")));
    EXPECT_EQ(title[0], 'G');
    EXPECT_EQ(title.c_str(), "GFS Wind - 1 Day");
    EXPECT_STREQ(title.utf8_str().data(), "GFS Wind - 1 Day");
    EXPECT_STREQ(title.mb_str().data(), "GFS Wind - 1 Day");
    EXPECT_STREQ(title.fn_str().data(), "GFS Wind - 1 Day");
    EXPECT_STREQ(CItemText(wxString::FromUTF8("caf\xc3\xa9")).ToUTF8().data(), "caf\xc3\xa9");
    EXPECT_EQ(title.ToStdString(), "GFS Wind - 1 Day");
    long n = 0;
    EXPECT_TRUE(size.ToLong(&n));
    EXPECT_EQ(n, 135);
    double d = 0;
    EXPECT_TRUE(price.ToCDouble(&d));
    EXPECT_DOUBLE_EQ(d, 0.3);

    std::set<wxString> seen;
    EXPECT_TRUE(seen.insert(title).second);
    EXPECT_FALSE(seen.insert(title).second);
    std::map<wxString, int> byId;
    byId[title] = 1;
    EXPECT_EQ(byId.count(wxS("GFS Wind - 1 Day")), 1u);
    std::unordered_map<CItemText, int> byText;
    byText[title] = 2;
    EXPECT_EQ(byText.at(CItemText(wxString(wxS("GFS Wind - 1 Day")))), 2);

    std::ostringstream out;
    out << title;
    EXPECT_EQ(out.str(), "GFS Wind - 1 Day");

    title = wxString(wxS("replaced"));
    EXPECT_EQ(title, "replaced");
    title = std::string("from std");
    EXPECT_EQ(title, "from std");
    title.Empty();
    EXPECT_TRUE(title.IsEmpty());
}

TEST(ItemText, Utf8CheckRejectsWhatIsNotUtf8)
{
    const struct {
        const char* bytes;
        bool valid;
    } cases[] = {
        {"plain", true},
        {"caf\xc3\xa9", true},
        {"\xe2\x82\xac", true},
        {"\xf0\x9f\x8c\x8a", true},
        {"\xf4\x8f\xbf\xbf", true},   // U+10FFFF
        {"\xc3", false},               // cut short
        {"\xe2\x82", false},
        {"\x80", false},               // stray continuation byte
        {"\xc0\xaf", false},           // overlong
        {"\xe0\x80\xaf", false},
        {"\xed\xa0\x80", false},       // surrogate
        {"\xf4\x90\x80\x80", false},   // beyond U+10FFFF
        {"\xff", false},
        {"ok\xc3(", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(CItemText::IsValidUTF8(c.bytes, std::strlen(c.bytes)), c.valid);
    }
}

TEST(ItemTextPool, EqualTextsShareOneBlockAndShortOnesStayInPlace)
{
    CItemTextPool pool(2);
    const std::string text = "Synthetic wind field, 3 day forecast";
    const CItemText a = pool.Intern(0, text.data(), text.size());
    const CItemText b = pool.Intern(0, text.data(), text.size());
    EXPECT_TRUE(a.SharesWith(b));
    EXPECT_EQ(a, wxString(text));
    const CItemText other = pool.Intern(1, text.data(), text.size());
    EXPECT_TRUE(other.SharesWith(a)) << "equal texts share across columns too";
    const CItemText fromText = pool.Intern(0, CItemText(wxString(text)));
    EXPECT_TRUE(fromText.SharesWith(a));

    const CItemText shortOne = pool.Intern(0, "bz2", 3);
    EXPECT_TRUE(shortOne.IsInline());
    EXPECT_EQ(pool.Size(), 1u);
}

TEST(ItemTextPool, ColumnOfUniqueTextsStopsFillingThePool)
{
    CItemTextPool pool(2);
    // Column 0: every text new; column 1: a handful of texts repeated.
    for (int i = 0; i < 20000; ++i) {
        const std::string unique = "unique title number " + std::to_string(i);
        pool.Intern(0, unique.data(), unique.size());
        const std::string repeated = "repeated description " + std::to_string(i % 7);
        pool.Intern(1, repeated.data(), repeated.size());
    }
    EXPECT_LT(pool.Size(), 5000u) << "the unique column stopped after its trial";
    const std::string again = "repeated description 3";
    const CItemText x = pool.Intern(1, again.data(), again.size());
    const CItemText y = pool.Intern(1, again.data(), again.size());
    EXPECT_TRUE(x.SharesWith(y)) << "the repeating column still shares";
    const std::string late = "unique title number 19999";
    EXPECT_EQ(pool.Intern(0, late.data(), late.size()), wxString(late)) << "texts are right either way";
}
