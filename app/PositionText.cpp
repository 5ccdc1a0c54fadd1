#include "app/PositionText.h"

#include <cctype>
#include <cmath>
#include <locale>
#include <sstream>
#include <string>

namespace {

// "%3.2f" of a non-negative value, always with '.' as decimal point.
wxString FormatCoordinate(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed, std::ios::floatfield);
    out.precision(2);
    out.width(3);
    out << value;
    return wxString::FromAscii(out.str().c_str());
}

// Longitudes outside -180..180 are brought into it; exactly 180 and -180 stay.
double NormaliseLongitude(double lon)
{
    if (lon > 180.0 || lon < -180.0) {
        lon = std::fmod(lon, 360.0);
        if (lon > 180.0)
            lon -= 360.0;
        else if (lon < -180.0)
            lon += 360.0;
    }
    return lon;
}

// The decimal number at the start of the text (after blanks); whatever
// follows it is ignored. Leaves *out alone when the text does not begin with
// a number or the number is out of range.
void ParseLeadingNumber(const wxString& text, double* out)
{
    const std::string s(text.utf8_str());
    size_t pos = 0;
    while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos])))
        ++pos;
    std::istringstream in(s.substr(pos));
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    if (in.fail() || !std::isfinite(value))
        return;
    *out = value;
}

} // namespace

namespace tw {

void FormatPosition(double lon, double lat, wxString& lonText, wxString& lonHemisphere, wxString& latText,
                    wxString& latHemisphere)
{
    lon = NormaliseLongitude(lon);
    lonText = FormatCoordinate(std::fabs(lon));
    lonHemisphere = lon < 0 ? "W" : "E";
    latHemisphere = lat < 0 ? "S" : "N";
    latText = FormatCoordinate(std::fabs(lat));
}

void UnFormatPosition(double& lon, double& lat, const wxString& lonHemisphere, const wxString& latHemisphere)
{
    // The letter decides the sign: a number typed with its own minus sign
    // and "W" is still west, not flipped back to east.
    if (lonHemisphere == "W")
        lon = -std::fabs(lon);
    if (latHemisphere == "S")
        lat = -std::fabs(lat);
}

void UnFormatPosition(double& lon, double& lat, const wxString& lonText, const wxString& latText,
                      const wxString& lonHemisphere, const wxString& latHemisphere)
{
    ParseLeadingNumber(lonText, &lon);
    ParseLeadingNumber(latText, &lat);
    UnFormatPosition(lon, lat, lonHemisphere, latHemisphere);
}

} // namespace tw
