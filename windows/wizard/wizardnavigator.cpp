#include "windows/wizard/wizardnavigator.h"

#include <wx/dcclient.h>
#include <wx/intl.h>

#include "platform/Locations.h"
#include "windows/common/PictureButton.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/contentwizard.h"

using tw::wizard::StripButton;

namespace {

constexpr int kFirstButtonId = 10136;
constexpr int kLastButtonId = 10146;
constexpr const char* kBackground = "res/loadwin_toll_bkg_no_transp.png";

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardNavigator, wxPanel);

wxBEGIN_EVENT_TABLE(WizardNavigator, wxPanel)
    EVT_PAINT(WizardNavigator::OnPaint)
    EVT_ERASE_BACKGROUND(WizardNavigator::OnEraseBackground)
    EVT_COMMAND_RANGE(kFirstButtonId, kLastButtonId, wxEVT_BUTTON, WizardNavigator::OnPageButtonClick)
wxEND_EVENT_TABLE()

WizardNavigator::WizardNavigator()
{
    Init();
}

WizardNavigator::WizardNavigator(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
{
    Init();
    Create(parent, id, pos, size, style);
}

WizardNavigator::~WizardNavigator() = default;

bool WizardNavigator::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
{
    wxPanel::Create(parent, id, pos, size, style);
    CreateControls();
    return true;
}

void WizardNavigator::Init()
{
    for (wxPictureButton*& b : m_buttons)
        b = nullptr;
    m_background.LoadFile(tw::ResourcesDir() + "/" + kBackground, wxBITMAP_TYPE_PNG);
    m_backgroundBitmap = wxNullBitmap;
    m_selectedPage = -1;
    m_markedPage = -1;
}

void WizardNavigator::CreateControls()
{
    SetBackgroundColour(wxColour(159, 159, 159));
    const StripButton* table = tw::wizard::StripButtons();
    for (int i = 0; i < tw::wizard::kStripButtons; ++i) {
        const StripButton& b = table[i];
        auto* button = new wxPictureButton(this, b.id, GetBitmapResource(tw::wizard::StripFace(b)),
                                           wxPoint(b.x, tw::wizard::kStripButtonY),
                                           wxSize(tw::wizard::kStripButtonSize, tw::wizard::kStripButtonSize),
                                           wxBORDER_NONE);
        const wxString select = tw::wizard::StripSelectFace(b);
        const wxString over = tw::wizard::StripOverFace(b);
        button->SetBitmapPressed(GetBitmapResource(select));
        button->SetBitmapDisabled(GetBitmapResource(select));
        button->SetBitmapCurrent(GetBitmapResource(over));
        // The keyboard focus shows as the hover face: the "_select" face
        // marks the page shown, and a second marked button would mislead.
        button->SetBitmapFocus(GetBitmapResource(over));
        if (ShowToolTips())
            button->SetToolTip(wxGetTranslation(b.tooltip));
        m_buttons[i] = button;
    }
    // The picture button has the hand pointer of its own.
}

void WizardNavigator::SelectPageButton(int page)
{
    if (page == -1)
        page = m_selectedPage;
    const StripButton* button = tw::wizard::StripButtonOfPage(page);
    if (!button)
        return;   // no page of the strip: nothing marked, nothing remembered
    if (m_selectedPage == -1)
        m_selectedPage = page;

    m_markedPage = page;
    for (int i = 0; i < tw::wizard::kStripButtons; ++i) {
        if (m_buttons[i])
            m_buttons[i]->SetSelected(i == button->place - 1);
    }
}

wxPictureButton* WizardNavigator::GetPageButton(int page) const
{
    const StripButton* button = tw::wizard::StripButtonOfPage(page);
    return button ? m_buttons[button->place - 1] : nullptr;
}

void WizardNavigator::LaunchWizard(int page)
{
    if (m_wizard)
        m_wizard->GoToPage(page);
}

wxBitmap WizardNavigator::GetBitmapResource(const wxString& name)
{
    const StripButton* table = tw::wizard::StripButtons();
    for (int i = 0; i < tw::wizard::kStripButtons; ++i) {
        const StripButton& b = table[i];
        if (name == tw::wizard::StripFace(b) || name == tw::wizard::StripSelectFace(b)
            || name == tw::wizard::StripOverFace(b)) {
            wxBitmap bitmap;
            bitmap.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG);
            return bitmap;
        }
    }
    return wxNullBitmap;
}

wxIcon WizardNavigator::GetIconResource(const wxString&)
{
    return wxNullIcon;
}

void WizardNavigator::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (!m_backgroundBitmap.IsOk() && m_background.IsOk())
        m_backgroundBitmap = wxBitmap(m_background);
    if (m_backgroundBitmap.IsOk())
        dc.DrawBitmap(m_backgroundBitmap, 0, 0, false);
}

void WizardNavigator::OnEraseBackground(wxEraseEvent& event)
{
    event.Skip();
}

void WizardNavigator::OnPageButtonClick(wxCommandEvent& event)
{
    const StripButton* button = tw::wizard::StripButtonOfId(event.GetId());
    if (button && m_wizard)
        m_wizard->GoToPage(button->pageNumber);
}
