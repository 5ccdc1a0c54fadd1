#include "core/PositionText.h"

#include <cmath>

#include "core/Numbers.h"

namespace tw {

namespace {

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

} // namespace

void FormatPosition(double lon, double lat, wxString& lonText, wxString& lonHemisphere, wxString& latText,
                    wxString& latHemisphere)
{
    lon = NormaliseLongitude(lon);
    lonText = FormatFixed(std::fabs(lon), 2);
    lonHemisphere = lon < 0 ? "W" : "E";
    latHemisphere = lat < 0 ? "S" : "N";
    latText = FormatFixed(std::fabs(lat), 2);
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
    LeadingDouble(lonText, lon);
    LeadingDouble(latText, lat);
    UnFormatPosition(lon, lat, lonHemisphere, latHemisphere);
}

} // namespace tw
