// The catalogue's text codec: the two tables are one permutation and its
// inverse, LIKE patterns built from encoded text select exactly the rows the
// plain pattern would, and the LIKE escaping is applied in the right order.
#include <gtest/gtest.h>

#include <wx/wxsqlite3.h>

#include <cctype>
#include <set>
#include <vector>

#include "core/StringHelpers.h"

namespace {

bool IsAsciiLetter(wchar_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

wchar_t SwapCase(wchar_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 'a';
    return c;
}

// The plain character whose encoded form is `encoded`.
wxString PlainFor(wchar_t encoded)
{
    return wxString(CDbTextEncoder::DecodeChar(wxUniChar(encoded)));
}

TEST(DbTextEncoderTables, AreAPermutationAndItsInverse)
{
    std::set<wchar_t> images;
    for (int c = 32; c <= 127; ++c)
    {
        const wchar_t e = g_arEncoder[c - 32];
        ASSERT_GE(e, 32) << "code " << c;
        ASSERT_LE(e, 127) << "code " << c;
        images.insert(e);
        EXPECT_EQ(g_arDecoder[e - 32], static_cast<wchar_t>(c)) << "code " << c;
        EXPECT_EQ(g_arEncoder[g_arDecoder[c - 32] - 32], static_cast<wchar_t>(c)) << "code " << c;
    }
    EXPECT_EQ(images.size(), 96u);
}

TEST(DbTextEncoderTables, KeepLikeMatchingIntact)
{
    for (int c = 32; c <= 127; ++c)
    {
        const wchar_t e = g_arEncoder[c - 32];
        // Letters stay letters and the two cases of a letter stay one pair,
        // so LIKE's case folding pairs the same characters before and after.
        EXPECT_EQ(IsAsciiLetter(static_cast<wchar_t>(c)), IsAsciiLetter(e)) << "code " << c;
        if (IsAsciiLetter(static_cast<wchar_t>(c)))
        {
            EXPECT_EQ(g_arEncoder[SwapCase(static_cast<wchar_t>(c)) - 32], SwapCase(e)) << "code " << c;
        }
        // Only DEL and the backtick, which never occur in server names,
        // become LIKE wildcards.
        if (e == '%')
        {
            EXPECT_EQ(c, 127);
        }
        if (e == '_')
        {
            EXPECT_EQ(c, '`');
        }
        EXPECT_NE(static_cast<wchar_t>(c), e) << "code " << c << " is left as it is";
    }
}

TEST(DbTextEncoder, RoundTripsAnyText)
{
    const std::vector<wxString> texts = {
        wxString(),
        "grib/global=>avnwind.7day.grb",
        "race/notices/Straits Regatta Notice.txt",
        "bz2",
        "It's 100% _done_ \\ `now`",
        wxString::FromUTF8("Kattegat \xc3\xa5 \xe2\x82\xac tab\there"), // characters above 127 and below 32
        wxString(wxUniChar(127)) + "~{}|",
    };
    for (const wxString& t : texts)
    {
        const wxString enc = CDbTextEncoder::encode_db_string(t, false);
        EXPECT_EQ(enc.length(), t.length());
        wxString back = enc;
        CDbTextEncoder::decode_db_string(back, false);
        EXPECT_EQ(back, t) << t;

        // Escaped for LIKE and unescaped again gives the same text.
        wxString viaLike = CDbTextEncoder::encode_db_string(t, true);
        CDbTextEncoder::decode_db_string(viaLike, true);
        EXPECT_EQ(viaLike, t) << t;
    }
    // Characters outside 32..127 pass through both ways untouched.
    const wxString outside = wxString::FromUTF8("\xc3\xa9\t\xe2\x82\xac");
    EXPECT_EQ(CDbTextEncoder::encode_db_string(outside, false), outside);
}

TEST(DbTextEncoder, EscapesForLikeInOrder)
{
    struct Case {
        wxString encoded;  // the text after substitution
        wxString escaped;  // what the LIKE escaping makes of it
    };
    const std::vector<Case> cases = {
        {"\\", "\\\\"},
        {"%", "\\%"},
        {"_", "\\_"},
        {"'", "''"},
        // The backslash added before a percent sign is not doubled again.
        {"\\%", "\\\\\\%"},
        {"a''b", "a''''b"},
        {"plain", "plain"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(CDbTextEncoder::EscapeForLike(c.encoded), c.escaped) << c.encoded;
        EXPECT_EQ(CDbTextEncoder::UnescapeForLike(c.escaped), c.encoded) << c.escaped;

        // The same through encode_db_string: the plain text whose encoded
        // form is c.encoded comes out escaped.
        wxString plain;
        for (wxUniChar ch : c.encoded)
            plain += PlainFor(ch.GetValue());
        EXPECT_EQ(CDbTextEncoder::encode_db_string(plain, true), c.escaped) << c.encoded;
        EXPECT_EQ(CDbTextEncoder::encode_db_string(plain, false), c.encoded);
    }
}

// Stores texts encoded and searches them with encoded, escaped LIKE patterns
// the way the suggestion engine does; the rows found must be exactly those
// whose plain text contains the plain pattern, ignoring ASCII case.
TEST(DbTextEncoder, EncodedLikeFindsWhatPlainTextContains)
{
    wxSQLite3Database db;
    db.Open(":memory:");
    db.ExecuteUpdate("CREATE TABLE t (id INTEGER PRIMARY KEY, path TEXT)");
    const std::vector<wxString> stored = {
        "grib/global=>avnwind.7day.grb",
        "grib/global=>avnwind.1day.grb",
        "grib/global/avnprmsl.7day.grb",
        "grib/navy=>surfwind.7day.grb",
        "grib/ww3=>wind.7day.grb",
        "grib/ww3eu=>bwxeuwind.7day.grb",
        "grib/regional=>fxmed25wind.3day.grb",
        "grib/regional=>fxmedwind.3day.grb",
        "GRIB/GLOBAL=>AVNWIND.7DAY.GRB",
        "odd/50%_off 'quoted' back\\slash",
        "odd/50x off",
        "odd/5",
    };
    for (size_t i = 0; i < stored.size(); ++i)
    {
        wxSQLite3Statement st = db.PrepareStatement("INSERT INTO t (id, path) VALUES (?, ?)");
        st.Bind(1, static_cast<int>(i));
        st.Bind(2, CDbTextEncoder::encode_db_string(stored[i], false));
        st.ExecuteUpdate();
    }
    const std::vector<wxString> patterns = {
        "=>avnwind.7day", "avnprmsl.", "=>wind.7day", "=>bwxeuwind.7day", "=>fxmedwind.3day",
        "=>fxmed25wind.3day", "50%_off", "0%", "_", "'quoted'", "back\\slash", "x off", "AvNwInD",
    };
    for (const wxString& p : patterns)
    {
        std::set<int> expected;
        for (size_t i = 0; i < stored.size(); ++i)
            if (stored[i].Lower().Contains(p.Lower()))
                expected.insert(static_cast<int>(i));

        std::set<int> found;
        const wxString sql =
            "SELECT id FROM t WHERE (path LIKE '%" + CDbTextEncoder::encode_db_string(p, true) + "%' ESCAPE '\\')";
        wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
        while (rs.NextRow())
            found.insert(rs.GetInt(0));
        EXPECT_EQ(found, expected) << "pattern " << p;
    }
}

} // namespace
