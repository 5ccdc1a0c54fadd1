#include "windows/common/PictureButton.h"

#include <vector>

#include <wx/dcclient.h>
#include <wx/event.h>
#include <wx/image.h>

#include "platform/Accessible.h"

wxIMPLEMENT_DYNAMIC_CLASS(wxPictureButton, wxControl);

wxPictureButton::wxPictureButton(wxWindow* parent, wxWindowID id, const wxBitmap& normal, const wxPoint& pos,
                                 const wxSize& size, long style, const wxValidator& validator, const wxString& name)
{
    Create(parent, id, normal, pos, size, style, validator, name);
}

bool wxPictureButton::Create(wxWindow* parent, wxWindowID id, const wxBitmap& normal, const wxPoint& pos,
                             const wxSize& size, long style, const wxValidator& validator, const wxString& name)
{
    if (!(style & wxBORDER_MASK))
        style |= wxBORDER_NONE;
    // Everything is painted in OnPaint: no erase with a background colour.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxControl::Create(parent, id, pos, size, style, validator, name))
        return false;
    m_faces[Face_Normal] = normal;
    SetCursor(wxCursor(wxCURSOR_HAND));

    Bind(wxEVT_PAINT, &wxPictureButton::OnPaint, this);
    Bind(wxEVT_ENTER_WINDOW, &wxPictureButton::OnEnter, this);
    Bind(wxEVT_LEAVE_WINDOW, &wxPictureButton::OnLeave, this);
    Bind(wxEVT_MOTION, &wxPictureButton::OnMotion, this);
    Bind(wxEVT_LEFT_DOWN, &wxPictureButton::OnLeftDown, this);
    // The second press of a quick double click arrives as a double click.
    Bind(wxEVT_LEFT_DCLICK, &wxPictureButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &wxPictureButton::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &wxPictureButton::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &wxPictureButton::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &wxPictureButton::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &wxPictureButton::OnFocus, this);

    SetInitialSize(size);
    // Named by its tooltip for screen readers, now and whenever it changes.
    tw::SetAccessibleFromToolTip(this, tw::AccessibleRole::PushButton);
    return true;
}

void wxPictureButton::SetAccessibleName(const wxString& name)
{
    tw::SetAccessible(this, tw::AccessibleRole::PushButton, name);
}

wxBitmap wxPictureButton::GetBitmap(Face face) const
{
    return face >= 0 && face < Face_Max ? m_faces[face] : wxNullBitmap;
}

void wxPictureButton::SetFace(Face face, const wxBitmap& bitmap)
{
    m_faces[face] = bitmap;
    if (face == Face_Normal)
    {
        m_greyed = wxNullBitmap;
        InvalidateBestSize();
    }
    Refresh();
}

void wxPictureButton::SetSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    Refresh();
}

wxPictureButton::Face wxPictureButton::GetCurrentFace() const
{
    if (!IsEnabled())
        return Face_Disabled;
    if ((m_pressed && m_hover) || m_selected)
        return Face_Pressed;
    if (m_hover)
        return Face_Current;
    if (m_faces[Face_Focus].IsOk() && HasFocus())
        return Face_Focus;
    return Face_Normal;
}

wxBitmap wxPictureButton::GetFaceBitmap() const
{
    const Face face = GetCurrentFace();
    if (m_faces[face].IsOk())
        return m_faces[face];
    if (face == Face_Disabled && m_faces[Face_Normal].IsOk())
    {
        if (!m_greyed.IsOk())
            m_greyed = wxBitmap(m_faces[Face_Normal].ConvertToImage().ConvertToGreyscale().ConvertToDisabled());
        return m_greyed;
    }
    return m_faces[Face_Normal];
}

namespace {

// A frame of 2-pixel dashes, black and white in turn, one pixel wide along
// the edge of `rect`: it shows on light and dark faces and grounds alike.
void DrawFocusFrame(wxDC& dc, const wxRect& rect)
{
    if (rect.width < 2 || rect.height < 2)
        return;
    // The frame's pixels clockwise from the top left corner.
    std::vector<wxPoint> ring;
    for (int x = rect.x; x < rect.GetRight(); ++x)
        ring.emplace_back(x, rect.y);
    for (int y = rect.y; y < rect.GetBottom(); ++y)
        ring.emplace_back(rect.GetRight(), y);
    for (int x = rect.GetRight(); x > rect.x; --x)
        ring.emplace_back(x, rect.GetBottom());
    for (int y = rect.GetBottom(); y > rect.y; --y)
        ring.emplace_back(rect.x, y);
    const wxPen pens[] = {wxPen(*wxBLACK, 1), wxPen(*wxWHITE, 1)};
    for (size_t i = 0; i < ring.size(); ++i) {
        dc.SetPen(pens[(i / 2) % 2]);
        dc.DrawPoint(ring[i]);
    }
    dc.SetPen(wxNullPen);
}

} // namespace

void wxPictureButton::DrawFace(wxDC& dc) const
{
    const wxSize client = GetClientSize();
    const wxBitmap face = GetFaceBitmap();
    if (face.IsOk()) {
        const wxSize size = face.GetSize();
        dc.DrawBitmap(face, (client.x - size.x) / 2, (client.y - size.y) / 2, true);
    }
    if (HasFocus())
        DrawFocusFrame(dc, wxRect(client));
}

wxSize wxPictureButton::DoGetBestSize() const
{
    return m_faces[Face_Normal].IsOk() ? m_faces[Face_Normal].GetSize() : wxSize(16, 16);
}

void wxPictureButton::DoEnable(bool enable)
{
    wxControl::DoEnable(enable);
    // A disabled window gets no mouse events: forget the pointer, so that the
    // button does not come back hovered or pressed.
    if (!enable)
        m_hover = m_pressed = false;
    Refresh();
}

void wxPictureButton::SetHover(bool hover)
{
    if (m_hover == hover)
        return;
    m_hover = hover;
    Refresh();
}

void wxPictureButton::Click()
{
    wxCommandEvent event(wxEVT_BUTTON, GetId());
    event.SetEventObject(this);
    // The handler may destroy this button (a window-mode change): touch no
    // member afterwards.
    HandleWindowEvent(event);
}

void wxPictureButton::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
#ifndef __WXGTK3__
    // Where child windows are not drawn over their parent's painting, give
    // the transparent corners the parent's colour. On GTK 3 the parent is
    // painted under the button and shows through them.
    if (GetParent())
    {
        dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
        dc.Clear();
    }
#endif
    DrawFace(dc);
}

void wxPictureButton::OnEnter(wxMouseEvent& event)
{
    SetHover(true);
    event.Skip();
}

void wxPictureButton::OnLeave(wxMouseEvent& event)
{
    SetHover(false);
    event.Skip();
}

void wxPictureButton::OnMotion(wxMouseEvent& event)
{
    // While the button is held the toolkit keeps sending motion here even
    // outside the button; the position tells whether the pointer is over it.
    SetHover(GetClientRect().Contains(event.GetPosition()));
    event.Skip();
}

void wxPictureButton::OnLeftDown(wxMouseEvent&)
{
    // No explicit mouse capture: GTK holds the pointer for the window the
    // button went down in until it is released, and a capture left behind
    // by a destroyed button would be worse.
    if (!IsEnabled())
        return;
    m_pressed = true;
    m_hover = true;
    Refresh();
}

void wxPictureButton::OnLeftUp(wxMouseEvent& event)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    const bool inside = GetClientRect().Contains(event.GetPosition());
    m_hover = inside;
    Refresh();
    if (inside && IsEnabled())
        Click();
}

void wxPictureButton::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    m_pressed = false;
    Refresh();
}

void wxPictureButton::OnKeyDown(wxKeyEvent& event)
{
    switch (event.GetKeyCode())
    {
    case WXK_SPACE:
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        if (IsEnabled())
        {
            Click();
            return;
        }
        break;
    default:
        break;
    }
    event.Skip();
}

void wxPictureButton::OnFocus(wxFocusEvent& event)
{
    // The focus frame comes or goes (and the focus face, when there is one).
    Refresh();
    event.Skip();
}
