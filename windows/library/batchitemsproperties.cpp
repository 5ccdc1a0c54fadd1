#include "windows/library/batchitemsproperties.h"

#include <algorithm>
#include <vector>

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "model/FileInfo.h"

wxIMPLEMENT_DYNAMIC_CLASS(BatchItemsProperties, wxDialog);

wxBEGIN_EVENT_TABLE(BatchItemsProperties, wxDialog)
    EVT_BUTTON(ID_ITEMPROPS_DONE, BatchItemsProperties::OnButton2Click)
wxEND_EVENT_TABLE()

BatchItemsProperties::BatchItemsProperties()
{
    Init();
}

BatchItemsProperties::BatchItemsProperties(wxWindow* parent, wxWindowID id, const wxString& caption,
                                           const wxPoint& pos, const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

BatchItemsProperties::~BatchItemsProperties() = default;

void BatchItemsProperties::Init()
{
    m_file.clear();
    m_description.clear();
    m_name.clear();
    m_compression.clear();
    m_price.clear();
    m_size.clear();
    m_type.clear();
    m_source.clear();
    m_fileCtrl = m_descriptionCtrl = m_nameCtrl = m_compressionCtrl = nullptr;
    m_priceCtrl = m_sizeCtrl = m_typeCtrl = m_sourceCtrl = nullptr;
}

bool BatchItemsProperties::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
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

void BatchItemsProperties::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    struct Field {
        const char* label;
        wxWindowID id;
        int width;
        wxString* text;
        wxTextCtrl** control;
    };
    // Rows of one or two labelled fields; the first label of a row is 75
    // pixels wide, the second 130.
    const std::vector<std::vector<Field>> rows = {
        {{"File:", ID_ITEMPROPS_FILE, 350, &m_file, &m_fileCtrl}},
        {{"Description:", ID_ITEMPROPS_DESCRIPTION, 350, &m_description, &m_descriptionCtrl}},
        {{"Name:", ID_ITEMPROPS_NAME, 100, &m_name, &m_nameCtrl},
         {"Compression:", ID_ITEMPROPS_COMPRESSION, 100, &m_compression, &m_compressionCtrl}},
        {{"Price:", ID_ITEMPROPS_PRICE, 100, &m_price, &m_priceCtrl},
         {"Size:", ID_ITEMPROPS_SIZE, 100, &m_size, &m_sizeCtrl}},
        {{"Type:", ID_ITEMPROPS_TYPE, 100, &m_type, &m_typeCtrl},
         {"Source:", ID_ITEMPROPS_SOURCE, 100, &m_source, &m_sourceCtrl}},
    };
    for (const std::vector<Field>& fields : rows) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
        for (size_t i = 0; i < fields.size(); ++i) {
            const Field& f = fields[i];
            auto* label = new wxStaticText(this, wxID_STATIC, wxGetTranslation(f.label), wxDefaultPosition,
                                           wxDefaultSize, wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
            // 75 (first) or 130 pixels, or what the label needs to be read whole.
            label->SetMinSize(wxSize(std::max(i == 0 ? 75 : 130, label->GetBestSize().x), -1));
            row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
            *f.control = new wxTextCtrl(this, f.id, wxString(), wxDefaultPosition, wxSize(f.width, -1),
                                        wxTE_READONLY);
            (*f.control)->SetValidator(wxTextValidator(wxFILTER_NONE, f.text));
            row->Add(*f.control, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        }
    }
    auto* done = new wxButton(this, ID_ITEMPROPS_DONE, _("Done"));
    done->SetDefault();
    top->Add(done, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
}

void BatchItemsProperties::SetItem(const CFileInfo& item)
{
    const CFileInfo::t_info& i = item.info;
    m_file = i.Path;
    m_description = i.Description;
    m_name = i.Title;
    m_compression = i.Compression;
    m_price = i.Price;
    m_size = i.CompressedSize;
    m_type = i.ChartType;
    m_source = i.Source;
    TransferDataToWindow();
}

void BatchItemsProperties::OnButton2Click(wxCommandEvent&)
{
    EndModal(wxID_OK);
}
