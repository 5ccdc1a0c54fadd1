#include <gtest/gtest.h>

#include "core/StringHelpers.h"

TEST(ExtractEqualsToken, ValuesOfReplyTokens)
{
    const struct {
        const char* key;
        const char* line;
        bool skipBlanks;
        const char* value;
    } cases[] = {
        {"--zir=", "OK --zir=12 --mz=3", false, "12"},
        {"--zir=", "OK --mz=3", false, ""},                       // key absent
        {"--zir=", "OK --zir=", false, ""},                       // key ends the line
        {"--zir=", "OK --zir=12\t--mz=3", false, "12"},           // a tab ends the value
        {"--zir=", "OK --zir= 12", false, ""},                    // blank right after the key
        {"--mz=", "--mz=   9 more", true, "9"},
        {"--mz=", "--mz=   9 more", false, ""},
        {"--mz=", "--mz= \t ", true, ""},                         // only blanks follow
        {"--mz=", "--mz=\t7", true, "7"},
        {"--zir=", "--zir=1 --zir=2", false, "1"},                // the first occurrence counts
        {"--balance=", "status --balance=-4.50USD end", false, "-4.50USD"},
        {"--zir=", "--zirx=5 --zir=6", false, "6"},               // the whole key, "=" included
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(extract_equals_token(std::string(c.key), std::string(c.line), c.skipBlanks), c.value);
        EXPECT_EQ(extract_equals_token(wxString(c.key), wxString(c.line), c.skipBlanks), wxString(c.value));
    }
}

TEST(ExtractEqualsToken, EightBitBytesPassThrough)
{
    const std::string line = "x --zir=\xe9\xff\x01 y";
    EXPECT_EQ(extract_equals_token("--zir=", line), "\xe9\xff\x01");
}
