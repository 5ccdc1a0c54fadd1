// The US region picker: a fixed picture of the US coastal or offshore forecast
// regions. Releasing the mouse button over a region ends the dialog with the
// region's code (1 to 13, one code space for both faces); "Return to Wizard"
// and the close box end it with wxID_CANCEL.
//
// Use (one face per dialog, then modal once):
//     auto* dialog = new USZonesDialog(parent);
//     dialog->InitCoastalZones();          // or InitOffshoreZones()
//     const int code = dialog->ShowModal();
//     dialog->Destroy();
//     if (code != wxID_CANCEL) ...          // a region code
#pragma once

#include <vector>

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/string.h>

class wxMouseEvent;
class wxPaintEvent;
class wxPanel;

namespace tw::zones {
struct RegionShape;
}

enum {
    ID_USZONESDIALOG = 10325,
    ID_USZONES_PANEL = 10326,
    ID_USZONES_RETURN = 10327
};

// One clickable region of the picture.
struct USArea {
    wxString name;   // kept with the region, not shown
    int code = 0;    // the modal result for a click on it
    const tw::zones::RegionShape* shape = nullptr;   // clickable outline
};
using USAreaObjArray = std::vector<USArea>;

class USZonesDialog : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(USZonesDialog);

public:
    static const char* const kCoastalPicture;    // "res/coastal_level1.png"
    static const char* const kOffshorePicture;   // "res/offshore_zones.png"

    USZonesDialog();
    USZonesDialog(wxWindow* parent, wxWindowID id = ID_USZONESDIALOG, const wxString& caption = _("USZonesDialog"),
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(580, 500),
                  long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    ~USZonesDialog() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_USZONESDIALOG, const wxString& caption = _("USZonesDialog"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(580, 500),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    void Init();
    void CreateControls();

    // Load the face's picture and append its regions in table order.
    void InitCoastalZones();
    void InitOffshoreZones();

    static bool ShowToolTips() { return true; }
    wxBitmap GetBitmapResource(const wxString&) { return wxNullBitmap; }
    wxIcon GetIconResource(const wxString&) { return wxNullIcon; }

    const USAreaObjArray& GetAreas() const { return m_areas; }
    wxPanel* GetImagePanel() const { return m_imagePanel; }
    // The code of the first region that holds the picture pixel (x, y), or
    // -1 when none does.
    int RegionCodeAt(int x, int y) const;
    // Whether the pointer was over a region at the last motion over the picture.
    bool IsPointerOverArea() const { return m_pointerOverArea; }

private:
    void LoadFace(const char* picture, const std::vector<tw::zones::RegionShape>& regions);
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCancelClick(wxCommandEvent& event);

    wxPanel* m_imagePanel = nullptr;
    wxImage m_image;
    USAreaObjArray m_areas;
    wxBitmap m_bitmap;   // made from m_image at the first paint after a load
    bool m_pointerOverArea = false;

    wxDECLARE_EVENT_TABLE();
};
