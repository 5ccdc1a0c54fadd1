// The numbers module's one contract: what counts as a number, sign and
// out-of-range rules, leading and whole-text reads, and C-locale writing.
// The suites run again under a comma-decimal locale.
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "core/Numbers.h"

using tw::NumberRead;

namespace {

void ExpectCommaLocaleWhenAsked()
{
    const char* all = std::getenv("LC_ALL");
    if (all && std::string(all).rfind("de_DE", 0) == 0) {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
}

const char* Name(NumberRead r)
{
    switch (r) {
    case NumberRead::None: return "None";
    case NumberRead::Ok: return "Ok";
    case NumberRead::OutOfRange: return "OutOfRange";
    }
    return "?";
}

} // namespace

TEST(NumbersLocale, ReadInteger)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        const char* text;
        NumberRead result;
        long long value;   // when not None
        size_t end;
    } cases[] = {
        {"12", NumberRead::Ok, 12, 2},
        {"  -3x", NumberRead::Ok, -3, 4},
        {"+4", NumberRead::Ok, 4, 2},
        {"\t\n 8 9", NumberRead::Ok, 8, 4},
        {"007", NumberRead::Ok, 7, 3},
        {"12.9", NumberRead::Ok, 12, 2},                 // a point ends an integer
        {"1,234", NumberRead::Ok, 1, 1},                 // no digit groups
        {"", NumberRead::None, 0, 0},
        {"   ", NumberRead::None, 0, 0},
        {"-", NumberRead::None, 0, 0},
        {"+-5", NumberRead::None, 0, 0},                 // one sign only
        {"x1", NumberRead::None, 0, 0},
        {"0x10", NumberRead::Ok, 0, 1},                  // no hexadecimal
        {"9223372036854775807", NumberRead::Ok, LLONG_MAX, 19},
        {"-9223372036854775808", NumberRead::Ok, LLONG_MIN, 20},
        {"9223372036854775808", NumberRead::OutOfRange, LLONG_MAX, 19},
        {"-9223372036854775809", NumberRead::OutOfRange, LLONG_MIN, 20},
        {"99999999999999999999999 rest", NumberRead::OutOfRange, LLONG_MAX, 23},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        long long value = 42;
        size_t end = 99;
        const NumberRead r = tw::ReadInteger(c.text, value, &end);
        EXPECT_STREQ(Name(r), Name(c.result));
        EXPECT_EQ(value, r == NumberRead::None ? 42 : c.value);
        EXPECT_EQ(end, c.end);
    }
}

TEST(NumbersLocale, ReadReal)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        const char* text;
        NumberRead result;
        double value;
        size_t end;
    } cases[] = {
        {"1.5", NumberRead::Ok, 1.5, 3},
        {" -0.25xyz", NumberRead::Ok, -0.25, 6},
        {".5", NumberRead::Ok, 0.5, 2},
        {"5.", NumberRead::Ok, 5.0, 2},
        {"+2e3", NumberRead::Ok, 2000.0, 4},
        {"1.9E-1", NumberRead::Ok, 0.19, 6},
        {"3e", NumberRead::Ok, 3.0, 1},                  // an exponent needs digits
        {"3e+x", NumberRead::Ok, 3.0, 1},
        {"3,5", NumberRead::Ok, 3.0, 1},                 // '.' is the decimal point everywhere
        {"12.5 deg", NumberRead::Ok, 12.5, 4},
        {".", NumberRead::None, 0, 0},
        {"-", NumberRead::None, 0, 0},
        {"", NumberRead::None, 0, 0},
        {"inf", NumberRead::None, 0, 0},
        {"nan", NumberRead::None, 0, 0},
        {"-infinity", NumberRead::None, 0, 0},
        {"1e999", NumberRead::OutOfRange, DBL_MAX, 5},
        {"-1e999", NumberRead::OutOfRange, -DBL_MAX, 6},
        {"1e-999", NumberRead::Ok, 0.0, 6},              // too small to tell from 0
        {"0.0001e-400", NumberRead::Ok, 0.0, 11},
        {"0e99999999999999999999", NumberRead::Ok, 0.0, 22},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double value = 42.0;
        size_t end = 99;
        const NumberRead r = tw::ReadReal(c.text, value, &end);
        EXPECT_STREQ(Name(r), Name(c.result));
        EXPECT_DOUBLE_EQ(value, r == NumberRead::None ? 42.0 : c.value);
        EXPECT_EQ(end, c.end);
    }
    const std::string nines(400, '9');
    double value = 0;
    EXPECT_EQ(tw::ReadReal(nines, value), NumberRead::OutOfRange);
    EXPECT_EQ(value, DBL_MAX);

    // The fixed form has no exponent.
    size_t end = 0;
    EXPECT_EQ(tw::ReadReal("-12.5e3junk", value, &end, tw::RealForm::Fixed), NumberRead::Ok);
    EXPECT_DOUBLE_EQ(value, -12.5);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(tw::ReadReal(nines + ".5", value, &end, tw::RealForm::Fixed), NumberRead::OutOfRange);
    EXPECT_DOUBLE_EQ(tw::LeadingDouble("2e2"), 200.0);
    double fixed = 0;
    EXPECT_TRUE(tw::LeadingDouble("2e2", fixed, tw::RealForm::Fixed));
    EXPECT_DOUBLE_EQ(fixed, 2.0);
}

// Leading reads take what the text starts with: integers clamp to their
// type, a real out of range is no number; a text without a number leaves
// the value alone (or gives 0).
TEST(NumbersLocale, LeadingReads)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        const char* text;
        bool found;
        int asInt;
        long asLong;
        bool realFound;
        double asDouble;
    } cases[] = {
        {"45 s", true, 45, 45, true, 45.0},
        {"  -7.9", true, -7, -7, true, -7.9},
        {"99999999999", true, INT_MAX, 99999999999L, true, 99999999999.0},
        {"-99999999999", true, INT_MIN, -99999999999L, true, -99999999999.0},
        {"99999999999999999999", true, INT_MAX, LONG_MAX, true, 1e20},
        {"1e999", true, 1, 1, false, 0},
        {"abc", false, 0, 0, false, 0},
        {"", false, 0, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int i = -5;
        long l = -5;
        double d = -5.0;
        EXPECT_EQ(tw::LeadingInt(c.text, i), c.found);
        EXPECT_EQ(tw::LeadingLong(c.text, l), c.found);
        EXPECT_EQ(tw::LeadingDouble(c.text, d), c.realFound);
        EXPECT_EQ(i, c.found ? c.asInt : -5);
        EXPECT_EQ(l, c.found ? c.asLong : -5);
        EXPECT_DOUBLE_EQ(d, c.realFound ? c.asDouble : -5.0);
        EXPECT_EQ(tw::LeadingInt(c.text), c.found ? c.asInt : 0);
        EXPECT_EQ(tw::LeadingLong(c.text), c.found ? c.asLong : 0);
        EXPECT_DOUBLE_EQ(tw::LeadingDouble(c.text), c.realFound ? c.asDouble : 0.0);
    }
}

// Whole-text reads: blanks around the number are allowed, nothing else.
TEST(NumbersLocale, WholeTextReads)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        const char* text;
        bool isInt;
        long value;
        bool isDouble;
        double real;
    } cases[] = {
        {"42", true, 42, true, 42.0},
        {"  -42\t", true, -42, true, -42.0},
        {"+7", true, 7, true, 7.0},
        {"2.5", false, 0, true, 2.5},
        {" 1e5 ", false, 0, true, 1e5},
        {"12 x", false, 0, false, 0},
        {"12,5", false, 0, false, 0},
        {"0x10", false, 0, false, 0},
        {"", false, 0, false, 0},
        {"-", false, 0, false, 0},
        {"inf", false, 0, false, 0},
        {"9223372036854775808", false, 0, true, 9223372036854775808.0},
        {"1e999", false, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        long l = -1;
        double d = -1.0;
        EXPECT_EQ(tw::ParseLong(c.text, l), c.isInt);
        EXPECT_EQ(l, c.isInt ? c.value : -1);
        EXPECT_EQ(tw::ParseDouble(c.text, d), c.isDouble);
        EXPECT_DOUBLE_EQ(d, c.isDouble ? c.real : -1.0);
    }
    int i = -1;
    EXPECT_TRUE(tw::ParseInt("2147483647", i));
    EXPECT_EQ(i, INT_MAX);
    EXPECT_FALSE(tw::ParseInt("2147483648", i)) << "beyond int";
    EXPECT_EQ(i, INT_MAX);
}

// Texts of every kind the program holds read alike.
TEST(NumbersLocale, TextKinds)
{
    const std::string narrow = "12.5";
    EXPECT_DOUBLE_EQ(tw::LeadingDouble(narrow), 12.5);
    EXPECT_DOUBLE_EQ(tw::LeadingDouble(std::string_view(narrow).substr(1)), 2.5);
    EXPECT_DOUBLE_EQ(tw::LeadingDouble(wxString("  3.25\u00b0")), 3.25);
    EXPECT_EQ(tw::LeadingInt(wxString("\u00e97")), 0) << "a letter before the digits";
    EXPECT_DOUBLE_EQ(tw::LeadingDouble(static_cast<const char*>(nullptr)), 0.0);
}

TEST(NumbersLocale, Formatting)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        double value;
        int decimals;
        const char* fixed;
    } fixed[] = {
        {30.0, 6, "30.000000"},
        {double(-122.323f), 6, "-122.322998"},
        {-0.0000004, 6, "-0.000000"},
        {47.45f, 1, "47.5"},
        {1.005, 2, "1.00"},            // the double is a little below 1.005
        {2.5, 0, "2"},
        {1e20, 2, "100000000000000000000.00"},
        {std::numeric_limits<double>::infinity(), 2, "0.00"},
        {std::nan(""), 3, "0.000"},
        {1.5, -3, "2"},                // decimals below 0 count as 0
    };
    for (const auto& c : fixed)
        EXPECT_EQ(tw::FormatFixed(c.value, c.decimals), c.fixed) << c.value << " " << c.decimals;

    const struct {
        double value;
        const char* g;
    } general[] = {
        {0.0, "0"},
        {1.5, "1.5"},
        {-122.323, "-122.323"},
        {47.40190124511719, "47.4019"},
        {1234567.0, "1.23457e+06"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {100.0, "100"},
        {std::numeric_limits<double>::infinity(), "inf"},
    };
    for (const auto& c : general)
        EXPECT_EQ(tw::FormatG(c.value), c.g) << c.value;
}

TEST(NumbersLocale, WrittenNumbersReadBack)
{
    for (double v : {0.0, -1.5, 47.4019, -122.323, 1e-5, 123456.0, 3.14159}) {
        double back = 0;
        ASSERT_TRUE(tw::ParseDouble(tw::FormatG(v), back)) << v;
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-5) << v;
        ASSERT_TRUE(tw::ParseDouble(tw::FormatFixed(v, 6), back)) << v;
        EXPECT_NEAR(back, v, 1e-6) << v;
    }
}
