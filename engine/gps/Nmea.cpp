#include "engine/gps/Nmea.h"

#include <climits>
#include <cmath>
#include <limits>

#include "core/Numbers.h"

namespace tw::nmea {

namespace {

struct Layout {
    std::size_t minFields;  // fields a sentence of the type must have
    std::size_t lat, ns, lon, ew;
    std::size_t status;     // "A" valid, "V" no fix (0: none)
    std::size_t mode;       // "N" not valid (0: none)
    std::size_t quality;    // fix quality, 0 no fix (0: none)
};

// Field numbers by sentence type; field 0 is the tag.
const Layout* LayoutOf(Sentence type)
{
    static const Layout gll{5, 1, 2, 3, 4, 6, 7, 0};
    static const Layout rmc{7, 3, 4, 5, 6, 2, 12, 0};
    static const Layout gga{6, 2, 3, 4, 5, 0, 0, 6};
    switch (type) {
    case Sentence::GLL: return &gll;
    case Sentence::RMC: return &rmc;
    case Sentence::GGA: return &gga;
    default: return nullptr;
    }
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return c - 'a' + 10;
}

// The sentence without its line end.
std::string WithoutLineEnd(const std::string& sentence)
{
    std::size_t end = sentence.size();
    while (end > 0 && (sentence[end - 1] == '\r' || sentence[end - 1] == '\n'))
        --end;
    return sentence.substr(0, end);
}

// Where a trailing "*h" or "*hh" checksum begins, or npos.
std::size_t ChecksumStart(const std::string& body)
{
    const std::size_t star = body.rfind('*');
    if (star == std::string::npos || body.size() - star > 3)
        return std::string::npos;
    for (std::size_t i = star + 1; i < body.size(); ++i) {
        if (!IsHex(body[i]))
            return std::string::npos;
    }
    return star;
}

bool AllDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

Sentence ChooseSentence(bool gll, bool rmc, bool gga)
{
    if (gll)
        return Sentence::GLL;
    if (rmc)
        return Sentence::RMC;
    if (gga)
        return Sentence::GGA;
    return Sentence::None;
}

const char* SentenceName(Sentence type)
{
    switch (type) {
    case Sentence::GLL: return "GLL";
    case Sentence::RMC: return "RMC";
    case Sentence::GGA: return "GGA";
    default: return "";
    }
}

std::string SentenceTag(Sentence type)
{
    if (type == Sentence::None)
        return std::string();
    return std::string("$GP") + SentenceName(type);
}

bool ChecksumMismatch(const std::string& sentence)
{
    const std::string body = WithoutLineEnd(sentence);
    const std::size_t star = body.rfind('*');
    if (star == std::string::npos)
        return false;
    // A '*' must be followed by exactly two hex digits and nothing else.
    if (body.size() != star + 3 || !IsHex(body[star + 1]) || !IsHex(body[star + 2]))
        return true;
    const std::size_t first = !body.empty() && body[0] == '$' ? 1 : 0;
    unsigned sum = 0;
    for (std::size_t i = first; i < star; ++i)
        sum ^= static_cast<unsigned char>(body[i]);
    const unsigned given = static_cast<unsigned>(HexValue(body[star + 1]) * 16 + HexValue(body[star + 2]));
    return sum != given;
}

std::string FindSentence(const std::string& text, Sentence type)
{
    if (type == Sentence::None)
        return std::string();
    const char* name = SentenceName(type);
    std::size_t pos = 0;
    while ((pos = text.find('$', pos)) != std::string::npos) {
        // "$", talker, type and the character after the tag.
        if (pos + 7 > text.size())
            return std::string();
        const char after = text[pos + 6];
        const bool tag = text[pos + 1] == 'G' && (text[pos + 2] == 'P' || text[pos + 2] == 'N') &&
                         text.compare(pos + 3, 3, name) == 0 && (after == ',' || after == '*' || after == '\r');
        if (!tag) {
            ++pos;
            continue;
        }
        const std::size_t lineEnd = text.find("\r\n", pos + 1);
        const std::size_t next = text.find('$', pos + 1);
        if (next != std::string::npos && (lineEnd == std::string::npos || next < lineEnd)) {
            pos = next;   // cut short: another sentence begins inside it
            continue;
        }
        if (lineEnd == std::string::npos)
            return std::string();
        std::string sentence = text.substr(pos, lineEnd + 1 - pos);
        if (!ChecksumMismatch(sentence))
            return sentence;
        pos = lineEnd + 2;
    }
    return std::string();
}

std::vector<std::string> SplitFields(const std::string& sentence)
{
    std::string body = WithoutLineEnd(sentence);
    const std::size_t star = ChecksumStart(body);
    if (star != std::string::npos)
        body.erase(star);

    std::vector<std::string> fields;
    if (body.empty())
        return fields;
    std::string field;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\' && i + 1 < body.size()) {
            field += body[++i];
        } else if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

double LeadingNumber(const std::string& text)
{
    // No white space before the number: a field is the number itself.
    if (text.empty() || !(text[0] == '+' || text[0] == '-' || text[0] == '.' || (text[0] >= '0' && text[0] <= '9')))
        return 0.0;
    double value = 0.0;
    switch (tw::ReadReal(text, value, nullptr, tw::RealForm::Fixed)) {
    case tw::NumberRead::Ok:
        return value;
    case tw::NumberRead::OutOfRange:
        return std::numeric_limits<double>::quiet_NaN();
    case tw::NumberRead::None:
    default:
        return 0.0;
    }
}

double ParseCoordinate(const std::string& field, std::size_t degreeDigits)
{
    const std::string degrees = field.substr(0, degreeDigits);
    const std::string minutes = field.size() > degreeDigits ? field.substr(degreeDigits) : std::string();
    return LeadingNumber(degrees) + LeadingNumber(minutes) / 60.0;
}

Position ParsePosition(const std::string& sentence, Sentence type)
{
    Position result;
    const std::vector<std::string> fields = SplitFields(sentence);
    if (fields.empty()) {
        result.status = ParseStatus::NoFields;
        return result;
    }
    const Layout* layout = LayoutOf(type);
    if (!layout || fields.size() < layout->minFields) {
        result.status = ParseStatus::TooFewFields;
        return result;
    }
    auto field = [&](std::size_t index) -> const std::string& {
        static const std::string none;
        return index != 0 && index < fields.size() ? fields[index] : none;
    };

    // A receiver without a fix still sends its sentences, with empty
    // position fields and the status, mode or quality saying so.
    const std::string& latField = field(layout->lat);
    const std::string& lonField = field(layout->lon);
    const bool qualityGiven = AllDigits(field(layout->quality));
    const double quality = qualityGiven ? LeadingNumber(field(layout->quality)) : 1.0;
    if (std::isnan(quality)) {
        result.status = ParseStatus::OutOfRange;
        return result;
    }
    if (latField.empty() || lonField.empty() || field(layout->status) == "V" || field(layout->mode) == "N" ||
        quality == 0.0) {
        result.status = ParseStatus::NoFix;
        return result;
    }

    const double latMinutes = latField.size() > 2 ? LeadingNumber(latField.substr(2)) : 0.0;
    const double lonMinutes = lonField.size() > 3 ? LeadingNumber(lonField.substr(3)) : 0.0;
    result.lat = ParseCoordinate(latField, 2);
    result.lon = ParseCoordinate(lonField, 3);
    if (!std::isfinite(result.lat) || !std::isfinite(result.lon) || result.lat < 0.0 || result.lat > 90.0 ||
        result.lon < 0.0 || result.lon > 180.0 || latMinutes < 0.0 || latMinutes >= 60.0 || lonMinutes < 0.0 ||
        lonMinutes >= 60.0) {
        result.lat = result.lon = 0.0;
        result.status = ParseStatus::OutOfRange;
        return result;
    }
    if (field(layout->ns) == "S")
        result.lat = -result.lat;
    if (field(layout->ew) == "W")
        result.lon = -result.lon;
    result.status = ParseStatus::Fix;
    return result;
}

int ExternalSourceTimeoutMs(int timeOutSecs)
{
    const long long ms = static_cast<long long>(timeOutSecs) * 2000;
    if (ms < 10000)
        return 20000;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

} // namespace tw::nmea
