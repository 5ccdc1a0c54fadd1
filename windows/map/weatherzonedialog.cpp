#include "windows/map/weatherzonedialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "windows/map/MapPanel.h"
#include "windows/map/ShellMapInputs.h"

wxIMPLEMENT_DYNAMIC_CLASS(WeatherZoneDialog, wxDialog);

wxBEGIN_EVENT_TABLE(WeatherZoneDialog, wxDialog)
    EVT_BUTTON(ID_WZ_ZOOM_IN, WeatherZoneDialog::OnWzZoomInClick)
    EVT_BUTTON(ID_WZ_ZOOM_OUT, WeatherZoneDialog::OnWzZoomOutClick)
    EVT_BUTTON(ID_WZ_OK, WeatherZoneDialog::OnButtonWzOkClick)
    EVT_BUTTON(ID_WZ_CANCEL, WeatherZoneDialog::OnButtonWzCancelClick)
wxEND_EVENT_TABLE()

WeatherZoneDialog::WeatherZoneDialog()
{
    Init();
}

WeatherZoneDialog::WeatherZoneDialog(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                                     const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

WeatherZoneDialog::~WeatherZoneDialog() = default;

void WeatherZoneDialog::Init()
{
    m_mapPanel = nullptr;
    m_positionLabel = nullptr;
    m_zoomOutButton = nullptr;
}

bool WeatherZoneDialog::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                               const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_VALIDATE_RECURSIVELY);
    if (!wxDialog::Create(parent, id, caption, pos, size, style, wxS("dialog")))
        return false;
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre();
    return true;
}

void WeatherZoneDialog::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    m_mapPanel = new wxMapPanel(this, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, wxMapPanel::kZoneSubMap,
                                tw::ShellMapInputs());
    top->Add(m_mapPanel, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 2);
    auto* statusBox = new wxStaticBoxSizer(wxHORIZONTAL, this, _("Status"));
    row->Add(statusBox, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    m_positionLabel = new wxStaticText(statusBox->GetStaticBox(), wxID_STATIC, _("Position: "), wxDefaultPosition,
                                       wxSize(150, -1), 0);
    statusBox->Add(m_positionLabel, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    row->Add(45, 5, 0, wxALIGN_CENTER_VERTICAL, 0);

    row->Add(new wxButton(this, ID_WZ_ZOOM_IN, _("Zoom In")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_zoomOutButton = new wxButton(this, ID_WZ_ZOOM_OUT, _("Zoom Out"));
    m_zoomOutButton->Enable(false);
    row->Add(m_zoomOutButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(new wxButton(this, ID_WZ_OK, _("Accept Changes"), wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, wxS("WZOK")),
             0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(new wxButton(this, ID_WZ_CANCEL, _("Cancel")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    m_mapPanel->m_statusLabel = m_positionLabel;
}

wxBitmap WeatherZoneDialog::GetBitmapResource(const wxString&)
{
    return wxNullBitmap;
}

wxIcon WeatherZoneDialog::GetIconResource(const wxString&)
{
    return wxNullIcon;
}

void WeatherZoneDialog::OnWzZoomInClick(wxCommandEvent&)
{
    m_mapPanel->ZoomIn();
    m_zoomOutButton->Enable(true);
}

void WeatherZoneDialog::OnWzZoomOutClick(wxCommandEvent&)
{
    if (!m_mapPanel->ZoomOut())
        m_zoomOutButton->Enable(false);
}

void WeatherZoneDialog::OnButtonWzOkClick(wxCommandEvent&)
{
    EndModal(wxID_OK);
}

void WeatherZoneDialog::OnButtonWzCancelClick(wxCommandEvent&)
{
    EndModal(wxID_CANCEL);
}
