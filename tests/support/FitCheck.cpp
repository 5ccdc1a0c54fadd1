#include "support/FitCheck.h"

#include <sstream>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/control.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/choice.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/window.h>

#include "support/TestSupport.h"

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
    // A scrolled window's children may use all it can scroll over.
    const wxSize room = parent->GetVirtualSize();
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

namespace {

wxRect ClientOnScreen(wxWindow* w)
{
    return wxRect(w->ClientToScreen(wxPoint(0, 0)), w->GetClientSize());
}

// The view start (in scroll units) that shows [lo, hi) in [viewLo, viewHi),
// its leading edge first when both do not fit.
int ViewStartFor(int start, int unit, int lo, int hi, int viewLo, int viewHi)
{
    if (unit <= 0)
        return start;
    int shift = 0;
    if (hi > viewHi)
        shift = hi - viewHi;
    if (lo - shift < viewLo)
        shift = lo - viewLo;
    return start + (shift >= 0 ? (shift + unit - 1) / unit : -((-shift + unit - 1) / unit));
}

std::vector<wxScrollHelper*> Scrollers(wxWindow* control)
{
    std::vector<wxScrollHelper*> out;
    for (wxWindow* w = control->GetParent(); w && !w->IsTopLevel(); w = w->GetParent())
        if (auto* scroller = dynamic_cast<wxScrollHelper*>(w))
            out.push_back(scroller);
    return out;
}

void ScrollTowards(wxWindow* control)
{
    for (wxScrollHelper* scroller : Scrollers(control)) {
        int unitX = 0, unitY = 0, startX = 0, startY = 0;
        scroller->GetScrollPixelsPerUnit(&unitX, &unitY);
        scroller->GetViewStart(&startX, &startY);
        const wxRect view = ClientOnScreen(scroller->GetTargetWindow());
        const wxRect r = control->GetScreenRect();
        scroller->Scroll(ViewStartFor(startX, unitX, r.x, r.GetRight() + 1, view.x, view.GetRight() + 1),
                         ViewStartFor(startY, unitY, r.y, r.GetBottom() + 1, view.y, view.GetBottom() + 1));
        Pump(30);
    }
}

bool Checked(wxWindow* w)
{
    if (dynamic_cast<wxControl*>(w))
        return true;
    for (wxWindow* child : w->GetChildren())
        if (child->IsShown() && !child->IsTopLevel())
            return false;
    return true;
}

void FindUnreachable(wxWindow* parent, std::vector<std::string>& out)
{
    for (wxWindow* w : parent->GetChildren()) {
        if (!w->IsShown() || w->IsTopLevel())
            continue;
        if (Checked(w)) {
            ScrollTowards(w);
            wxWindow* top = wxGetTopLevelParent(w);
            const int display = wxDisplay::GetFromWindow(top);
            wxRect visible = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
            for (wxWindow* holder = w->GetParent(); holder; holder = holder->IsTopLevel() ? nullptr : holder->GetParent())
                visible.Intersect(ClientOnScreen(holder));
            const wxRect r = w->GetScreenRect();
            if (!visible.Contains(r)) {
                std::ostringstream line;
                line << Describe(w) << ": at " << r.x << "," << r.y << " " << r.width << "x" << r.height
                     << ", seen only " << visible.x << "," << visible.y << " " << visible.width << "x"
                     << visible.height;
                out.push_back(line.str());
            }
            for (wxScrollHelper* scroller : Scrollers(w))
                scroller->Scroll(0, 0);
        }
        FindUnreachable(w, out);
    }
}

} // namespace

std::string UnreachableText(wxWindow* root)
{
    std::vector<std::string> lines;
    if (root)
        FindUnreachable(root, lines);
    std::string text;
    for (const std::string& line : lines)
        text += "\n  " + line;
    return text;
}

} // namespace tw::test
