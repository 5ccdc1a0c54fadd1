// What a screen reader learns about a control the program draws itself (a
// picture button, a generic tree or list, the map): its name and the kind of
// control it is. The desktop's accessibility layer sees such a control as an
// unnamed panel until it is told otherwise here.
//
// Where the desktop has no accessibility layer these calls do nothing and the
// readers answer empty texts.
#pragma once

#include <wx/string.h>

class wxToolBar;
class wxWindow;

namespace tw {

enum class AccessibleRole {
    PushButton,   // "push button"
    Tree,         // "tree"
    List,         // "list"
    Map,          // "canvas": a surface the user draws on with the pointer
};

// Gives the control its role and its name. For a control made of an outer
// window and an inner one that takes the keyboard focus (a list with its
// header), the inner one is named, since that is what a reader announces.
// A name given here stays, whatever tooltip the control gets later.
void SetAccessible(wxWindow* window, AccessibleRole role, const wxString& name);

// Gives the control its role; its name is its tooltip text, now and after
// every change of the tooltip, until SetAccessible names it.
void SetAccessibleFromToolTip(wxWindow* window, AccessibleRole role);

// Names every picture tool of a tool bar by its tooltip text (the short help
// given with the tool); call it once the tools are in place.
void NameToolsFromToolTips(wxToolBar* toolBar);

// What the accessibility layer tells about the control (the one
// SetAccessible names): its name, and its role as assistive programs read it
// ("push button", "tree", ...).
wxString AccessibleName(wxWindow* window);
wxString AccessibleRoleName(wxWindow* window);

} // namespace tw
