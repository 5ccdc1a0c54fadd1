// Helpers of the content wizard's tests: the application's databases on
// copies of the seed databases, a wizard run modally with steps inside its
// loop, the toolkit's buttons and controls driven by events, and a script
// for the dialogs the wizard opens on top of itself.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filefn.h>
#include <wx/modalhook.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/wizard.h>
#include <wx/wxsqlite3.h>

#include "core/DownloadPreferences.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "support/TestSupport.h"
#include "windows/wizard/contentwizard.h"

namespace wizard_test {

inline wxString Resource(const wxString& name)
{
    return tw::test::ResourcesDir() + "/" + name;
}

// A toolkit assertion is a fault of the code under test: it fails the test
// instead of showing its dialog.
void FailOnAssertions();

// Fresh HOME and settings, copies of the three seed databases open as the
// application's (the catalogue read-only), the world maps loaded, the
// download preferences read afresh from the empty settings file.
class WizardTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    wxSQLite3Database* OpenCopy(const char* name, int flags = WXSQLITE_OPEN_READWRITE | WXSQLITE_OPEN_CREATE);
    wxSQLite3Database& Zones() { return *app.marineZonesDb; }

    // A wizard of the application's kind (id 10156, default position, no
    // parent window); destroyed at the end of the test.
    ContentWizard* MakeWizard();

    tw::test::TempHome home;
    tw::test::TempDir dir;
    TidewrightApp& app = wxGetApp();
    std::vector<ContentWizard*> wizards;
};

// The result of a run the steps left open (the guard ended it).
constexpr int kRunTimedOut = -4242;

// Runs the wizard modally from `page` (0: Run) and calls `steps` inside its
// modal loop once it is shown. The steps end the run (Finish, Cancel,
// EndModal); a run left open is cancelled after a while and fails the test.
bool RunWizard(ContentWizard& wizard, int page, const std::function<void()>& steps, int timeoutMs = 20000);

// The toolkit's wizard buttons, clicked as a user does.
void Next(ContentWizard& wizard);
void Back(ContentWizard& wizard);
void Cancel(ContentWizard& wizard);
wxButton* WizardButton(ContentWizard& wizard, int id);

// Controls of a page driven by events.
void Click(wxWindow* window);   // a button: wxEVT_BUTTON with its id
void Tick(wxCheckBox* box, bool state);   // sets it and sends the click
void Choose(wxChoice* choice, int index);
void Choose(wxRadioBox* box, int index);
void Pick(wxRadioButton* radio);

// The dialogs shown modally on top of the wizard, scripted: each step names
// the class of the dialog it expects and acts on it inside that dialog's
// modal loop (after it is shown). Dialogs no step names are left alone.
class DialogScript : public wxModalDialogHook
{
public:
    using Action = std::function<void(wxDialog*)>;
    DialogScript() { Register(); }
    ~DialogScript() override { Unregister(); }

    // Next dialog of class `T`: run `action` on it.
    template <class T>
    DialogScript& Then(std::function<void(T*)> action)
    {
        m_steps.push_back({[](wxDialog* d) { return dynamic_cast<T*>(d) != nullptr; },
                           [action](wxDialog* d) { action(dynamic_cast<T*>(d)); }, typeid(T).name()});
        return *this;
    }
    // Next dialog of class `T`: end it with `result`.
    template <class T>
    DialogScript& End(int result)
    {
        return Then<T>([result](T* d) { d->EndModal(result); });
    }

    bool Done() const { return m_steps.empty(); }
    size_t Left() const { return m_steps.size(); }
    // The class names of every dialog shown, in order.
    const std::vector<std::string>& Shown() const { return m_shown; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    struct Step {
        std::function<bool(wxDialog*)> matches;
        Action action;
        std::string name;
    };
    std::deque<Step> m_steps;
    std::vector<std::string> m_shown;
};

// Values of the settings file as the program reads them.
wxString SettingText(const wxString& key);
bool HasSetting(const wxString& key);

} // namespace wizard_test
