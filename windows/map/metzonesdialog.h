// The METAREA picker: a fixed world picture on which the user ticks the
// high-seas forecast areas (MZones rows of region 'WMA'). A click toggles
// every area under the pointer; OK stores the toggled areas' selection in
// MZones, Cancel and the close box drop it.
//
// Use (modal, on the stack):
//     MetZonesDialog dialog(parent, marineZonesDb);
//     dialog.ShowModal();   // wxID_OK once stored, wxID_CANCEL otherwise
// The selection reaches the rest of the program only through MZones.
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
class wxSQLite3Database;

namespace tw::zones {
struct MetAreaShape;
}

enum {
    ID_METZONESDIALOG = 10328,
    ID_METZONES_PANEL = 10329,
    ID_METZONES_CANCEL = 10330,
    ID_METZONES_OK = 10331
};

// One METAREA as the dialog shows it.
struct MetArea {
    wxString name;          // the numeral, label's first line
    wxString description;   // MZones.description, label's second line
    wxString zcode;         // MZones.zcode
    int x = 0;              // label anchor in picture pixels
    int y = 0;
    bool selected = false;  // toggled by clicks
    bool changed = false;   // toggled since the last store: OK writes it
    const tw::zones::MetAreaShape* shape = nullptr;   // clickable outline
    int ID = 0;             // MZones.ID
};
using MetAreaObjArray = std::vector<MetArea>;

class MetZonesDialog : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(MetZonesDialog);

public:
    static const char* const kPicture;     // "res/WorldMetAreaMap2.png"
    static const char* const kCheckMark;   // "Icons/red_check_16_16.png"

    // Two-phase use: MetZonesDialog(), LoadAreas(db), Create(...).
    MetZonesDialog();
    // Reads the areas from `zonesDb` (the marine-zones database, not owned;
    // it must outlive the dialog) and creates the dialog. A null database
    // or a failing query is reported in a message box; the dialog then
    // opens with the picture alone.
    MetZonesDialog(wxWindow* parent, wxSQLite3Database* zonesDb, wxWindowID id = ID_METZONESDIALOG,
                   const wxString& caption = _("MetZonesDialog"),
                   const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(400, 300),
                   long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    ~MetZonesDialog() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_METZONESDIALOG,
                const wxString& caption = _("MetZonesDialog"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(400, 300),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    // Loads the pictures; no areas yet.
    void Init();
    void CreateControls();
    // Replaces the areas by the 'WMA' rows of MZones that have an outline,
    // in the order the query returns them; `parent` parents a message box.
    void LoadAreas(wxSQLite3Database* zonesDb, wxWindow* parent = nullptr);

    static bool ShowToolTips() { return true; }
    wxBitmap GetBitmapResource(const wxString&) { return wxNullBitmap; }
    wxIcon GetIconResource(const wxString&) { return wxNullIcon; }

    const MetAreaObjArray& GetAreas() const { return m_areas; }
    wxPanel* GetImagePanel() const { return m_imagePanel; }
    // Whether the pointer was over an area at the last motion over the picture.
    bool IsPointerOverArea() const { return m_pointerOverArea; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnOKButtonClick(wxCommandEvent& event);
    void OnCancelButtonClick(wxCommandEvent& event);
    // Stores the changed areas; false (after telling the user) when the
    // database refused a statement. Stored areas are no longer changed.
    bool StoreChangedAreas();

    wxPanel* m_imagePanel = nullptr;
    wxImage m_mapImage;
    wxImage m_checkImage;
    MetAreaObjArray m_areas;
    wxSQLite3Database* m_zonesDb = nullptr;
    wxBitmap m_mapBitmap;     // made from the images at the first paint
    wxBitmap m_checkBitmap;
    bool m_pointerOverArea = false;

    wxDECLARE_EVENT_TABLE();
};
