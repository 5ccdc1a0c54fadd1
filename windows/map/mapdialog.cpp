#include "windows/map/mapdialog.h"

#include <cmath>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "core/Numbers.h"
#include "windows/common/Shell.h"
#include "core/PositionText.h"
#include "windows/map/MapGeometry.h"
#include "windows/map/MapPanel.h"
#include "windows/map/PickerSupport.h"
#include "windows/map/ShellMapInputs.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"

wxIMPLEMENT_DYNAMIC_CLASS(MapDialog, wxDialog);

wxBEGIN_EVENT_TABLE(MapDialog, wxDialog)
    EVT_BUTTON(ID_MAPDIALOG_OK, MapDialog::OnButtonOkClick)
    EVT_BUTTON(ID_MAPDIALOG_CANCEL, MapDialog::OnButtonCancelClick)
    EVT_BUTTON(ID_MAPDIALOG_ZOOM_IN, MapDialog::OnButtonZoomInClick)
    EVT_BUTTON(ID_MAPDIALOG_ZOOM_OUT, MapDialog::OnButtonZoomOutClick)
    EVT_BUTTON(ID_MAPDIALOG_CHANGE_VIEW, MapDialog::OnButtonChangeViewClick)
wxEND_EVENT_TABLE()

MapDialog::MapDialog()
{
    Init();
}

MapDialog::MapDialog(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                     const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

MapDialog::~MapDialog() = default;

void MapDialog::Init()
{
    m_mapPanel = nullptr;
    m_positionLabel = nullptr;
    m_latCtrl = nullptr;
    m_nsChoice = nullptr;
    m_lonCtrl = nullptr;
    m_ewChoice = nullptr;
    m_widthCtrl = nullptr;
}

bool MapDialog::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
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

namespace {
// Wide enough for "151.172" in the toolkit's text fields.
constexpr int kFieldWidth = 80;
}

void MapDialog::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    m_mapPanel = new wxMapPanel(this, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, tw::ShellMapInputs());
    top->Add(m_mapPanel, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxALL, 5);
    auto* statusBox = new wxStaticBoxSizer(wxHORIZONTAL, this, _("Status"));
    row->Add(statusBox, 0, wxALIGN_CENTER_VERTICAL);
    m_positionLabel = new wxStaticText(statusBox->GetStaticBox(), ID_MAPDIALOG_POSITION, _("Position: "),
                                       wxDefaultPosition, wxSize(150, -1));
    statusBox->Add(m_positionLabel, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->AddSpacer(5);

    auto* params = new wxStaticBoxSizer(wxHORIZONTAL, this, _("Interactive Weather Parameters"));
    row->Add(params, 0, wxALIGN_CENTER_VERTICAL);
    wxWindow* box = params->GetStaticBox();
    params->Add(new wxStaticText(box, wxID_STATIC, _("Lat:")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    m_latCtrl = new wxTextCtrl(box, ID_MAPDIALOG_LAT, wxEmptyString, wxDefaultPosition, wxSize(kFieldWidth, -1), 0,
                               wxTextValidator(wxFILTER_NONE, &m_latText));
    params->Add(m_latCtrl, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    const wxString ns[] = {_("N"), _("S")};
    m_nsChoice = new wxChoice(box, ID_MAPDIALOG_NS, wxDefaultPosition, wxDefaultSize, 2, ns);
    m_nsChoice->SetSelection(0);
    params->Add(m_nsChoice, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    params->Add(new wxStaticText(box, wxID_STATIC, _("Lon: ")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    m_lonCtrl = new wxTextCtrl(box, ID_MAPDIALOG_LON, wxEmptyString, wxDefaultPosition, wxSize(kFieldWidth, -1), 0,
                               wxTextValidator(wxFILTER_NONE, &m_lonText));
    params->Add(m_lonCtrl, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    const wxString ew[] = {_("E"), _("W")};
    m_ewChoice = new wxChoice(box, ID_MAPDIALOG_EW, wxDefaultPosition, wxDefaultSize, 2, ew);
    m_ewChoice->SetSelection(0);
    params->Add(m_ewChoice, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    params->Add(new wxStaticText(box, wxID_STATIC, _("Width (Deg)")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    m_widthText = wxS("010");
    m_widthCtrl = new wxTextCtrl(box, ID_MAPDIALOG_WIDTH, wxS("010"), wxDefaultPosition, wxSize(45, -1), 0,
                                 wxTextValidator(wxFILTER_NONE, &m_widthText));
    params->Add(m_widthCtrl, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    top->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* ok = new wxButton(this, ID_MAPDIALOG_OK, _("OK"), wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, wxS("OK"));
    buttons->Add(ok, 0, wxALL, 5);
    buttons->Add(new wxButton(this, ID_MAPDIALOG_CANCEL, _("Cancel")), 0, wxALL, 5);
    buttons->Add(new wxButton(this, ID_MAPDIALOG_ZOOM_IN, _("Zoom In")), 0, wxALL, 5);
    buttons->Add(new wxButton(this, ID_MAPDIALOG_ZOOM_OUT, _("Zoom Out")), 0, wxALL, 5);
    buttons->Add(new wxButton(this, ID_MAPDIALOG_CHANGE_VIEW, _("Change View")), 0, wxALL, 5);

    m_mapPanel->m_statusLabel = m_positionLabel;
    m_mapPanel->Bind(wxEVT_MAP_BOX, &MapDialog::OnMapBox, this);
}

void MapDialog::OnMapBox(MapBoxEvent& event)
{
    if (!m_latCtrl)
        return;
    const mapgeo::PickerFields f = mapgeo::PickerFieldsOf(event.GetLat(), event.GetLon(), event.GetWidth());
    m_latCtrl->SetValue(wxString::FromUTF8(f.latText.c_str()));
    m_lonCtrl->SetValue(wxString::FromUTF8(f.lonText.c_str()));
    m_nsChoice->SetSelection(f.nsIndex);
    m_ewChoice->SetSelection(f.ewIndex);
    m_widthCtrl->SetValue(wxString::FromUTF8(f.widthText.c_str()));
}

void MapDialog::InitializePosition(double lat, double lon, double width)
{
    m_widthText = wxString::FromUTF8(mapgeo::WidthFieldText(width).c_str());
    wxString lonText, ewLetter, latText, nsLetter;
    tw::FormatPosition(lon, lat, lonText, ewLetter, latText, nsLetter);
    m_latText = latText;
    m_lonText = lonText;
    m_nsChoice->SetStringSelection(nsLetter);
    m_ewChoice->SetStringSelection(ewLetter);
    TransferDataToWindow();
    if (m_mapPanel)
        m_mapPanel->SetZoom0Rect(static_cast<float>(std::fabs(lat)), static_cast<float>(std::fabs(lon)),
                                 static_cast<float>(width), m_ewChoice->GetSelection(),
                                 m_nsChoice->GetSelection(), -1);
}

void MapDialog::RetrievePosition(double& lat, double& lon, double& width) const
{
    // The leading number of the field (whatever follows it is ignored); a
    // field that does not begin with one leaves the caller's value.
    tw::LeadingDouble(m_widthCtrl->GetValue(), width);
    tw::UnFormatPosition(lon, lat, m_lonCtrl->GetValue(), m_latCtrl->GetValue(),
                                    m_ewChoice->GetStringSelection(), m_nsChoice->GetStringSelection());
}

wxBitmap MapDialog::GetBitmapResource(const wxString&)
{
    return wxNullBitmap;
}

wxIcon MapDialog::GetIconResource(const wxString&)
{
    return wxNullIcon;
}

void MapDialog::OnButtonOkClick(wxCommandEvent&)
{
    // A width beyond the picker's range is refused and the dialog stays; a
    // field without a number leaves the caller's width as it was.
    double width = 0.0;
    if (tw::LeadingDouble(m_widthCtrl->GetValue(), width) && !mapgeo::BoxWidthInRange(width)) {
        tw::MessageBox(wxString::FromUTF8(mapgeo::BoxWidthRefusal().c_str()), wxS("Error"), wxOK | wxICON_ERROR,
                       tw::BoxParent(this));
        m_widthCtrl->SetFocus();
        m_widthCtrl->SelectAll();
        return;
    }
    EndModal(wxID_OK);
}

void MapDialog::OnButtonCancelClick(wxCommandEvent&)
{
    EndModal(wxID_CANCEL);
}

void MapDialog::OnButtonZoomInClick(wxCommandEvent&)
{
    if (m_mapPanel)
        m_mapPanel->ZoomIn();
}

void MapDialog::OnButtonZoomOutClick(wxCommandEvent&)
{
    if (m_mapPanel)
        m_mapPanel->ZoomOut();
}

void MapDialog::OnButtonChangeViewClick(wxCommandEvent&)
{
    if (m_mapPanel)
        m_mapPanel->LoadWorldMap(wxMapPanel::kWorldMinZoom);
}
