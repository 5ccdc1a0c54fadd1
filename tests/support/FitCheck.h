// Whether every text a window shows has the room its font needs: each
// label, check box, radio button, button, choice and group box measured
// afresh in the font it shows now (not the size the toolkit remembered when
// the window was laid out) against the size it was given, and against its
// parent's client area (all of it a scrolled parent can show). And whether
// every control can be brought into sight: inside the windows that hold it
// and the screen, scrolled to where it is.
#pragma once

#include <string>
#include <vector>

class wxWindow;

namespace tw::test {

// One control as measured: its rectangle in its parent's client area, the
// size its text needs, and the size of the parent's client area.
struct ControlFit {
    std::string what;   // class and text, for the failure message
    int x = 0, y = 0, width = 0, height = 0;
    int bestWidth = 0, bestHeight = 0;
    int parentWidth = 0, parentHeight = 0;
};

// The controls that show less than their whole text: narrower or lower than
// they need, or reaching past their parent's edges. One line each, naming
// the control and what is missing; empty when all fit.
std::vector<std::string> Clipped(const std::vector<ControlFit>& controls);

// Every shown text control under `root` (group boxes looked into), measured.
std::vector<ControlFit> MeasureTextControls(wxWindow* root);

// Clipped(MeasureTextControls(root)), joined into one text for a failure
// message; empty when all fit.
std::string ClippedText(wxWindow* root);

// The shown controls under `root` that a user cannot see whole however the
// windows holding them are scrolled: each scrolling window between a control
// and its top-level window is scrolled towards the control (as far as it
// goes), and the control must then lie inside the client areas of all the
// windows holding it and inside the screen's work area. One line each,
// joined into one text; empty when every control can be seen. Leaves the
// windows scrolled back to their start.
std::string UnreachableText(wxWindow* root);

} // namespace tw::test
