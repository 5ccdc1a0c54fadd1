#include "windows/wizard/wizardpagebase.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcscreen.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/font.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/textwrapper.h>
#include <wx/valgen.h>

#include "windows/common/Shell.h"
#include "platform/Locations.h"
#include "windows/wizard/contentwizard.h"
#include "windows/wizard/wizardnavigator.h"

namespace tw::wizard {

void LoadRows(const CheckRow* rows, size_t count, const DLPrefs& prefs, bool* values)
{
    for (size_t i = 0; i < count; ++i)
        values[i] = rows[i].field ? prefs.*(rows[i].field) : false;
}

void StoreRows(const CheckRow* rows, size_t count, const bool* values, DLPrefs& prefs)
{
    for (size_t i = 0; i < count; ++i)
        if (rows[i].field)
            prefs.*(rows[i].field) = values[i];
}

wxCheckBox* MakeCheckBox(wxWindow* parent, const CheckRow& row, bool* value, const wxFont& font)
{
    auto* box = new wxCheckBox(parent, row.id, wxGetTranslation(row.label));
    box->SetValue(false);
    if (row.tooltip && ContentWizardPage::ShowToolTips())
        box->SetToolTip(wxGetTranslation(row.tooltip));
    box->SetFont(font);
    box->SetValidator(wxGenericValidator(value));
    return box;
}

void SetCheckBoxes(wxWindow* page, const int* ids, size_t count, bool state)
{
    for (size_t i = 0; i < count; ++i)
        if (auto* box = dynamic_cast<wxCheckBox*>(page->FindWindow(ids[i])))
            box->SetValue(state);
}

wxFont PageFont(int points, bool bold)
{
    return wxFont(points, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL,
                  false, wxS("Tahoma"));
}

namespace {

// Room of a check box's or radio button's mark beside its text, and of a
// label's own edges.
constexpr int kMarkWidth = 30;
constexpr int kMarkHeight = 6;
constexpr int kTextEdge = 2;

void FitLabelsIn(wxWindow* parent, wxDC& dc)
{
    for (wxWindow* child : parent->GetChildren()) {
        if (dynamic_cast<wxStaticBox*>(child)) {
            FitLabelsIn(child, dc);
            continue;
        }
        if (dynamic_cast<wxChoice*>(child) && !dynamic_cast<wxComboBox*>(child)) {
            // A choice made with a fixed width keeps it as its least size,
            // even when its entries need more in the font it shows. (A
            // combo box, one on some toolkits, sizes itself.)
            const wxSize best = child->GetBestSize();
            const wxSize min = child->GetMinSize();
            child->SetMinSize(wxSize(std::max(min.x, best.x), min.y));
            continue;
        }
        const bool text = dynamic_cast<wxStaticText*>(child) != nullptr;
        const bool mark = dynamic_cast<wxCheckBox*>(child) != nullptr || dynamic_cast<wxRadioButton*>(child) != nullptr;
        if (!text && !mark)
            continue;
        const wxString label = wxControl::RemoveMnemonics(child->GetLabel());
        if (label.empty())
            continue;   // nothing in a font to measure
        dc.SetFont(child->GetFont());
        wxSize need = dc.GetMultiLineTextExtent(label) + wxSize(kTextEdge, 0);
        if (mark)
            need += wxSize(kMarkWidth, kMarkHeight);
        // Never less than the toolkit asks for either (a radio button's
        // mark may be higher than its text).
        const wxSize best = child->GetBestSize();
        wxSize min = child->GetMinSize();
        min.x = std::max({min.x, need.x, best.x});
        min.y = std::max({min.y, need.y, best.y});
        child->SetMinSize(min);
    }
}

} // namespace

void FitLabels(wxWindow* parent)
{
    wxScreenDC dc;
    FitLabelsIn(parent, dc);
}

namespace {

// A text broken into lines by the toolkit's own rule (at spaces, each line
// measured in the window's font).
class LineBreaker : public wxTextWrapper
{
public:
    wxString Break(wxWindow* window, const wxString& text, int width)
    {
        m_text.clear();
        Wrap(window, text, width);
        return m_text;
    }

protected:
    void OnOutputLine(const wxString& line) override { m_text += line; }
    void OnNewLine() override { m_text += '\n'; }

private:
    wxString m_text;
};

} // namespace

void WrapWideTexts(wxWindow* parent, int width)
{
    for (wxWindow* child : parent->GetChildren()) {
        if (dynamic_cast<wxStaticBox*>(child)) {
            WrapWideTexts(child, width - 2 * kMarkHeight);
            continue;
        }
        auto* text = dynamic_cast<wxStaticTextBase*>(child);
        auto* box = dynamic_cast<wxCheckBox*>(child);
        if ((!text && !box) || !child->IsShown())
            continue;
        child->InvalidateBestSize();
        if (child->GetBestSize().x <= width)
            continue;
        // Measured again from its text alone: the least size it had was
        // that of the one long line.
        child->SetMinSize(wxDefaultSize);
        if (text)
            text->Wrap(width);
        else
            box->SetLabel(LineBreaker().Break(box, box->GetLabel(), width - kMarkWidth));
        child->InvalidateBestSize();
    }
}

void InvalidateBestSizes(wxWindow* parent)
{
    for (wxWindow* child : parent->GetChildren()) {
        if (child->IsTopLevel())
            continue;
        child->InvalidateBestSize();
        InvalidateBestSizes(child);
    }
}

bool ChoiceIndexValidator::TransferToWindow()
{
    auto* choice = dynamic_cast<wxChoice*>(GetWindow());
    if (!choice || !m_value)
        return false;
    const int index = *m_value;
    choice->SetSelection(index >= 0 && index < static_cast<int>(choice->GetCount()) ? index : wxNOT_FOUND);
    return true;
}

bool ChoiceIndexValidator::TransferFromWindow()
{
    auto* choice = dynamic_cast<wxChoice*>(GetWindow());
    if (!choice || !m_value)
        return false;
    const int index = choice->GetSelection();
    if (index != wxNOT_FOUND)
        *m_value = index;
    return true;
}

} // namespace tw::wizard

wxIMPLEMENT_ABSTRACT_CLASS(ContentWizardPage, wxWizardPageSimple);

namespace {

// Pixels a page scrolls by one step.
constexpr int kScrollStep = 10;

} // namespace

ContentWizardPage::ContentWizardPage(const Frame& frame)
    : wxScrollHelper(this)
    , m_frame(frame)
{
}

ContentWizardPage::~ContentWizardPage() = default;

ContentWizard* ContentWizardPage::GetContentWizard() const
{
    return dynamic_cast<ContentWizard*>(GetParent());
}

DLPrefs& ContentWizardPage::Prefs()
{
    return tw::TheShell().dlPrefs;
}

bool ContentWizardPage::CreatePage(wxWizard* parent)
{
    const wxBitmap bitmap = GetBitmapResource(m_frame.bitmap);
    SetPrev(nullptr);
    SetNext(nullptr);
    // Made as the toolkit makes a wizard page (hidden until it is current,
    // with its picture), but with room for scroll bars.
    wxPanel::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxHSCROLL | wxVSCROLL);
    m_bitmap = bitmap;
    Hide();
    SetScrollRate(kScrollStep, kScrollStep);
    CreateControls();
    tw::wizard::FitLabels(this);
    if (GetSizer())
        GetSizer()->Fit(this);
    Bind(wxEVT_WIZARD_PAGE_CHANGING, &ContentWizardPage::OnPageChangingEvent, this);
    Bind(wxEVT_BUTTON, &ContentWizardPage::OnFinishButton, this, m_frame.finishId);
    return true;
}

wxBoxSizer* ContentWizardPage::BeginPage()
{
    SetBackgroundColour(wxColour(220, 221, 222));
    auto* main = new wxBoxSizer(wxVERTICAL);
    SetSizer(main);
    main->Add(500, 15, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, 0);
    auto* stripRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(stripRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 0);
    m_navigator = new WizardNavigator(this, m_frame.stripId, wxDefaultPosition, SYMBOL_WIZARDNAVIGATOR_SIZE,
                                      SYMBOL_WIZARDNAVIGATOR_STYLE);
    stripRow->Add(m_navigator, 0, wxALIGN_CENTER_VERTICAL | wxFIXED_MINSIZE | wxALL, 0);
    return main;
}

wxButton* ContentWizardPage::MakeFinishButton()
{
    if (!m_finishButton) {
        m_finishButton = new wxButton(this, m_frame.finishId, _("Finish"));
        if (m_frame.finishTooltip && ShowToolTips())
            m_finishButton->SetToolTip(wxGetTranslation(m_frame.finishTooltip));
    }
    return m_finishButton;
}

void ContentWizardPage::AddFinishRow(wxBoxSizer* main)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    main->Add(row, 0, wxALIGN_RIGHT | wxALL, 0);
    auto* column = new wxBoxSizer(wxVERTICAL);
    row->Add(column, 0, wxALIGN_CENTER_VERTICAL | wxALL, 0);
    column->Add(5, 5, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 0);
    column->Add(MakeFinishButton(), 0, wxALIGN_CENTER_HORIZONTAL | wxRIGHT, 10);
}

void ContentWizardPage::EndPage()
{
    m_navigator->m_wizard = GetContentWizard();
    m_navigator->SelectPageButton(m_frame.pageNumber);
    // The strip comes after the page's own controls in the Tab order: a page
    // opens with the focus on its first control, so Return goes on to Next.
    if (!GetChildren().empty() && GetChildren().GetLast()->GetData() != m_navigator)
        m_navigator->MoveAfterInTabOrder(GetChildren().GetLast()->GetData());
}

wxBitmap ContentWizardPage::GetBitmapResource(const wxString& name)
{
    if (m_frame.bitmap && name == m_frame.bitmap) {
        wxBitmap bitmap;
        bitmap.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG);
        return bitmap;
    }
    return wxNullBitmap;
}

void ContentWizardPage::LeavePage()
{
    if (m_navigator)
        m_navigator->SelectPageButton(-1);
    CopyToPrefs();
}

void ContentWizardPage::FinishWizard()
{
    if (!Validate())
        return;
    TransferDataFromWindow();
    LeavePage();
    ContentWizard* wizard = GetContentWizard();
    if (!wizard)
        return;
    wxWizardEvent event(wxEVT_NULL, wxID_ANY, true, nullptr);
    wizard->OnContentwizardFinished(event);
    if (wizard->IsModal())
        wizard->EndModal(wxID_OK);
}

void ContentWizardPage::OnPageChangingEvent(wxWizardEvent&)
{
    LeavePage();
}

void ContentWizardPage::OnFinishButton(wxCommandEvent&)
{
    FinishWizard();
}
