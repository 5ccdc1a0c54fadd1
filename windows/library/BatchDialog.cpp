#include "windows/library/BatchDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/filepicker.h>
#include <wx/log.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Numbers.h"
#include "windows/common/Shell.h"
#include "core/PositionText.h"
#include "model/Batch.h"
#include "model/BatchDB.h"
#include "windows/library/BatchDialogRules.h"
#include "windows/library/PathPicker.h"
#include "windows/map/MapPanel.h"
#include "windows/map/mapdialog.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"

wxIMPLEMENT_DYNAMIC_CLASS(NewBatch, wxDialog);

wxBEGIN_EVENT_TABLE(NewBatch, wxDialog)
    EVT_DIRPICKER_CHANGED(ID_NEWBATCH_FOLDER_PICKER, NewBatch::OnTransferFolderDirPickerChanged)
    EVT_RADIOBUTTON(ID_NEWBATCH_DONT_RUN, NewBatch::OnDontRunSelected)
    EVT_RADIOBUTTON(ID_NEWBATCH_RUN_IMVRA, NewBatch::OnRunImvraSelected)
    EVT_RADIOBUTTON(ID_NEWBATCH_RUN_SELECTED, NewBatch::OnRunSelectedSelected)
    EVT_RADIOBUTTON(ID_NEWBATCH_RUN_ASSOCIATED, NewBatch::OnRunAssociatedSelected)
    EVT_RADIOBUTTON(ID_NEWBATCH_RUN_CHARTLOOM, NewBatch::OnRunChartloomSelected)
    EVT_CHECKBOX(ID_NEWBATCH_OVERRIDE, NewBatch::OnOverrideCheckboxClick)
    EVT_BUTTON(ID_NEWBATCH_MAP, NewBatch::OnMapButtonClick)
    EVT_CHECKBOX(ID_NEWBATCH_COMBINE, NewBatch::OnAfterDownloadCheckboxClick)
    EVT_BUTTON(ID_NEWBATCH_OK, NewBatch::OnNewbatchOkClick)
    EVT_BUTTON(ID_NEWBATCH_CANCEL, NewBatch::OnNewbatchCancelClick)
wxEND_EVENT_TABLE()

namespace {

// The id a batch stored now would most likely get (names the folder of a
// new batch whose name gives no usable folder name).
long NextBatchId()
{
    wxSQLite3Database* db = CBatchFolder::Instance()->GetDatabase();
    if (!db || !db->IsOpen())
        return 3;
    try {
        wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT MAX(ID) FROM batches");
        const long id = rs.NextRow() ? rs.GetInt(0, 2) + 1 : 3;
        rs.Finalize();
        return id < 3 ? 3 : id;
    } catch (const wxSQLite3Exception& e) {
        wxLogError("%s", e.GetMessage());
        return 3;
    }
}

wxString CreatedText(const wxDateTime& date)
{
    return wxS("Date Created: ") + (date.IsValid() ? date.FormatDate() : wxString());
}

} // namespace

NewBatch::NewBatch()
{
    Init();
}

NewBatch::NewBatch(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size,
                   long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

NewBatch::~NewBatch() = default;

void NewBatch::Init()
{
    m_enabled = nullptr;
    m_dateLabel = nullptr;
    m_name = m_description = m_folderText = nullptr;
    m_folderPicker = nullptr;
    for (wxRadioButton*& radio : m_actions)
        radio = nullptr;
    m_gribViewer = nullptr;
    m_application = nullptr;
    m_arguments = nullptr;
    m_override = nullptr;
    m_mapButton = nullptr;
    m_lat = m_lon = nullptr;
    m_ns = m_ew = nullptr;
    m_width = nullptr;
    m_combine = nullptr;
    m_gribFile = nullptr;
    m_record = nullptr;
    m_isNew = false;
    m_runstat = 0;
}

bool NewBatch::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                      const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS);
    if (!wxDialog::Create(parent, id, caption, pos, size, style))
        return false;
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre(wxBOTH);
    return true;
}

void NewBatch::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);
    const int b = 5;

    // Enabled flag and creation date.
    auto* first = new wxBoxSizer(wxHORIZONTAL);
    top->Add(first, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    first->Add(new wxStaticText(this, wxID_STATIC, wxString()), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_enabled = new wxCheckBox(this, ID_NEWBATCH_ENABLED, _("Batch Enabled"));
    m_enabled->SetValue(false);
    first->Add(m_enabled, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_dateLabel = new wxStaticText(this, wxID_STATIC, _("Date: 01/01/10"));
    first->Add(m_dateLabel, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);

    // Name and description, right-aligned.
    auto textRow = [&](const wxString& label, wxWindowID id, wxTextCtrl*& field, wxString* text) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        top->Add(row, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT, b);
        row->Add(new wxStaticText(this, wxID_STATIC, label, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT), 0,
                 wxALIGN_CENTER_VERTICAL | wxALL, b);
        field = new wxTextCtrl(this, id, wxString(), wxDefaultPosition, wxSize(200, -1));
        field->SetMaxLength(150);
        field->SetValidator(wxTextValidator(wxFILTER_NONE, text));
        row->Add(field, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
        row->AddSpacer(20);
    };
    textRow(_("Batch Name"), ID_NEWBATCH_NAME, m_name, &m_nameText);
    textRow(_("Description"), ID_NEWBATCH_DESCRIPTION, m_description, &m_descriptionText);

    // Download folder.
    auto* folderRow = new wxBoxSizer(wxHORIZONTAL);
    top->Add(folderRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    folderRow->Add(new wxStaticText(this, wxID_STATIC, _("Transfer Folder")), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_folderText = new wxTextCtrl(this, ID_NEWBATCH_FOLDER_TEXT, wxString(), wxDefaultPosition, wxSize(200, -1),
                                  wxTE_READONLY);
    folderRow->Add(m_folderText, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_folderPicker = new PathPicker(this, ID_NEWBATCH_FOLDER_PICKER, PathPicker::Kind::Folder, wxString(),
                                    wxString(), false);
    folderRow->Add(m_folderPicker, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);

    // After download.
    auto* afterBox = new wxStaticBoxSizer(wxVERTICAL, this, _("After Download"));
    top->Add(afterBox, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    wxStaticBox* after = afterBox->GetStaticBox();
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    afterBox->Add(columns, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 0);
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* right = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxALIGN_TOP | wxALL, b);
    columns->Add(right, 0, wxALIGN_TOP | wxALL, b);
    const struct {
        wxWindowID id;
        const char* label;
        wxBoxSizer* column;
    } radios[] = {
        {ID_NEWBATCH_DONT_RUN, "Don't run an application", left},
        {ID_NEWBATCH_RUN_IMVRA, "Run Imvra", left},
        {ID_NEWBATCH_RUN_SELECTED, "Run selected application", left},
        {ID_NEWBATCH_RUN_ASSOCIATED, "Run file associated application", right},
        {ID_NEWBATCH_RUN_CHARTLOOM, "Run Chartloom on images", right},
    };
    for (int i = 0; i < tw::kActionRadioCount; ++i) {
        m_actions[i] = new wxRadioButton(after, radios[i].id, wxGetTranslation(radios[i].label), wxDefaultPosition,
                                         wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        radios[i].column->Add(m_actions[i], 0, wxALIGN_LEFT | wxALL, b);
    }
    m_actions[1]->Hide();
    m_gribViewer = new wxCheckBox(after, ID_NEWBATCH_GRIB_VIEWER, _("Run Isobarion on GRIBs only"), wxDefaultPosition,
                                  wxDefaultSize, wxCHK_3STATE);
    m_gribViewer->Set3StateValue(wxCHK_UNCHECKED);
    right->Add(m_gribViewer, 0, wxALIGN_LEFT | wxALL, b);

    auto* appRow = new wxBoxSizer(wxHORIZONTAL);
    afterBox->Add(appRow, 0, wxGROW | wxALL, b);
    appRow->Add(new wxStaticText(after, wxID_STATIC, _("Application")), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_application = new PathPicker(after, ID_NEWBATCH_APPLICATION, PathPicker::Kind::OpenFile, wxString(),
                                   wxString(), true, wxSize(220, -1));
    const wxString applications = CInit::GetApplicationsDir();
    if (!applications.empty())
        m_application->SetInitialDirectory(applications);
    appRow->Add(m_application, 1, wxALIGN_CENTER_VERTICAL | wxALL, b);

    auto* argsRow = new wxBoxSizer(wxHORIZONTAL);
    afterBox->Add(argsRow, 0, wxALIGN_LEFT | wxALL, b);
    argsRow->Add(new wxStaticText(after, wxID_STATIC, _("Arguments")), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    const wxString argChoices[] = {_("Downloaded Files as Arguments"), _("No Arguments")};
    m_arguments = new wxChoice(after, ID_NEWBATCH_ARGUMENTS, wxDefaultPosition, wxDefaultSize, 2, argChoices);
    m_arguments->SetSelection(0);
    argsRow->Add(m_arguments, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);

    // Interactive weather: the batch's own area.
    auto* areaBox = new wxStaticBoxSizer(wxVERTICAL, this, _("Interactive Weather"));
    top->Add(areaBox, 1, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    wxStaticBox* area = areaBox->GetStaticBox();
    m_override = new wxCheckBox(area, ID_NEWBATCH_OVERRIDE, _("Override"));
    areaBox->Add(m_override, 0, wxALIGN_LEFT | wxALL, b);
    auto* areaRow = new wxBoxSizer(wxHORIZONTAL);
    areaBox->Add(areaRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    m_mapButton = new wxButton(area, ID_NEWBATCH_MAP, _("Map"));
    areaRow->Add(m_mapButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    // The area fields are as wide as their texts need ("33.500000").
    m_lat = new wxTextCtrl(area, ID_NEWBATCH_LAT);
    m_lat->SetValidator(wxTextValidator(wxFILTER_NONE, &m_latText));
    areaRow->Add(m_lat, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    const wxString ns[] = {_("N"), _("S")};
    m_ns = new wxChoice(area, ID_NEWBATCH_NS, wxDefaultPosition, wxDefaultSize, 2, ns);
    m_ns->SetSelection(0);
    areaRow->Add(m_ns, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_lon = new wxTextCtrl(area, ID_NEWBATCH_LON);
    m_lon->SetValidator(wxTextValidator(wxFILTER_NONE, &m_lonText));
    areaRow->Add(m_lon, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    const wxString ew[] = {_("E"), _("W")};
    m_ew = new wxChoice(area, ID_NEWBATCH_EW, wxDefaultPosition, wxDefaultSize, 2, ew);
    m_ew->SetSelection(0);
    areaRow->Add(m_ew, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    areaRow->Add(new wxStaticText(area, wxID_STATIC, _("Width (Deg)")), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    wxArrayString widths;
    for (int i = 0; i < tw::kWidthEntryCount; ++i)
        widths.Add(tw::WidthEntryText(i));
    m_width = new wxComboBox(area, ID_NEWBATCH_WIDTH, wxString(), wxDefaultPosition, wxDefaultSize, widths,
                             wxCB_DROPDOWN);
    areaRow->Add(m_width, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);

    // GRIB combiner.
    auto* gribBox = new wxStaticBoxSizer(wxVERTICAL, this, _("GRIB Combiner"));
    top->Add(gribBox, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    wxStaticBox* grib = gribBox->GetStaticBox();
    m_combine = new wxCheckBox(grib, ID_NEWBATCH_COMBINE, _("After download combine all GRIB files into one"));
    gribBox->Add(m_combine, 0, wxALIGN_LEFT | wxALL, b);
    auto* gribRow = new wxBoxSizer(wxHORIZONTAL);
    gribBox->Add(gribRow, 0, wxALIGN_LEFT | wxALL, b);
    gribRow->Add(new wxStaticText(grib, wxID_STATIC, _("New GRIB File:")), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    m_gribFile = new PathPicker(grib, ID_NEWBATCH_GRIB_FILE, PathPicker::Kind::SaveFile,
                                _("Select path and filename for combined GRIB file"), wxS("Grib Files (*.grb)|*.grb"),
                                true, wxSize(200, -1));
    m_gribFile->SetInitialDirectory(CInit::GetDefaultTransferFolder());
    gribRow->Add(m_gribFile, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);

    // OK and Cancel.
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    top->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, b);
    auto* ok = new wxButton(this, ID_NEWBATCH_OK, _("OK"));
    ok->SetDefault();
    buttons->Add(ok, 0, wxALIGN_CENTER_VERTICAL | wxALL, b);
    buttons->Add(new wxButton(this, ID_NEWBATCH_CANCEL, _("Cancel")), 0, wxALIGN_CENTER_VERTICAL | wxALL, b);

    m_actions[0]->Bind(wxEVT_LEFT_DOWN, &NewBatch::OnDontRunLeftDown, this);

    // No action is shown until the dialog is filled: the hidden one stands
    // for none (a group always has one selected).
    m_actions[1]->SetValue(true);
}

wxBitmap NewBatch::GetBitmapResource(const wxString&)
{
    return wxNullBitmap;
}

wxIcon NewBatch::GetIconResource(const wxString&)
{
    return wxNullIcon;
}

// ---------------------------------------------------------------- filling

void NewBatch::Fill(CBatch& batch, bool isNew)
{
    m_record = &batch;
    m_isNew = isNew;
    const CBatch::t_batch& b = batch.info;
    SetTitle(tw::BatchDialogCaption(isNew, b.ID));

    if (isNew) {
        m_actions[tw::ActionRadioOf(2)]->SetValue(true);
        ActionChosen(2);
        EnableApplication(false);
        m_gribViewer->Set3StateValue(wxCHK_UNCHECKED);
        m_dateLabel->SetLabel(CreatedText(wxDateTime::Now()));
        m_enabled->SetValue(true);
        wxString folder = tw::TheShell().GetTransferFolder();
        if (folder.empty())
            folder = CInit::GetDefaultTransferFolder();
        m_folderPicker->SetPath(folder);
        m_folderText->ChangeValue(folder);
        m_nameText.clear();
        m_descriptionText.clear();
        m_latText.clear();
        m_lonText.clear();
        m_ns->SetSelection(0);
        m_ew->SetSelection(0);
        m_width->SetValue(wxString());
        m_override->SetValue(false);
        m_combine->SetValue(false);
    } else {
        m_nameText = b.title;
        m_descriptionText = b.description;
        m_enabled->SetValue(b.status != 0);
        m_dateLabel->SetLabel(CreatedText(b.create_date));
        m_gribViewer->Set3StateValue(b.runwexpg != 0 ? wxCHK_CHECKED : wxCHK_UNCHECKED);
        const int radio = tw::ActionRadioOf(b.runstat);
        // A code no radio shows selects the hidden one: none is seen.
        m_actions[radio >= 0 ? radio : 1]->SetValue(true);
        m_runstat = b.runstat;
        EnableApplication(radio < 0 || tw::ActionTakesApplication(b.runstat));
        m_folderPicker->SetPath(b.folder);
        m_folderText->ChangeValue(b.folder);
        m_application->SetPath(b.application);
        m_arguments->SetSelection(b.args >= 0 && b.args < static_cast<int>(m_arguments->GetCount()) ? b.args
                                                                                                     : wxNOT_FOUND);
        m_override->SetValue(b.bInteractive != 0);
        const tw::CoordinateField lat = tw::ShowCoordinate(b.lat);
        const tw::CoordinateField lon = tw::ShowCoordinate(b.lon);
        m_latText = lat.text;
        m_ns->SetSelection(lat.second ? 1 : 0);
        m_lonText = lon.text;
        m_ew->SetSelection(lon.second ? 1 : 0);
        const int entry = tw::WidthEntryOf(b.width);
        if (entry >= 0)
            m_width->SetSelection(entry);
        else
            m_width->SetValue(tw::WidthText(b.width));
        m_combine->SetValue(b.bCombineGribs != 0);
        if (!b.gribfile.empty())
            m_gribFile->SetPath(b.gribfile);
    }
    FollowOverride();
    FollowCombine();
    if (!isNew && (b.ID == kGlobalBatchId || b.ID == kWizardBatchId)) {
        m_name->Disable();
        m_description->Disable();
        m_override->Disable();
    } else if (!isNew && b.ID == kBasicBatchId) {
        m_name->Disable();
        m_description->Disable();
    }
    TransferDataToWindow();
}

void NewBatch::EnableApplication(bool enable)
{
    m_application->Enable(enable);
    m_arguments->Enable(enable);
}

void NewBatch::FollowOverride()
{
    const bool on = m_override->GetValue();
    for (wxWindow* w : std::initializer_list<wxWindow*>{m_mapButton, m_lat, m_ns, m_lon, m_ew, m_width})
        w->Enable(on);
}

void NewBatch::FollowCombine()
{
    m_gribFile->Enable(m_combine->GetValue());
}

void NewBatch::ActionChosen(int runstat)
{
    m_runstat = runstat;
}

// ---------------------------------------------------------------- writing back

bool NewBatch::WriteBack(CBatch& batch)
{
    TransferDataFromWindow();
    CBatch::t_batch b = batch.info;

    // The area: a coordinate the user can edit must be on the globe; one
    // shown read-only is kept as stored when it is not.
    const struct {
        wxTextCtrl* field;
        const wxString& text;
        bool second;
        double limit;
        float& value;
        const char* refusal;
    } coordinates[] = {
        {m_lat, m_latText, m_ns->GetSelection() > 0, tw::kLatitudeLimit, b.lat,
         "Latitude must be a number of degrees from 0 to 90."},
        {m_lon, m_lonText, m_ew->GetSelection() > 0, tw::kLongitudeLimit, b.lon,
         "Longitude must be a number of degrees from 0 to 180."},
    };
    for (const auto& c : coordinates) {
        if (!tw::ReadCoordinate(c.text, c.second, c.limit, c.value) && c.field->IsThisEnabled()) {
            tw::MessageBox(c.refusal, wxS("Error"), wxOK | wxICON_ERROR, tw::BoxParent(this));
            c.field->SetFocus();
            return false;
        }
    }
    // The width the map picker takes, or none typed; a width beyond it shown
    // read-only is kept as stored. An interactive batch needs one: an empty
    // field would store 0, which every transfer refuses.
    double width = 0.0;
    const wxString widthText = m_width->GetValue();
    const bool emptyForArea = m_override->GetValue() && widthText.Strip(wxString::both).empty();
    if (emptyForArea || (tw::LeadingDouble(widthText, width) && !mapgeo::BoxWidthInRange(width))) {
        if (m_width->IsThisEnabled()) {
            tw::MessageBox(wxString::FromUTF8(mapgeo::BoxWidthRefusal().c_str()), wxS("Error"), wxOK | wxICON_ERROR,
                           tw::BoxParent(this));
            m_width->SetFocus();
            return false;
        }
    } else {
        b.width = tw::ReadWidth(widthText);
    }

    wxString folder = m_folderPicker->GetPath();
    if (m_isNew) {
        // One folder named after the batch inside the chosen one (never the
        // file system's root when no global folder is set).
        if (folder.empty())
            folder = CInit::GetDefaultTransferFolder();
        folder = tw::NewBatchFolder(folder, m_nameText, NextBatchId());
    }
    if (!folder.empty() && !::MkDirTree(folder)) {
        tw::MessageBox(wxS("Could not create folder ") + folder, wxS("Error"), wxOK | wxICON_ERROR, tw::BoxParent(this));
        return false;
    }

    b.runstat = m_runstat;
    wxString application = m_application->GetPath();
    if (!application.empty()) {
        wxFileName full(application);
        full.MakeAbsolute();
        application = full.GetFullPath();
    }
    b.application = application;
    b.folder = folder;
    b.title = m_nameText;
    if (m_arguments->GetSelection() != wxNOT_FOUND)
        b.args = m_arguments->GetSelection();
    b.bCombineGribs = m_combine->GetValue() ? 1 : 0;
    b.gribfile = tw::CombinedGribPath(m_gribFile->GetPath());
    b.bInteractive = m_override->GetValue() ? 1 : 0;
    b.runwexpg = m_gribViewer->Get3StateValue() == wxCHK_CHECKED ? 1 : 0;
    // A batch keeps the date it was made on; a new one is made now.
    if (m_isNew)
        b.create_date = wxDateTime((wxDateTime::Now().GetTicks()));
    b.description = m_descriptionText;
    b.status = m_enabled->GetValue() ? 1 : 0;
    batch.info = b;
    return true;
}

// ---------------------------------------------------------------- handlers

void NewBatch::OnTransferFolderDirPickerChanged(wxFileDirPickerEvent& event)
{
    m_folderText->ChangeValue(event.GetPath());
    event.Skip();
}

void NewBatch::OnDontRunSelected(wxCommandEvent& event)
{
    ActionChosen(0);
    EnableApplication(false);
    event.Skip();
}

void NewBatch::OnRunImvraSelected(wxCommandEvent& event)
{
    ActionChosen(1);
    EnableApplication(false);
    event.Skip();
}

void NewBatch::OnRunSelectedSelected(wxCommandEvent& event)
{
    ActionChosen(3);
    EnableApplication(true);
    event.Skip();
}

void NewBatch::OnRunAssociatedSelected(wxCommandEvent& event)
{
    ActionChosen(2);
    EnableApplication(false);
    event.Skip();
}

void NewBatch::OnRunChartloomSelected(wxCommandEvent& event)
{
    ActionChosen(4);
    EnableApplication(false);
    event.Skip();
}

void NewBatch::OnOverrideCheckboxClick(wxCommandEvent& event)
{
    FollowOverride();
    event.Skip();
}

void NewBatch::OnAfterDownloadCheckboxClick(wxCommandEvent& event)
{
    FollowCombine();
    event.Skip();
}

void NewBatch::OnDontRunLeftDown(wxMouseEvent& event)
{
    event.Skip();
}

void NewBatch::OnMapButtonClick(wxCommandEvent&)
{
    MapDialog picker(this, ID_MAPDIALOG, wxS("World Chart - Click and Drag on Chart to Select Region"),
                     wxDefaultPosition, wxSize(400, 300),
                     wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    double lat = 0, lon = 0;
    const double width = tw::ReadWidth(m_width->GetValue());
    tw::UnFormatPosition(lon, lat, m_lon->GetValue(), m_lat->GetValue(), m_ew->GetStringSelection(),
                                    m_ns->GetStringSelection());
    // The zoom bounds first: placing the area clamps the zoom with them.
    picker.GetMapPanel()->m_maxZoom = 7.0;
    picker.GetMapPanel()->m_minZoom = 0.146484375;
    picker.InitializePosition(lat, lon, width);
    if (picker.ShowModal() != wxID_OK)
        return;
    double newLat = lat, newLon = lon, newWidth = width;
    picker.RetrievePosition(newLat, newLon, newWidth);
    wxString lonText, lonHemisphere, latText, latHemisphere;
    tw::FormatPosition(newLon, newLat, lonText, lonHemisphere, latText, latHemisphere);
    m_lat->ChangeValue(latText);
    m_lon->ChangeValue(lonText);
    m_ns->SetStringSelection(latHemisphere);
    m_ew->SetStringSelection(lonHemisphere);
    m_width->SetValue(wxString::FromUTF8(mapgeo::WidthFieldText(newWidth).c_str()));
}

void NewBatch::OnNewbatchOkClick(wxCommandEvent&)
{
    if (!Validate() || !TransferDataFromWindow())
        return;
    if (m_nameText.empty()) {
        tw::MessageBox(wxS("Batch Name cannot be blank"), wxS("Error"), wxOK, tw::BoxParent(this));
        return;
    }
    if (m_record && !WriteBack(*m_record))
        return;
    EndModal(wxID_OK);
}

void NewBatch::OnNewbatchCancelClick(wxCommandEvent&)
{
    EndModal(wxID_CANCEL);
}
