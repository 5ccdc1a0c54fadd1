#include "windows/map/USZonesDialog.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include "windows/map/PickerSupport.h"
#include "windows/map/ZoneRegions.h"

wxIMPLEMENT_DYNAMIC_CLASS(USZonesDialog, wxDialog);

wxBEGIN_EVENT_TABLE(USZonesDialog, wxDialog)
    EVT_BUTTON(ID_USZONES_RETURN, USZonesDialog::OnCancelClick)
wxEND_EVENT_TABLE()

const char* const USZonesDialog::kCoastalPicture = "res/coastal_level1.png";
const char* const USZonesDialog::kOffshorePicture = "res/offshore_zones.png";

USZonesDialog::USZonesDialog()
{
    Init();
}

USZonesDialog::USZonesDialog(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                             const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

USZonesDialog::~USZonesDialog() = default;

void USZonesDialog::Init()
{
    m_imagePanel = nullptr;
}

bool USZonesDialog::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                           const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_VALIDATE_RECURSIVELY | wxWS_EX_BLOCK_EVENTS);
    if (!wxDialog::Create(parent, id, caption, pos, size, style, wxS("dialog")))
        return false;
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre();
    return true;
}

void USZonesDialog::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    const wxSize picture(tw::zones::kRegionPictureWidth, tw::zones::kRegionPictureHeight);
    m_imagePanel = new wxPanel(this, ID_USZONES_PANEL, wxDefaultPosition, picture, wxSUNKEN_BORDER | wxTAB_TRAVERSAL);
    // The whole picture inside the border.
    m_imagePanel->SetMinClientSize(picture);
    m_imagePanel->SetClientSize(picture);
    m_imagePanel->SetBackgroundStyle(wxBG_STYLE_PAINT);
    top->Add(m_imagePanel, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    row->Add(new wxButton(this, ID_USZONES_RETURN, _("Return to Wizard")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    m_imagePanel->Bind(wxEVT_PAINT, &USZonesDialog::OnPaint, this);
    m_imagePanel->Bind(wxEVT_LEFT_DOWN, &USZonesDialog::OnLeftDown, this);
    m_imagePanel->Bind(wxEVT_LEFT_UP, &USZonesDialog::OnLeftUp, this);
    m_imagePanel->Bind(wxEVT_MOTION, &USZonesDialog::OnMotion, this);
}

void USZonesDialog::LoadFace(const char* picture, const std::vector<tw::zones::RegionShape>& regions)
{
    m_image = tw::pickers::LoadResourcePicture(picture);
    m_bitmap = wxBitmap();
    for (const tw::zones::RegionShape& region : regions) {
        USArea area;
        area.name = wxString::FromUTF8(region.name);
        area.code = region.code;
        area.shape = &region;
        m_areas.push_back(area);
    }
    if (m_imagePanel)
        m_imagePanel->Refresh();
}

void USZonesDialog::InitCoastalZones()
{
    LoadFace(kCoastalPicture, tw::zones::CoastalRegions());
}

void USZonesDialog::InitOffshoreZones()
{
    LoadFace(kOffshorePicture, tw::zones::OffshoreRegions());
}

int USZonesDialog::RegionCodeAt(int x, int y) const
{
    for (const USArea& area : m_areas)
        if (area.shape && tw::zones::RingContainsPixel(area.shape->outline, x, y))
            return area.code;
    return tw::zones::kNoRegion;
}

void USZonesDialog::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_imagePanel);
    dc.SetBackground(wxBrush(m_imagePanel->GetBackgroundColour()));
    dc.Clear();
    if (!m_bitmap.IsOk() && m_image.IsOk())
        m_bitmap = wxBitmap(m_image);
    if (m_bitmap.IsOk())
        dc.DrawBitmap(m_bitmap, 0, 0, false);
}

void USZonesDialog::OnLeftDown(wxMouseEvent& event)
{
    event.Skip();
}

void USZonesDialog::OnLeftUp(wxMouseEvent& event)
{
    // The region under the release point answers; the first in table order
    // where outlines overlap.
    const int code = RegionCodeAt(event.GetX(), event.GetY());
    if (code != tw::zones::kNoRegion)
        EndDialog(code);
}

void USZonesDialog::OnMotion(wxMouseEvent& event)
{
    m_pointerOverArea = RegionCodeAt(event.GetX(), event.GetY()) != tw::zones::kNoRegion;
    m_imagePanel->SetCursor(wxCursor(m_pointerOverArea ? wxCURSOR_HAND : wxCURSOR_ARROW));
}

void USZonesDialog::OnCancelClick(wxCommandEvent&)
{
    EndDialog(wxID_CANCEL);
}
