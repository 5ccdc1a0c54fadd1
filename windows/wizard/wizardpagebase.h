// What every content-wizard page but the welcome page shares: the frame of
// the page (background, page strip, Finish button, page picture), its
// leaving copy and the common Finish; and the small pieces the pages build
// from: check-box rows held as tables, a choice bound to an index that may
// be out of the list, the page fonts.
#pragma once

#include <cstddef>

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/scrolwin.h>
#include <wx/validate.h>
#include <wx/wizard.h>

class ContentWizard;
class DLPrefs;
class WizardNavigator;
class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxFont;
class wxSizer;

namespace tw::wizard {

// One check box of a page and the download preference it carries. A row
// with id 0 has no check box: the page loads its value and copies it back
// unchanged. A row without a field has no preference.
struct CheckRow {
    int id;
    const char* label;       // untranslated
    const char* tooltip;     // untranslated; null: none
    bool DLPrefs::*field;
};

// Copies the rows' fields into values (one per row) and back.
void LoadRows(const CheckRow* rows, size_t count, const DLPrefs& prefs, bool* values);
void StoreRows(const CheckRow* rows, size_t count, const bool* values, DLPrefs& prefs);

// Makes the check box of a row: unticked, with its tooltip and font, bound
// to `value` by the toolkit's boolean validator.
wxCheckBox* MakeCheckBox(wxWindow* parent, const CheckRow& row, bool* value, const wxFont& font);

// Sets the check boxes with these ids (children of `page`) to `state`, on
// the screen only.
void SetCheckBoxes(wxWindow* page, const int* ids, size_t count, bool state);

// Tahoma (or the system's stand-in for it) in points, bold or normal.
wxFont PageFont(int points, bool bold);

// Gives every label, check box, radio button and choice under `parent` (group
// boxes included) the room its text needs in its own font. On GTK a control
// on a page that was never shown is measured in the desktop's font, not in
// the font set on it, so a page would otherwise be laid out (and the wizard
// sized) too small for its larger texts.
void FitLabels(wxWindow* parent);

// Breaks the text of every label and check box under `parent` (group boxes
// included) that is wider than `width` into lines no wider than that, and
// lets it be measured afresh. Texts that fit are left as they are.
void WrapWideTexts(wxWindow* parent, int width);

// Forgets the best size every window under `parent` remembers, so the next
// layout measures them in the fonts they show now.
void InvalidateBestSizes(wxWindow* parent);

// A choice bound to an int index. An index that names no entry shows no
// selection, and then reading the choice back leaves the int as it was: a
// stored index is never replaced by one the user did not choose.
class ChoiceIndexValidator : public wxValidator
{
public:
    explicit ChoiceIndexValidator(int* value) : m_value(value) {}
    ChoiceIndexValidator(const ChoiceIndexValidator&) = default;

    wxObject* Clone() const override { return new ChoiceIndexValidator(*this); }
    bool Validate(wxWindow*) override { return true; }
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

private:
    int* m_value;
};

} // namespace tw::wizard

// The common frame of a content page. Derived pages give their frame
// values, build their own controls in CreateControls (between BeginPage and
// EndPage) and copy their values into the download preferences in
// CopyToPrefs. A page given less room than its controls need (a small
// screen, large text) scrolls, with scroll bars only where they are needed.
class ContentWizardPage : public wxWizardPageSimple, public wxScrollHelper
{
    wxDECLARE_ABSTRACT_CLASS(ContentWizardPage);

public:
    WX_FORWARD_TO_SCROLL_HELPER()

    struct Frame {
        int pageNumber;            // wizard page number
        int stripId;               // id of the page strip
        int finishId;              // id of the Finish button
        const char* bitmap;        // the page picture ("res/wiz_...png")
        const char* finishTooltip; // untranslated; null: none
    };

    ~ContentWizardPage() override;

    const Frame& GetFrame() const { return m_frame; }
    int GetPageNumber() const { return m_frame.pageNumber; }
    WizardNavigator* GetNavigator() const { return m_navigator; }
    wxButton* GetFinishButton() const { return m_finishButton; }
    ContentWizard* GetContentWizard() const;

    // The leaving copy, run whenever the page is left (the wizard's page
    // changing event) and by Finish: the strip marks this page again, then
    // the page's values go into the download preferences in memory.
    void LeavePage();
    // The common Finish: the page's controls read back (a page that refuses
    // a value stays open), the leaving copy, the wizard's commit, and the
    // wizard ends with OK.
    void FinishWizard();

    // The page picture for its exact name; the null bitmap for any other.
    virtual wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString&) { return wxNullIcon; }
    static bool ShowToolTips() { return true; }

protected:
    explicit ContentWizardPage(const Frame& frame);

    // The common Create: picture, links cleared, page made, controls built,
    // sizer fitted.
    bool CreatePage(wxWizard* parent);
    virtual void CreateControls() = 0;
    // The page's own part of the leaving copy.
    virtual void CopyToPrefs() {}

    // Background, the page's vertical sizer, the top spacer and the strip
    // row; returns the sizer the page's controls go into.
    wxBoxSizer* BeginPage();
    // The Finish button (made once; the page places it itself or through
    // AddFinishRow).
    wxButton* MakeFinishButton();
    // The common Finish row, aligned right.
    void AddFinishRow(wxBoxSizer* main);
    // The strip is told its wizard and marks this page.
    void EndPage();

    static DLPrefs& Prefs();

private:
    void OnPageChangingEvent(wxWizardEvent& event);
    void OnFinishButton(wxCommandEvent& event);

    Frame m_frame;
    WizardNavigator* m_navigator = nullptr;
    wxButton* m_finishButton = nullptr;
};
