// A button that is nothing but its picture. The toolkit's bitmap button draws
// a theme frame and a hover highlight around the picture on GTK; this one
// paints only its face, so a face with transparent corners sits cleanly on
// whatever its parent paints (a colour or a background picture).
//
// Faces, as the toolkit's bitmap button names them:
//   normal    SetBitmap / SetBitmapLabel
//   current   SetBitmapCurrent: while the pointer is over the button
//   pressed   SetBitmapPressed: while the left button is held down over it,
//             and while the button is marked selected (SetSelected)
//   focus     SetBitmapFocus: while it has the keyboard focus (none by default)
//   disabled  SetBitmapDisabled; without one, a greyed copy of the normal face
// A face that was not given shows the normal face. The order of precedence is
// disabled, pressed (held over the button), selected, current, focus, normal.
//
// A click (press and release both over the button, while enabled) or Space or
// Return while it has the focus sends wxEVT_BUTTON with the button's id. The
// pointer over it is a hand; tooltips work as on any window. The best size is
// the normal face's size.
//
// The button takes the keyboard focus (Tab reaches it) and, while it has it,
// shows a dashed black and white frame along its edge over whatever face it
// shows. Screen readers see it as a push button named by its tooltip text, or
// by the name given with SetAccessibleName when it has no tooltip.
#pragma once

#include <wx/bitmap.h>
#include <wx/control.h>

class wxDC;

class wxPictureButton : public wxControl
{
public:
    enum Face { Face_Normal, Face_Current, Face_Pressed, Face_Focus, Face_Disabled, Face_Max };

    wxPictureButton() = default;
    wxPictureButton(wxWindow* parent, wxWindowID id, const wxBitmap& normal, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = wxBORDER_NONE,
                    const wxValidator& validator = wxDefaultValidator, const wxString& name = wxS("pictureButton"));
    bool Create(wxWindow* parent, wxWindowID id, const wxBitmap& normal, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxBORDER_NONE,
                const wxValidator& validator = wxDefaultValidator, const wxString& name = wxS("pictureButton"));

    void SetBitmap(const wxBitmap& bitmap) { SetFace(Face_Normal, bitmap); }
    void SetBitmapLabel(const wxBitmap& bitmap) { SetFace(Face_Normal, bitmap); }
    void SetBitmapCurrent(const wxBitmap& bitmap) { SetFace(Face_Current, bitmap); }
    void SetBitmapPressed(const wxBitmap& bitmap) { SetFace(Face_Pressed, bitmap); }
    void SetBitmapFocus(const wxBitmap& bitmap) { SetFace(Face_Focus, bitmap); }
    void SetBitmapDisabled(const wxBitmap& bitmap) { SetFace(Face_Disabled, bitmap); }
    // The face as it was given (invalid when it was not).
    wxBitmap GetBitmap(Face face) const;
    wxBitmap GetBitmapLabel() const { return m_faces[Face_Normal]; }

    // The name screen readers announce, in place of the tooltip text.
    void SetAccessibleName(const wxString& name);

    // A selected button shows its pressed face until it is deselected (the
    // page strip marks the page shown this way).
    void SetSelected(bool selected = true);
    bool IsSelected() const { return m_selected; }

    // The state shown now, and the picture that state shows after the
    // fall-backs above; DrawFace paints that picture centred in the button,
    // and the focus frame over it while the button has the keyboard focus.
    Face GetCurrentFace() const;
    wxBitmap GetFaceBitmap() const;
    void DrawFace(wxDC& dc) const;

protected:
    wxSize DoGetBestSize() const override;
    void DoEnable(bool enable) override;

private:
    void SetFace(Face face, const wxBitmap& bitmap);
    void SetHover(bool hover);
    void Click();

    void OnPaint(wxPaintEvent& event);
    void OnEnter(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);

    wxBitmap m_faces[Face_Max];
    mutable wxBitmap m_greyed;   // greyed copy of the normal face, made when first needed
    bool m_hover = false;        // the pointer is over the button
    bool m_pressed = false;      // the left button went down on the button and is still held
    bool m_selected = false;

    wxDECLARE_DYNAMIC_CLASS_NO_COPY(wxPictureButton);
};
