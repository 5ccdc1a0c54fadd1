// Position text: an unsigned number with two decimals and a hemisphere letter
// per coordinate, converted to and from signed decimal degrees (north and
// east positive). The numbers never depend on the user's locale.
#pragma once

#include <wx/string.h>

namespace tw {

// "%3.2f" of the absolute value and a hemisphere letter for each coordinate;
// a longitude outside -180..180 is brought into it first.
void FormatPosition(double lon, double lat, wxString& lonText, wxString& lonHemisphere, wxString& latText,
                    wxString& latHemisphere);
// Makes the longitude west when its letter is exactly "W" and the latitude
// south when its letter is exactly "S"; other letters leave the values.
void UnFormatPosition(double& lon, double& lat, const wxString& lonHemisphere, const wxString& latHemisphere);
// The same after reading the leading decimal number of each text (a text
// that does not begin with one leaves its value as it was).
void UnFormatPosition(double& lon, double& lat, const wxString& lonText, const wxString& latText,
                      const wxString& lonHemisphere, const wxString& latHemisphere);

} // namespace tw
