// The page strip across the top of every content-wizard page but the
// welcome page: eleven picture buttons, one per page, that jump straight to
// their page (ContentWizard::GoToPage). The strip of a page marks that
// page's own button (its "_select" face). Its buttons are in the page's Tab
// order after the page's own controls, and Space or Return presses the one
// that has the focus.
//
// The owning page creates its strip, then sets m_wizard and calls
// SelectPageButton with its own wizard page number; each time the page is
// left it calls SelectPageButton(-1).
#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/panel.h>

class ContentWizard;
class wxPictureButton;

#define SYMBOL_WIZARDNAVIGATOR_STYLE wxTAB_TRAVERSAL
#define SYMBOL_WIZARDNAVIGATOR_SIZE wxSize(601, 54)

class WizardNavigator : public wxPanel
{
    wxDECLARE_DYNAMIC_CLASS(WizardNavigator);
    wxDECLARE_EVENT_TABLE();

public:
    WizardNavigator();
    WizardNavigator(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = SYMBOL_WIZARDNAVIGATOR_SIZE, long style = SYMBOL_WIZARDNAVIGATOR_STYLE);
    ~WizardNavigator() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = SYMBOL_WIZARDNAVIGATOR_SIZE, long style = SYMBOL_WIZARDNAVIGATOR_STYLE);
    // Button pointers to null, the background picture loaded, no page remembered.
    void Init();
    void CreateControls();

    // Marks the button of wizard page `page` (1 to 11); -1 marks the page
    // remembered from the first call that named one. The first call with a
    // page from 1 to 11 fixes the remembered page for good; any other number
    // marks nothing.
    void SelectPageButton(int page);
    // The remembered page (-1 until one was named).
    int GetSelectedPage() const { return m_selectedPage; }
    // The page marked now (-1 when none).
    int GetMarkedPage() const { return m_markedPage; }

    // The button of a wizard page number (1 to 11), or null.
    wxPictureButton* GetPageButton(int page) const;

    // Asks the wizard to show that page (nothing calls it).
    void LaunchWizard(int page);

    // The 33 button faces by their exact names; the null bitmap for any other.
    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);
    static bool ShowToolTips() { return true; }

    ContentWizard* m_wizard = nullptr;   // set by the owning page, not owned

private:
    void OnPaint(wxPaintEvent& event);
    void OnEraseBackground(wxEraseEvent& event);
    void OnPageButtonClick(wxCommandEvent& event);

    wxPictureButton* m_buttons[11];   // by place, left to right
    wxImage m_background;
    wxBitmap m_backgroundBitmap;      // made from m_background at the first paint
    int m_selectedPage = -1;
    int m_markedPage = -1;
};
