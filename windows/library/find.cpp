#include "windows/library/find.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/valgen.h>
#include <wx/valtext.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"
#include "windows/library/FindQuery.h"
#include "windows/library/LibraryRules.h"
#include "platform/Accessible.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"

wxIMPLEMENT_DYNAMIC_CLASS(Find, wxDialog);

wxBEGIN_EVENT_TABLE(Find, wxDialog)
    EVT_BUTTON(ID_FIND_NOW, Find::OnFindNowButtonClick)
    EVT_BUTTON(ID_FIND_STOP, Find::OnStopButtonClick)
    EVT_BUTTON(ID_FIND_NEW_SEARCH, Find::OnNewSearchButtonClick)
    EVT_BUTTON(ID_FIND_DONE, Find::OnDoneButtonClick)
    EVT_LIST_BEGIN_DRAG(ID_FIND_RESULTS, Find::OnListctrlBeginDrag)
    EVT_CLOSE(Find::OnClose)
wxEND_EVENT_TABLE()

Find::Find()
{
    Init();
}

Find::Find(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size,
           long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

Find::~Find() = default;

void Find::Init()
{
    m_whatCtrl = nullptr;
    m_categoryChoice = m_regionChoice = m_typeChoice = nullptr;
    m_results = nullptr;
}

bool Find::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size,
                  long style)
{
    SetExtraStyle(wxWS_EX_VALIDATE_RECURSIVELY);
    if (!wxDialog::Create(parent, id, caption, pos, size, style))
        return false;
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre(wxBOTH);
    return true;
}

void Find::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    // Four rows of a label, a field and a button; the field takes the spare width.
    auto row = [&](const char* label, wxWindow* middle, int buttonId, const char* buttonLabel) {
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        top->Add(sizer, 0, wxGROW | wxALL, 1);
        auto* text = new wxStaticText(this, wxID_STATIC, wxGetTranslation(label));
        // 50 pixels, or what the label needs to be read whole.
        text->SetMinSize(wxSize(std::max(50, text->GetBestSize().x), -1));
        sizer->Add(text, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
        sizer->Add(middle, 1, wxALIGN_CENTER_VERTICAL | wxALL, 2);
        auto* button = new wxButton(this, buttonId, wxGetTranslation(buttonLabel));
        sizer->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
        return button;
    };
    m_whatCtrl = new wxTextCtrl(this, ID_FIND_WHAT, wxString(), wxDefaultPosition, wxSize(500, -1));
    m_whatCtrl->SetValidator(wxTextValidator(wxFILTER_NONE, &m_words));
    row("What:", m_whatCtrl, ID_FIND_NOW, "Find Now")->SetDefault();
    m_categoryChoice = new wxChoice(this, ID_FIND_CATEGORY, wxDefaultPosition, wxSize(500, -1));
    row("Category:", m_categoryChoice, ID_FIND_STOP, "Stop")->Disable();
    m_regionChoice = new wxChoice(this, ID_FIND_REGION, wxDefaultPosition, wxSize(400, -1));
    row("Region:", m_regionChoice, ID_FIND_NEW_SEARCH, "New Search");
    m_typeChoice = new wxChoice(this, ID_FIND_TYPE, wxDefaultPosition, wxSize(500, -1));
    row("Type:", m_typeChoice, ID_FIND_DONE, "Done");

    auto* resultsRow = new wxBoxSizer(wxHORIZONTAL);
    top->Add(resultsRow, 1, wxGROW | wxALL, 1);
    auto* resultsBox = new wxBoxSizer(wxVERTICAL);
    resultsRow->Add(resultsBox, 1, wxGROW | wxALL, 0);
    m_results = new wxListCtrl(this, ID_FIND_RESULTS, wxDefaultPosition, wxSize(524, 260), wxLC_REPORT);
    tw::SetAccessible(m_results, tw::AccessibleRole::List, _("Search results"));
    resultsBox->Add(m_results, 2, wxGROW | wxALL, 5);
    const struct {
        const char* title;
        int width;
    } columns[] = {{"Product", 200}, {"Category", 140}, {"Region", 140}, {"Type", 140}, {"Description", 500}};
    for (const auto& column : columns)
        m_results->AppendColumn(column.title, wxLIST_FORMAT_LEFT, column.width);

    m_categoryChoice->SetValidator(wxGenericValidator(&m_category));
    m_regionChoice->SetValidator(wxGenericValidator(&m_region));
    m_typeChoice->SetValidator(wxGenericValidator(&m_type));
    FillChoices();
}

void Find::FillChoices()
{
    tw::ChoiceNames categories, regions, types;
    for (const CProduct& product : tw::TheShell().catalogue) {
        categories.Add(product.name);
        for (const CRegion& region : product.regions) {
            regions.Add(region.name);
            for (const CChartType& chart : region.chartTypes)
                types.Add(chart.name);
        }
    }
    const struct {
        const tw::ChoiceNames& names;
        wxArrayString& entries;
        wxChoice* choice;
        wxString& chosen;
    } choices[] = {{categories, m_categories, m_categoryChoice, m_category},
                   {regions, m_regions, m_regionChoice, m_region},
                   {types, m_types, m_typeChoice, m_type}};
    for (const auto& c : choices) {
        c.entries.Clear();
        for (const wxString& entry : c.names.Entries())
            c.entries.Add(entry);
        c.choice->Set(c.entries);
        c.choice->SetSelection(0);
        c.chosen = c.entries[0];
    }
}

CFileInfo* Find::ResultItem(long row) const
{
    if (row < 0 || row >= m_results->GetItemCount())
        return nullptr;
    return reinterpret_cast<CFileInfo*>(m_results->GetItemData(row));
}

int Find::Search()
{
    m_results->DeleteAllItems();
    TransferDataFromWindow();
    const tw::SearchStatement statement = tw::BuildSearchStatement(m_words, m_category, m_region, m_type);
    if (statement.tooLong) {
        tw::MessageBox(tw::SearchTooLongText(), wxS("Message"), wxOK | wxCENTRE, tw::BoxParent(this));
        return -1;
    }
    if (statement.empty) {
        tw::MessageBox(wxS("No search values entered"), wxS("Message"), wxOK | wxCENTRE, tw::BoxParent(this));
        return -1;
    }
    tw::Shell& app = tw::TheShell();
    wxSQLite3Database* db = app.GetProductDb();
    long rows = 0;
    wxString failure;
    m_results->Freeze();
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("The product database is not open."));
        wxSQLite3Statement query = db->PrepareStatement(statement.sql);
        for (size_t i = 0; i < statement.values.size(); ++i)
            query.Bind(static_cast<int>(i + 1), statement.values[i]);
        wxSQLite3ResultSet rs = query.ExecuteQuery();
        const int category = rs.FindColumnIndex("Category");
        const int region = rs.FindColumnIndex("Region");
        const int chartType = rs.FindColumnIndex("ChartType");
        const int fileId = rs.FindColumnIndex("FileID");
        const int title = rs.FindColumnIndex("Title");
        const int description = rs.FindColumnIndex("Description");
        CFileInfo copy;
        while (rs.NextRow()) {
            // Only products the catalogue holds can be dragged into a batch.
            CFileInfo* item = app.FindFileInfo(copy, rs.GetAsString(fileId));
            if (!item)
                continue;
            const long row = m_results->InsertItem(rows, rs.GetAsString(title), -1);
            if (row < 0)
                continue;
            m_results->SetItemPtrData(row, reinterpret_cast<wxUIntPtr>(item));
            m_results->SetItem(row, 1, rs.GetAsString(category));
            m_results->SetItem(row, 2, rs.GetAsString(region));
            m_results->SetItem(row, 3, rs.GetAsString(chartType));
            m_results->SetItem(row, 4, rs.GetAsString(description));
            ++rows;
        }
        rs.Finalize();
        query.Finalize();
    } catch (const wxSQLite3Exception& e) {
        failure = e.GetMessage();
    }
    m_results->Thaw();
    if (!failure.empty()) {
        wxLogError("Product search failed: %s", failure);
        tw::MessageBox(wxS("The search could not be run: ") + failure, wxS("Error"), wxOK | wxICON_ERROR,
                       tw::BoxParent(this));
        return -1;
    }
    if (rows == 0)
        tw::MessageBox(wxS("Search returned no results"), wxS("Message"), wxOK | wxCENTRE, tw::BoxParent(this));
    return static_cast<int>(rows);
}

void Find::OnFindNowButtonClick(wxCommandEvent&)
{
    Search();
}

void Find::OnStopButtonClick(wxCommandEvent& event)
{
    event.Skip();
}

void Find::OnNewSearchButtonClick(wxCommandEvent&)
{
    m_results->DeleteAllItems();
    for (wxChoice* choice : {m_categoryChoice, m_regionChoice, m_typeChoice})
        choice->SetSelection(0);
}

void Find::OnDoneButtonClick(wxCommandEvent&)
{
    Destroy();
}

void Find::OnClose(wxCloseEvent&)
{
    // A closed search is not kept hidden: each Find opens a new one.
    Destroy();
}

void Find::OnListctrlBeginDrag(wxListEvent& event)
{
    CFileInfo* item = ResultItem(event.GetIndex());
    if (!item)
        return;
    tw::TheShell().draggedFileInfo = item;
    // A drag runs only while a button holds it; the toolkit's drag loop would
    // otherwise wait for a release that never comes.
    if (!wxGetMouseState().ButtonIsDown(wxMOUSE_BTN_ANY))
        return;
    wxTextDataObject text(tw::CatalogueDragText(item->info.FileID));
    wxDropSource source(text, this);
    source.DoDragDrop(wxDrag_CopyOnly);
}
