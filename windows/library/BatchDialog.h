// The batch properties dialog: name, description and enabled flag of a
// batch, its download folder, what runs after a download, the GRIB viewer
// flag, its own area for interactive products and the combined GRIB file.
//
// Fill() puts a batch (or a new batch's defaults) into the controls; OK
// writes the answers back into that batch (WriteBack) and makes its download
// folder, and only then ends the dialog with wxID_OK. The two halves work on
// a dialog that is never shown, so they can be checked without a modal run.
#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/icon.h>

class CBatch;
class PathPicker;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxFileDirPickerEvent;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

enum {
    ID_NEWBATCH = 10001,
    ID_NEWBATCH_ENABLED = 10023,
    ID_NEWBATCH_NAME = 10034,
    ID_NEWBATCH_DESCRIPTION = 10036,
    ID_NEWBATCH_FOLDER_PICKER = 10037,
    ID_NEWBATCH_DONT_RUN = 10038,
    ID_NEWBATCH_RUN_IMVRA = 10039,
    ID_NEWBATCH_RUN_SELECTED = 10040,
    ID_NEWBATCH_RUN_ASSOCIATED = 10041,
    ID_NEWBATCH_RUN_CHARTLOOM = 10042,
    ID_NEWBATCH_GRIB_VIEWER = 10043,
    ID_NEWBATCH_APPLICATION = 10044,
    ID_NEWBATCH_ARGUMENTS = 10045,
    ID_NEWBATCH_OVERRIDE = 10046,
    ID_NEWBATCH_MAP = 10047,
    ID_NEWBATCH_LAT = 10048,
    ID_NEWBATCH_NS = 10049,
    ID_NEWBATCH_LON = 10050,
    ID_NEWBATCH_EW = 10051,
    ID_NEWBATCH_WIDTH = 10052,
    ID_NEWBATCH_COMBINE = 10053,
    ID_NEWBATCH_GRIB_FILE = 10054,
    ID_NEWBATCH_OK = 10055,
    ID_NEWBATCH_CANCEL = 10056,
    ID_NEWBATCH_FOLDER_TEXT = 10261,
};

class NewBatch : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(NewBatch);

public:
    NewBatch();
    NewBatch(wxWindow* parent, wxWindowID id = ID_NEWBATCH, const wxString& caption = wxS("Batch Properties"),
             const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
             long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    ~NewBatch() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_NEWBATCH, const wxString& caption = wxS("Batch Properties"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    void Init();
    void CreateControls();

    // Shows `batch` (isNew: the defaults of a new batch; the record is not
    // read) and remembers it as the record that OK writes into.
    void Fill(CBatch& batch, bool isNew);
    // Writes the answers into `batch` and makes its download folder. False,
    // after telling the user and with `batch` unchanged, when a coordinate is
    // out of range or the folder cannot be made.
    bool WriteBack(CBatch& batch);

    static bool ShowToolTips() { return true; }
    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);

    // --- handlers
    void OnTransferFolderDirPickerChanged(wxFileDirPickerEvent& event);
    void OnDontRunSelected(wxCommandEvent& event);
    void OnRunImvraSelected(wxCommandEvent& event);
    void OnRunSelectedSelected(wxCommandEvent& event);
    void OnRunAssociatedSelected(wxCommandEvent& event);
    void OnRunChartloomSelected(wxCommandEvent& event);
    void OnOverrideCheckboxClick(wxCommandEvent& event);
    void OnMapButtonClick(wxCommandEvent& event);
    void OnAfterDownloadCheckboxClick(wxCommandEvent& event);
    void OnNewbatchOkClick(wxCommandEvent& event);
    void OnNewbatchCancelClick(wxCommandEvent& event);
    void OnDontRunLeftDown(wxMouseEvent& event);

    // --- controls
    wxCheckBox* m_enabled;
    wxStaticText* m_dateLabel;
    wxTextCtrl* m_name;
    wxTextCtrl* m_description;
    wxTextCtrl* m_folderText;
    PathPicker* m_folderPicker;
    wxRadioButton* m_actions[5];   // by the order of their ids, 10038 to 10042
    wxCheckBox* m_gribViewer;
    PathPicker* m_application;
    wxChoice* m_arguments;
    wxCheckBox* m_override;
    wxButton* m_mapButton;
    wxTextCtrl* m_lat;
    wxChoice* m_ns;
    wxTextCtrl* m_lon;
    wxChoice* m_ew;
    wxComboBox* m_width;
    wxCheckBox* m_combine;
    PathPicker* m_gribFile;

    // The texts the validators carry to and from the four fields.
    wxString m_nameText;
    wxString m_descriptionText;
    wxString m_latText;
    wxString m_lonText;

private:
    void EnableApplication(bool enable);
    void FollowOverride();
    void FollowCombine();
    // An action chosen by the user (or the shown one): its code is written back.
    void ActionChosen(int runstat);

    CBatch* m_record = nullptr;
    bool m_isNew = false;
    // The action that OK writes: a code a radio shows once one is selected;
    // a stored code that none shows stays as it was.
    int m_runstat = 0;

    wxDECLARE_EVENT_TABLE();
};
