// The batch properties dialog's rules that need no window: its caption, the
// width box's entries, the after-download actions of its radio buttons, the
// area fields' texts and how typed values are read back, the combined GRIB
// file's name and a new batch's download folder.
#pragma once

#include <wx/string.h>

namespace tw {

// The area widths in degrees that the width box offers, in list order; entry
// i of the box shows WidthValuesDD[i] with three digits ("010").
constexpr int kWidthEntryCount = 11;
extern const int WidthValuesDD[kWidthEntryCount];
wxString WidthEntryText(int index);
// The entry whose value equals `width` exactly, or -1.
int WidthEntryOf(float width);
// A width that matches no entry, as the box shows it ("%.1f").
wxString WidthText(float width);
// The width a text of the box gives: the number it starts with, 0 when none.
float ReadWidth(const wxString& text);

// "New Batch" for a new batch; for an existing one "Data Management" for the
// Wizard batch (id 2), else "Batch Properties".
wxString BatchDialogCaption(bool isNew, int id);

// The after-download action codes of the five radio buttons, in the order of
// their ids ("Don't run", the hidden image-viewer action, "Run selected",
// "Run file associated", "Run the chart viewer").
constexpr int kActionRadioCount = 5;
extern const int kActionCodes[kActionRadioCount];
// The radio (0..4) of an action code, or -1 for a code no radio shows.
int ActionRadioOf(int runstat);
// Whether the application and its arguments can be chosen for a code.
inline bool ActionTakesApplication(int runstat) { return runstat == 3; }

// A stored coordinate as the dialog shows it: six decimals of its absolute
// value (the float widened to double) and whether it lies in the second
// hemisphere (south, west).
struct CoordinateField {
    wxString text;
    bool second = false;
};
CoordinateField ShowCoordinate(float value);

// A typed coordinate: the absolute value of the number the text starts with
// (0 when none), negative when the second hemisphere is chosen. False, with
// `value` untouched, when that value lies beyond `limit` (90 for a latitude,
// 180 for a longitude).
bool ReadCoordinate(const wxString& text, bool secondHemisphere, double limit, float& value);
constexpr double kLatitudeLimit = 90.0;
constexpr double kLongitudeLimit = 180.0;

// The combined GRIB file for a picked path: empty when the path names no
// file; a ".grb" extension (any letter case) is kept, any other extension
// gets ".grb" appended, a name without one gets ".grb".
wxString CombinedGribPath(const wxString& picked);

// The download folder of a new batch: one folder named after the title (see
// CInit::SafeFolderComponent; `id` names it when the title gives no usable
// name) inside `base`.
wxString NewBatchFolder(const wxString& base, const wxString& title, long id);

} // namespace tw
