// The content wizard's rules that need no window: its page chain and page
// numbers, the page strip's buttons, the start page of a run, the GPS line
// settings behind each choice, the content box and the typed home position,
// and the forecast-zone regions of the text forecasts page.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

namespace tw::wizard {

// ---------------------------------------------------------------- pages

// Places in the chain: 0 is the welcome page, 1 to 11 the pages with a
// wizard page number (the content preferences page, number 10, stands ninth).
constexpr int kChainLength = 12;

// The wizard page number of the page at a place in the chain (0 for the
// welcome page and for a place outside the chain).
int PageNumberAtPlace(int place);
// The place in the chain of the page with that wizard page number (12 is the
// GRIB weather page too); -1 for any other number.
int PlaceOfPageNumber(int pageNumber);

// Where RunFromPage starts: -1 for "not at all" (0), the place of the page
// for 1 to 12, and the welcome page (place 0) for any other number.
int StartPlace(int pageNumber);

// ---------------------------------------------------------------- page strip

// One button of the page strip, left to right.
struct StripButton {
    int place;            // 1 to 11, left to right
    int x;                // 13 + 54 * (place - 1); every button stands at y 9, 36 x 36
    int id;               // 10135 + the wizard page number
    const char* stem;     // "res/tool_<stem>.png", "_select" and "_over" faces
    const char* tooltip;
    int pageNumber;
};
constexpr int kStripButtons = 11;
constexpr int kStripButtonY = 9;
constexpr int kStripButtonSize = 36;
constexpr int kStripWidth = 601;
constexpr int kStripHeight = 54;

// The buttons in place order.
const StripButton* StripButtons();
// The button of a wizard page number (1 to 11) or of a button id; null for others.
const StripButton* StripButtonOfPage(int pageNumber);
const StripButton* StripButtonOfId(int id);

// The three faces of a button.
wxString StripFace(const StripButton& button);          // normal
wxString StripSelectFace(const StripButton& button);    // pressed, focused, disabled, selected
wxString StripOverFace(const StripButton& button);      // pointer over it

// ---------------------------------------------------------------- GPS setup

// The value field behind each choice index of the GPS setup page.
int TimeOutSecondsForIndex(int index);   // 0 -> 1, 2 -> 5, 3 -> 10, else 2
int BaudForIndex(int index);             // 0 -> 2400, 2 -> 9600, 3 -> 19200, else 4800
int DataBitsForIndex(int index);         // 0 -> 7, else 8
int StopBitsForIndex(int index);         // 0 -> 0, 2 -> 2, else 1
int ParityForIndex(int index);           // 1..4 -> 1..4, else 0

// ---------------------------------------------------------------- home location

constexpr int kMinContentBox = 1;
constexpr int kMaxContentBox = 180;

// The content box side a typed text stands for: its leading whole number
// clamped to 1..180; a text that does not begin with a number keeps
// `previous` (nothing was answered).
int ContentBoxFromText(const wxString& text, int previous);
// The message that refuses a typed content box: its leading number lies
// outside 1..180. Empty when it lies inside or the text begins with no number.
wxString ContentBoxProblem(const wxString& text);

// A typed manual position: the leading number of each text (0 when there is
// none) with the sign of its hemisphere radio (south and west make it
// negative, whatever sign was typed; north and east keep the typed sign).
struct ManualPosition {
    double lat = 0.0;
    double lon = 0.0;
    bool latOk = true;   // within -90..90
    bool lonOk = true;   // within -180..180
};
ManualPosition ReadManualPosition(const wxString& latText, const wxString& lonText, bool north, bool east);
// The message that refuses a position out of range; empty when it is in range.
wxString ManualPositionProblem(const ManualPosition& position);

// ---------------------------------------------------------------- forecast zones

// The view of a regional map the zone map opens on.
struct ZoneView {
    const char* image;        // sub-map picture ("res/...")
    double zoom;              // initial zoom, also the map's minimum zoom
    double topLat;
    double leftLon;
    double pixelsPerDegree;
    int width;
    int height;
    int centreX;
    int centreY;
};

// A region a picker code stands for: its MZones region and view.
struct ZoneRegion {
    int code;
    wxString region;
    ZoneView view;
};

// The region of a code of the coastal or offshore region picker; false for a
// code that is not in its table.
bool CoastalRegion(int code, ZoneRegion& out);
bool OffshoreRegion(int code, ZoneRegion& out);
// The high seas: region "HIGHSEAS" on the whole Pacific-centred world map.
ZoneRegion HighSeasRegion();

// The coastal zone codes never offered on a coastal map.
const wxArrayString& CoastalExcludedZones();

} // namespace tw::wizard
