// The item properties dialog: eight fields of one catalogue item, read-only,
// and a Done button. Nothing is written anywhere.
#pragma once

#include <wx/dialog.h>

class CFileInfo;
class wxTextCtrl;

enum {
    ID_BATCHITEMSPROPERTIES = 10146,
    ID_ITEMPROPS_FILE = 10147,
    ID_ITEMPROPS_DESCRIPTION = 10148,
    ID_ITEMPROPS_NAME = 10149,
    ID_ITEMPROPS_COMPRESSION = 10150,
    ID_ITEMPROPS_PRICE = 10151,
    ID_ITEMPROPS_SIZE = 10152,
    ID_ITEMPROPS_TYPE = 10153,
    ID_ITEMPROPS_SOURCE = 10154,
    ID_ITEMPROPS_DONE = 10155,
};

class BatchItemsProperties : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(BatchItemsProperties);

public:
    BatchItemsProperties();
    BatchItemsProperties(wxWindow* parent, wxWindowID id = ID_BATCHITEMSPROPERTIES,
                         const wxString& caption = _("Weather File Properties"), const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxSize(400, 300),
                         long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    ~BatchItemsProperties() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_BATCHITEMSPROPERTIES,
                const wxString& caption = _("Weather File Properties"), const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxSize(400, 300),
                long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    void Init();
    void CreateControls();

    // Takes the eight fields of a catalogue item (shown when the dialog is).
    void SetItem(const CFileInfo& item);

    void OnButton2Click(wxCommandEvent& event);

    // The texts the fields show.
    wxString m_file;
    wxString m_description;
    wxString m_name;
    wxString m_compression;
    wxString m_price;
    wxString m_size;
    wxString m_type;
    wxString m_source;

    wxTextCtrl* m_fileCtrl;
    wxTextCtrl* m_descriptionCtrl;
    wxTextCtrl* m_nameCtrl;
    wxTextCtrl* m_compressionCtrl;
    wxTextCtrl* m_priceCtrl;
    wxTextCtrl* m_sizeCtrl;
    wxTextCtrl* m_typeCtrl;
    wxTextCtrl* m_sourceCtrl;

    wxDECLARE_EVENT_TABLE();
};
