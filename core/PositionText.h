// Position text: an unsigned number with two decimals and a hemisphere letter
// per coordinate, converted to and from signed decimal degrees (north and
// east positive). The numbers never depend on the user's locale.
#pragma once

#include <wx/string.h>

namespace tw {

// "%3.2f" of the absolute value and "E"/"W" or "N"/"S"; longitudes outside
// -180..180 are brought into it first (exactly 180 and -180 stay).
void FormatPosition(double lon, double lat, wxString& lonText, wxString& lonHemisphere, wxString& latText,
                    wxString& latHemisphere);

// Gives the numbers the sign of their letters: "W" makes the longitude and
// "S" the latitude negative (whatever sign it had); other letters leave it.
void UnFormatPosition(double& lon, double& lat, const wxString& lonHemisphere, const wxString& latHemisphere);

// Reads the number each text starts with (a text without one, or with one
// out of range, leaves its coordinate alone), then applies the letters.
void UnFormatPosition(double& lon, double& lat, const wxString& lonText, const wxString& latText,
                      const wxString& lonHemisphere, const wxString& latHemisphere);

} // namespace tw
