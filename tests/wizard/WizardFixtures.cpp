#include "WizardFixtures.h"

#include <wx/app.h>
#include <wx/fileconf.h>

#include "engine/gps/GPSQuery.h"

namespace wizard_test {

namespace {

void OnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE() << "toolkit assertion " << cond.utf8_str() << " (" << msg.utf8_str() << ") in "
                  << func.utf8_str() << " at " << file.utf8_str() << ":" << line;
}

void LoadWorldMaps()
{
    TidewrightApp& app = wxGetApp();
    if (!app.worldMapBitmap.IsOk())
        app.worldMapBitmap.LoadFile(Resource("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG);
    if (!app.worldMapAntiBitmap.IsOk())
        app.worldMapAntiBitmap.LoadFile(Resource("res/WorldmapTiffAnti.PNG"), wxBITMAP_TYPE_PNG);
}

} // namespace

void FailOnAssertions()
{
    wxSetAssertHandler(OnAssert);
}

void WizardTest::SetUp()
{
    FailOnAssertions();
    LoadWorldMaps();
    ASSERT_TRUE(app.worldMapBitmap.IsOk());
    for (const char* name : {"MarineZones.db", "zir_user.db", "zir.db"})
        ASSERT_TRUE(wxCopyFile(Resource(name), dir / name)) << name;
    app.marineZonesDb.reset(OpenCopy("MarineZones.db"));
    app.userDb.reset(OpenCopy("zir_user.db"));
    app.productDb.reset(OpenCopy("zir.db", WXSQLITE_OPEN_READONLY));
    app.dlPrefs = DLPrefs();
    app.homePosition = HomePosition();
    app.dialerVersionKnown = true;   // no dialer query unless a test asks for one
}

void WizardTest::TearDown()
{
    for (ContentWizard* w : wizards)
        w->Destroy();
    wizards.clear();
    tw::test::Pump(20);
    app.gpsQuery.StopQuery();
    app.TerminateAutodialerStatus();
    app.dialerVersionKnown = false;
    app.CloseDatabases();
    app.dlPrefs = DLPrefs();
}

wxSQLite3Database* WizardTest::OpenCopy(const char* name, int flags)
{
    auto* db = new wxSQLite3Database;
    db->Open(dir / name, wxString(), flags);
    db->SetBusyTimeout(50);
    return db;
}

ContentWizard* WizardTest::MakeWizard()
{
    auto* w = new ContentWizard(nullptr, ID_CONTENTWIZARD, wxDefaultPosition);
    wizards.push_back(w);
    return w;
}

bool RunWizard(ContentWizard& wizard, int page, const std::function<void()>& steps, int timeoutMs)
{
    bool timedOut = false;
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (wizard.IsModal()) {
            timedOut = true;
            wizard.EndModal(wxID_CANCEL);
        }
    });
    guard.StartOnce(timeoutMs);
    wizard.CallAfter([&wizard, steps] {
        tw::test::WaitFor([&wizard] { return wizard.IsShownOnScreen(); }, 3000);
        steps();
    });
    const bool finished = page == 0 ? wizard.Run() : wizard.RunFromPage(page);
    guard.Stop();
    EXPECT_FALSE(timedOut) << "the steps left the wizard open";
    return finished;
}

wxButton* WizardButton(ContentWizard& wizard, int id)
{
    return dynamic_cast<wxButton*>(wizard.FindWindow(id));
}

namespace {

void Press(wxButton* button)
{
    ASSERT_NE(button, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

} // namespace

void Next(ContentWizard& wizard)
{
    Press(WizardButton(wizard, wxID_FORWARD));
}

void Back(ContentWizard& wizard)
{
    Press(WizardButton(wizard, wxID_BACKWARD));
}

void Cancel(ContentWizard& wizard)
{
    Press(WizardButton(wizard, wxID_CANCEL));
}

void Click(wxWindow* window)
{
    ASSERT_NE(window, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, window->GetId());
    click.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(click);
}

void Tick(wxCheckBox* box, bool state)
{
    ASSERT_NE(box, nullptr);
    box->SetValue(state);
    wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
    click.SetEventObject(box);
    click.SetInt(state ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(click);
}

void Choose(wxChoice* choice, int index)
{
    ASSERT_NE(choice, nullptr);
    choice->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(index);
    choice->GetEventHandler()->ProcessEvent(event);
}

void Choose(wxRadioBox* box, int index)
{
    ASSERT_NE(box, nullptr);
    box->SetSelection(index);
    wxCommandEvent event(wxEVT_RADIOBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(index);
    box->GetEventHandler()->ProcessEvent(event);
}

void Pick(wxRadioButton* radio)
{
    ASSERT_NE(radio, nullptr);
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
    event.SetEventObject(radio);
    event.SetInt(1);
    radio->GetEventHandler()->ProcessEvent(event);
}

int DialogScript::Enter(wxDialog* dialog)
{
    m_shown.push_back(typeid(*dialog).name());
    if (!m_steps.empty() && m_steps.front().matches(dialog)) {
        Action action = m_steps.front().action;
        m_steps.pop_front();
        // Runs inside the dialog's own modal loop, once it is up.
        dialog->CallAfter([dialog, action] { action(dialog); });
    }
    return wxID_NONE;
}

wxString SettingText(const wxString& key)
{
    CUserConfig file;
    return file.ReadText(key);
}

bool HasSetting(const wxString& key)
{
    CUserConfig file;
    return file.Has(key);
}

} // namespace wizard_test
