// NMEA 0183 text from a GPS receiver: finding one sentence of a chosen type
// in what the serial line delivered, splitting it into fields and taking the
// position out of it. Plain C++, no toolkit: the GPS reader calls it on its
// worker thread and the tests call it directly.
//
// Text is handled as bytes (each byte one Latin-1 character); numbers are
// read without regard to the user's locale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tw::nmea {

// The three sentence types the reader understands.
enum class Sentence { None, GLL, RMC, GGA };

// The type listened for: the first chosen one in the order GLL, RMC, GGA;
// None when none is chosen.
Sentence ChooseSentence(bool gll, bool rmc, bool gga);

// "GLL", "RMC", "GGA" (empty for None).
const char* SentenceName(Sentence type);

// The tag a receiver of the single-system kind sends: "$GPGLL", "$GPRMC" or
// "$GPGGA" (empty for None). Multi-constellation receivers send the same
// sentences with the talker "GN" ("$GNRMC"); both are accepted everywhere.
std::string SentenceTag(Sentence type);

// The first complete sentence of the type in `text`: from its '$' up to and
// including the carriage return of the first "\r\n" after it, with talker GP
// or GN. A sentence that another '$' interrupts before its line end (bytes
// were lost) or whose "*hh" checksum, when present, does not match is passed
// over. Empty when no complete sentence is there yet.
std::string FindSentence(const std::string& text, Sentence type);

// Whether the sentence carries a "*hh" checksum that does not match the
// characters between '$' and '*'. Sentences without one are not wrong.
bool ChecksumMismatch(const std::string& sentence);

// Splits at commas; a backslash makes the next character part of the field
// (so "\," is a comma inside a field) and is itself dropped. Empty fields
// count as fields; field 0 is the tag. A trailing "*hh" checksum and the
// line end are not part of the last field.
std::vector<std::string> SplitFields(const std::string& sentence);

// The longest decimal number at the start of the text ([+-]digits[.digits]),
// 0 when there is none, NaN when it is beyond the range of a double (such a
// field cannot be read).
double LeadingNumber(const std::string& text);

// A ddmm.mmm (degreeDigits 2) or dddmm.mmm (degreeDigits 3) field in decimal
// degrees: the number in the first degreeDigits characters plus the number
// in the rest divided by 60.
double ParseCoordinate(const std::string& field, std::size_t degreeDigits);

enum class ParseStatus {
    Fix,           // latitude and longitude hold a position
    NoFields,      // nothing to split
    TooFewFields,  // fewer fields than the sentence type carries
    NoFix,         // empty position, status "V", mode "N" or fix quality 0
    OutOfRange     // the numbers cannot be a position
};

struct Position {
    ParseStatus status = ParseStatus::NoFields;
    double lat = 0.0;   // decimal degrees, north positive
    double lon = 0.0;   // decimal degrees, east positive
};

// Takes the position out of a sentence of the given type. The hemisphere
// fields negate the value only when they are exactly "S" or "W".
Position ParsePosition(const std::string& sentence, Sentence type);

// How long a query of a navigation program's positional packets waits before
// it reports that nothing came: twice the configured seconds, but never less
// than 10 s (shorter settings wait 20 s).
int ExternalSourceTimeoutMs(int timeOutSecs);

} // namespace tw::nmea
