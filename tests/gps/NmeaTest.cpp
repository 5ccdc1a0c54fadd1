// The NMEA text work of the GPS reader, without a serial line.
#include <clocale>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "FakeReceiver.h"
#include "engine/gps/Nmea.h"

using namespace tw::nmea;
using gps_test::WithChecksum;

TEST(Nmea, SentenceChoiceFollowsGllRmcGgaOrder)
{
    const struct {
        bool gll, rmc, gga;
        Sentence type;
        const char* tag;
    } cases[] = {
        {true, true, true, Sentence::GLL, "$GPGLL"},
        {true, false, true, Sentence::GLL, "$GPGLL"},
        {false, true, true, Sentence::RMC, "$GPRMC"},
        {false, true, false, Sentence::RMC, "$GPRMC"},
        {false, false, true, Sentence::GGA, "$GPGGA"},
        {false, false, false, Sentence::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.gll << c.rmc << c.gga);
        EXPECT_EQ(ChooseSentence(c.gll, c.rmc, c.gga), c.type);
        EXPECT_EQ(SentenceTag(c.type), c.tag);
    }
}

TEST(Nmea, FindsTheFirstCompleteSentenceOfTheType)
{
    const std::string rmc = WithChecksum("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    const std::string rmcBody = rmc.substr(0, rmc.size() - 1);   // up to and including the CR
    const std::string gga = WithChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    std::string badSum = rmc;
    badSum[badSum.size() - 4] = badSum[badSum.size() - 4] == '0' ? '1' : '0';

    const struct {
        const char* what;
        std::string text;
        Sentence type;
        std::string expected;
    } cases[] = {
        {"whole sentence", rmc, Sentence::RMC, rmcBody},
        {"among other talkers and sentences",
         "$GLGSV,3,1,11,03,03,111,00*74\r\n" + gga + "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\r\n" + rmc,
         Sentence::RMC, rmcBody},
        {"multi-constellation talker", "$GNRMC,1,A,4807.038,N,01131.000,E\r\n", Sentence::RMC,
         "$GNRMC,1,A,4807.038,N,01131.000,E\r"},
        {"other talker is not it", "$GLRMC,1,A,4807.038,N,01131.000,E\r\n", Sentence::RMC, ""},
        {"longer type name is not it", "$GPRMCX,1,A\r\n" + rmc, Sentence::RMC, rmcBody},
        {"no line end yet", rmc.substr(0, 30), Sentence::RMC, ""},
        {"carriage return but no line feed yet", rmcBody, Sentence::RMC, ""},
        {"only part of the tag yet", "$GPR", Sentence::RMC, ""},
        {"line end before the tag only", "junk\r\n$GPRMC,1,A", Sentence::RMC, ""},
        {"without checksum", "$GPGLL,4916.45,N,12311.12,W,225444,A\r\n", Sentence::GLL,
         "$GPGLL,4916.45,N,12311.12,W,225444,A\r"},
        {"wrong checksum passed over", badSum + rmc, Sentence::RMC, rmcBody},
        {"sentence cut short by the next one", "$GPRMC,123519,A,48" + rmc, Sentence::RMC, rmcBody},
        {"noise before and inside others",
         std::string("\xff\xfe") + std::string(1, '\0') + "\x13$GPGSA,A,3,04\xff\r\n" + rmc,
         Sentence::RMC, rmcBody},
        {"not there", gga, Sentence::RMC, ""},
        {"no type", rmc, Sentence::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FindSentence(c.text, c.type), c.expected);
    }
}

TEST(Nmea, SentenceFoundWhateverTheFragmentsAre)
{
    // The same stream delivered in every split into two reads, as a serial
    // line does: the sentence is found once the second part is there, never
    // before its line end.
    const std::string stream = "3,M,46.9,M,,*47\r\n" +
                               WithChecksum("$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
                               "$GPGSV,2,1,08,01,40,083,46*75\r\n";
    const std::string expected = FindSentence(stream, Sentence::GGA);
    ASSERT_FALSE(expected.empty());
    const size_t end = stream.find(expected) + expected.size() + 1;   // just after its line feed
    for (size_t split = 0; split <= stream.size(); ++split) {
        SCOPED_TRACE(split);
        const std::string first = stream.substr(0, split);
        EXPECT_EQ(FindSentence(first, Sentence::GGA), split >= end ? expected : "");
        EXPECT_EQ(FindSentence(first + stream.substr(split), Sentence::GGA), expected);
    }
}

TEST(Nmea, ChecksumsAreCheckedOnlyWhenPresent)
{
    const struct {
        std::string sentence;
        bool mismatch;
    } cases[] = {
        {WithChecksum("$GPGLL,4916.45,N,12311.12,W,225444,A"), false},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n", false},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A,A*5c\r", false},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A*1D\r\n", true},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A*13\r\n", true},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A*1\r\n", true},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A*XY\r\n", true},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        EXPECT_EQ(ChecksumMismatch(c.sentence), c.mismatch);
    }
}

TEST(Nmea, FieldsSplitAtUnescapedCommas)
{
    using Fields = std::vector<std::string>;
    const struct {
        std::string sentence;
        Fields fields;
    } cases[] = {
        {"$GPGLL,4916.45,N,12311.12,W*1D\r", {"$GPGLL", "4916.45", "N", "12311.12", "W"}},
        {"$GPGLL,,,,,\r", {"$GPGLL", "", "", "", "", ""}},
        {"$GPGLL,a\\,b,c\r\n", {"$GPGLL", "a,b", "c"}},
        {"$GPGLL,a\\\\,b", {"$GPGLL", "a\\", "b"}},
        {"$GPGLL,end\\", {"$GPGLL", "end\\"}},
        {"$GPGLL", {"$GPGLL"}},
        {"$GPGLL,x*", {"$GPGLL", "x"}},
        {"", {}},
        {"\r", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        EXPECT_EQ(SplitFields(c.sentence), c.fields);
    }
}

TEST(NmeaLocale, NumbersAndCoordinatesIgnoreTheLocale)
{
    const char* all = std::getenv("LC_ALL");
    if (all && std::string(all).rfind("de_DE", 0) == 0) {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
    const struct {
        const char* text;
        double value;
    } numbers[] = {
        {"07.038", 7.038}, {"31.000", 31.0}, {"12abc", 12.0}, {"-4.5x", -4.5}, {"+2", 2.0}, {".5", 0.5},
        {"5.", 5.0},       {"", 0.0},        {"abc", 0.0},    {"-", 0.0},      {".", 0.0}, {"1,5", 1.0},
        {"1.2.3", 1.2},    {" 7", 0.0},
    };
    for (const auto& n : numbers) {
        SCOPED_TRACE(n.text);
        EXPECT_DOUBLE_EQ(LeadingNumber(n.text), n.value);
    }
    // A number beyond a double's range is not read as some other number.
    for (const std::string& huge : {"1" + std::string(320, '0'), "-" + std::string(400, '9') + ".5",
                                    "44" + std::string(320, '9')}) {
        SCOPED_TRACE(huge.substr(0, 8));
        EXPECT_TRUE(std::isnan(LeadingNumber(huge)));
    }
    EXPECT_DOUBLE_EQ(LeadingNumber("0." + std::string(400, '0') + "1"), 0.0);

    const struct {
        const char* field;
        size_t degreeDigits;
        double value;
    } coordinates[] = {
        {"4807.038", 2, 48 + 7.038 / 60},
        {"01131.000", 3, 11 + 31.0 / 60},
        {"12219.3800", 3, 122 + 19.38 / 60},
        {"0000.000", 2, 0.0},
        {"48", 2, 48.0},
        {"4", 2, 4.0},
        {"", 2, 0.0},
    };
    for (const auto& c : coordinates) {
        SCOPED_TRACE(c.field);
        EXPECT_NEAR(ParseCoordinate(c.field, c.degreeDigits), c.value, 1e-12);
    }
}

TEST(Nmea, PositionsByTypeValidityAndHemisphere)
{
    const double lat = 48 + 7.038 / 60;
    const double lon = 11 + 31.0 / 60;
    const struct {
        const char* what;
        std::string sentence;
        Sentence type;
        ParseStatus status;
        double lat, lon;
    } cases[] = {
        {"RMC", WithChecksum("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"), Sentence::RMC,
         ParseStatus::Fix, lat, lon},
        {"RMC south west", "$GNRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,,,A\r", Sentence::RMC,
         ParseStatus::Fix, -lat, -lon},
        {"GLL with time and status", "$GPGLL,4807.038,N,01131.000,W,225444,A,A*1D\r", Sentence::GLL,
         ParseStatus::Fix, lat, -lon},
        {"GLL of the old short form, checksum after W", WithChecksum("$GPGLL,4807.038,S,01131.000,W"),
         Sentence::GLL, ParseStatus::Fix, -lat, -lon},
        {"GGA", WithChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), Sentence::GGA,
         ParseStatus::Fix, lat, lon},
        {"GGA without quality field", "$GNGGA,123519,4807.038,N,01131.000,E\r", Sentence::GGA, ParseStatus::Fix,
         lat, lon},
        {"lower-case hemispheres stay positive", "$GPGLL,4807.038,s,01131.000,w,225444,A\r", Sentence::GLL,
         ParseStatus::Fix, lat, lon},
        {"empty hemispheres stay positive", "$GPGLL,4807.038,,01131.000,,225444,A\r", Sentence::GLL,
         ParseStatus::Fix, lat, lon},
        {"GLL without position", "$GPGLL,,,,,225444,V,N*64\r", Sentence::GLL, ParseStatus::NoFix, 0, 0},
        {"GLL status V", "$GPGLL,4807.038,N,01131.000,E,225444,V\r", Sentence::GLL, ParseStatus::NoFix, 0, 0},
        {"GLL mode N", "$GPGLL,4807.038,N,01131.000,E,225444,A,N\r", Sentence::GLL, ParseStatus::NoFix, 0, 0},
        {"RMC status V", "$GPRMC,123519,V,4807.038,N,01131.000,E,,,230394,,\r", Sentence::RMC, ParseStatus::NoFix,
         0, 0},
        {"RMC empty longitude", "$GPRMC,123519,A,4807.038,N,,E,,,230394\r", Sentence::RMC, ParseStatus::NoFix, 0,
         0},
        {"GGA quality 0", "$GPGGA,123519,4807.038,N,01131.000,E,0,00,,,M,,M,,\r", Sentence::GGA,
         ParseStatus::NoFix, 0, 0},
        {"GGA empty", "$GPGGA,,,,,,0,00,99.99,,,,,,*48\r", Sentence::GGA, ParseStatus::NoFix, 0, 0},
        {"GLL too short", "$GPGLL,4807.038,N,01131.000\r", Sentence::GLL, ParseStatus::TooFewFields, 0, 0},
        {"RMC too short", "$GPRMC,123519,A,4807.038,N,01131.000\r", Sentence::RMC, ParseStatus::TooFewFields, 0,
         0},
        {"GGA too short", "$GPGGA,123519,4807.038,N,01131.000\r", Sentence::GGA, ParseStatus::TooFewFields, 0, 0},
        {"nothing", "", Sentence::GGA, ParseStatus::NoFields, 0, 0},
        {"minutes beyond 59", "$GPGLL,4867.000,N,01131.000,E,225444,A\r", Sentence::GLL, ParseStatus::OutOfRange,
         0, 0},
        {"latitude beyond 90", "$GPGLL,9107.038,N,01131.000,E,225444,A\r", Sentence::GLL,
         ParseStatus::OutOfRange, 0, 0},
        {"longitude beyond 180", "$GPGLL,4807.038,N,18131.000,E,225444,A\r", Sentence::GLL,
         ParseStatus::OutOfRange, 0, 0},
        {"garbled digits", "$GPGLL,-807.038,N,01131.000,E,225444,A\r", Sentence::GLL, ParseStatus::OutOfRange, 0,
         0},
        // Numbers beyond a double's range make the sentence unreadable, never
        // a position or a missing fix.
        {"latitude minutes beyond a double", "$GPGLL,44" + std::string(320, '9') + ",N,00000.000,E,225444,A\r",
         Sentence::GLL, ParseStatus::OutOfRange, 0, 0},
        {"longitude minutes beyond a double", "$GPRMC,123519,A,4807.038,N,011" + std::string(330, '3') + ",E,,,230394\r",
         Sentence::RMC, ParseStatus::OutOfRange, 0, 0},
        {"fix quality beyond a double",
         "$GPGGA,123519,4807.038,N,01131.000,E,1" + std::string(320, '0') + ",08,0.9,545.4,M,46.9,M,,\r",
         Sentence::GGA, ParseStatus::OutOfRange, 0, 0},
        {"long but ordinary quality", "$GPGGA,123519,4807.038,N,01131.000,E," + std::string(300, '0') + "1,08\r",
         Sentence::GGA, ParseStatus::Fix, lat, lon},
        {"long zero quality", "$GPGGA,123519,4807.038,N,01131.000,E," + std::string(400, '0') + ",08\r",
         Sentence::GGA, ParseStatus::NoFix, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Position p = ParsePosition(c.sentence, c.type);
        EXPECT_EQ(p.status, c.status);
        EXPECT_NEAR(p.lat, c.lat, 1e-9);
        EXPECT_NEAR(p.lon, c.lon, 1e-9);
    }
}

TEST(Nmea, ExternalSourceTimeOut)
{
    const struct {
        int secs, ms;
    } cases[] = {
        {1, 20000}, {2, 20000}, {5, 10000}, {10, 20000}, {4, 20000}, {0, 20000}, {-3, 20000}, {2000000000, 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.secs);
        EXPECT_EQ(ExternalSourceTimeoutMs(c.secs), c.ms);
    }
}
