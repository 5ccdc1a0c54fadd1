#include "support/FitCheck.h"

#include <sstream>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/window.h>

namespace tw::test {

std::vector<std::string> Clipped(const std::vector<ControlFit>& controls)
{
    std::vector<std::string> out;
    for (const ControlFit& c : controls) {
        std::ostringstream line;
        if (c.width < c.bestWidth)
            line << " " << c.bestWidth - c.width << " px too narrow (" << c.width << " of " << c.bestWidth << ")";
        if (c.height < c.bestHeight)
            line << " " << c.bestHeight - c.height << " px too low (" << c.height << " of " << c.bestHeight << ")";
        if (c.x < 0 || c.y < 0 || c.x + c.width > c.parentWidth || c.y + c.height > c.parentHeight)
            line << " reaches out of its parent (" << c.x << "," << c.y << " " << c.width << "x" << c.height
                 << " in " << c.parentWidth << "x" << c.parentHeight << ")";
        if (!line.str().empty())
            out.push_back(c.what + ":" + line.str());
    }
    return out;
}

namespace {

bool ShowsText(wxWindow* w)
{
    return dynamic_cast<wxStaticText*>(w) || dynamic_cast<wxCheckBox*>(w) || dynamic_cast<wxRadioButton*>(w)
           || dynamic_cast<wxButton*>(w) || dynamic_cast<wxChoice*>(w) || dynamic_cast<wxRadioBox*>(w)
           || dynamic_cast<wxStaticBox*>(w);
}

std::string Describe(wxWindow* w)
{
    wxString text = w->GetLabel();
    if (auto* choice = dynamic_cast<wxChoice*>(w))
        text = choice->GetStringSelection();
    return wxString(w->GetClassInfo()->GetClassName()).utf8_string() + " '" + text.utf8_string() + "'";
}

void Measure(wxWindow* parent, std::vector<ControlFit>& out)
{
    const wxSize room = parent->GetClientSize();
    for (wxWindow* w : parent->GetChildren()) {
        if (!w->IsShown() || w->IsTopLevel())
            continue;
        if (ShowsText(w)) {
            // Measured afresh: the remembered best size may be from before
            // the control got the font it shows.
            w->InvalidateBestSize();
            const wxSize best = w->GetBestSize();
            const wxRect r = w->GetRect();
            ControlFit fit;
            fit.what = Describe(w);
            fit.x = r.x;
            fit.y = r.y;
            fit.width = r.width;
            fit.height = r.height;
            fit.bestWidth = best.x;
            fit.bestHeight = best.y;
            fit.parentWidth = room.x;
            fit.parentHeight = room.y;
            out.push_back(fit);
        }
        if (!dynamic_cast<wxRadioBox*>(w))
            Measure(w, out);
    }
}

} // namespace

std::vector<ControlFit> MeasureTextControls(wxWindow* root)
{
    std::vector<ControlFit> out;
    if (root)
        Measure(root, out);
    return out;
}

std::string ClippedText(wxWindow* root)
{
    std::string text;
    for (const std::string& line : Clipped(MeasureTextControls(root)))
        text += "\n  " + line;
    return text;
}

} // namespace tw::test
