#include "platform/Accessible.h"

#include <wx/toolbar.h>
#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace tw {

#ifdef __WXGTK__
namespace {

// Set on a widget whose name was given explicitly: tooltip changes leave it.
constexpr const char* kOwnName = "tidewright-accessible-own-name";
// Set once the widget follows its tooltip (the handler is connected once).
constexpr const char* kFollowsToolTip = "tidewright-accessible-follows-tooltip";

// The window that a reader announces: a control that passes the keyboard
// focus on to an inner window (the generic list to its rows) is represented
// by that inner window.
wxWindow* FocusTarget(wxWindow* window)
{
    if (window->AcceptsFocusFromKeyboard())
        for (wxWindow* child : window->GetChildren())
            if (child->AcceptsFocusFromKeyboard() && !child->IsTopLevel())
                return child;
    return window;
}

GtkWidget* WidgetOf(wxWindow* window)
{
    return window ? FocusTarget(window)->GetConnectWidget() : nullptr;
}

AtkRole ToAtk(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::PushButton:
        return ATK_ROLE_PUSH_BUTTON;
    case AccessibleRole::Tree:
        return ATK_ROLE_TREE;
    case AccessibleRole::List:
        return ATK_ROLE_LIST;
    case AccessibleRole::Map:
        return ATK_ROLE_CANVAS;
    }
    return ATK_ROLE_UNKNOWN;
}

void NameFromToolTip(GtkWidget* widget)
{
    if (g_object_get_data(G_OBJECT(widget), kOwnName))
        return;
    gchar* tip = gtk_widget_get_tooltip_text(widget);
    atk_object_set_name(gtk_widget_get_accessible(widget), tip ? tip : "");
    g_free(tip);
}

void OnToolTipChanged(GObject* widget, GParamSpec*, gpointer)
{
    NameFromToolTip(GTK_WIDGET(widget));
}

} // namespace

void SetAccessible(wxWindow* window, AccessibleRole role, const wxString& name)
{
    GtkWidget* widget = WidgetOf(window);
    if (!widget)
        return;
    g_object_set_data(G_OBJECT(widget), kOwnName, GINT_TO_POINTER(1));
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    atk_object_set_role(accessible, ToAtk(role));
    atk_object_set_name(accessible, name.utf8_str());
}

void SetAccessibleFromToolTip(wxWindow* window, AccessibleRole role)
{
    GtkWidget* widget = WidgetOf(window);
    if (!widget)
        return;
    atk_object_set_role(gtk_widget_get_accessible(widget), ToAtk(role));
    // The toolkit puts a window's tooltip on this very widget.
    if (!g_object_get_data(G_OBJECT(widget), kFollowsToolTip)) {
        g_object_set_data(G_OBJECT(widget), kFollowsToolTip, GINT_TO_POINTER(1));
        g_signal_connect(widget, "notify::tooltip-text", G_CALLBACK(OnToolTipChanged), nullptr);
    }
    NameFromToolTip(widget);
}

namespace {

GtkWidget* FindToolbar(GtkWidget* widget)
{
    if (GTK_IS_TOOLBAR(widget))
        return widget;
    GtkWidget* found = nullptr;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c && !found; c = c->next)
            found = FindToolbar(GTK_WIDGET(c->data));
        g_list_free(children);
    }
    return found;
}

} // namespace

void NameToolsFromToolTips(wxToolBar* toolBar)
{
    GtkWidget* bar = toolBar ? FindToolbar(toolBar->GetHandle()) : nullptr;
    if (!bar)
        return;
    // The tool bar's items stand in the order of its tools, separators and
    // controls included.
    const int items = gtk_toolbar_get_n_items(GTK_TOOLBAR(bar));
    for (int i = 0; i < items && i < static_cast<int>(toolBar->GetToolsCount()); ++i) {
        const wxToolBarToolBase* tool = toolBar->GetToolByPos(i);
        GtkToolItem* item = gtk_toolbar_get_nth_item(GTK_TOOLBAR(bar), i);
        if (!tool || !tool->IsButton() || !GTK_IS_TOOL_BUTTON(item) || tool->GetShortHelp().empty())
            continue;
        if (GtkWidget* button = gtk_bin_get_child(GTK_BIN(item)))
            atk_object_set_name(gtk_widget_get_accessible(button), tool->GetShortHelp().utf8_str());
    }
}

wxString AccessibleName(wxWindow* window)
{
    GtkWidget* widget = WidgetOf(window);
    if (!widget)
        return wxString();
    const char* name = atk_object_get_name(gtk_widget_get_accessible(widget));
    return name ? wxString::FromUTF8(name) : wxString();
}

wxString AccessibleRoleName(wxWindow* window)
{
    GtkWidget* widget = WidgetOf(window);
    if (!widget)
        return wxString();
    const char* name = atk_role_get_name(atk_object_get_role(gtk_widget_get_accessible(widget)));
    return name ? wxString::FromUTF8(name) : wxString();
}

#else

void SetAccessible(wxWindow*, AccessibleRole, const wxString&) {}
void SetAccessibleFromToolTip(wxWindow*, AccessibleRole) {}
void NameToolsFromToolTips(wxToolBar*) {}
wxString AccessibleName(wxWindow*) { return wxString(); }
wxString AccessibleRoleName(wxWindow*) { return wxString(); }

#endif

} // namespace tw
