// The update dialog under Xvfb: checks against the gateway stand-in, their
// reports and failures, cancelling a check that hangs, and database files
// imported from disk.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dir.h>
#include <wx/filedlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "tests/updates/AppUpdateFixture.h"
#include "windows/transfer/updatestatus.h"

using namespace update_test;
using tw::test::BoxShown;
using tw::test::WaitFor;

namespace {

class UpdateDialog : public AppUpdateFixture
{
protected:
    std::unique_ptr<UpdateStatus> Open(bool brief = false, bool offer = true)
    {
        auto dialog = std::make_unique<UpdateStatus>(brief, offer, app.TransferJobBasis());
        dialog->Create(nullptr);
        dialog->Show();
        tw::test::Pump(20);
        return dialog;
    }

    static wxButton* Button(UpdateStatus& d, int id) { return dynamic_cast<wxButton*>(d.FindWindow(id)); }
    static bool Enabled(UpdateStatus& d, int id) { return Button(d, id)->IsEnabled(); }

    // Clicks a button the way a user can: only when it is enabled.
    static void Click(UpdateStatus& d, int id)
    {
        wxButton* button = Button(d, id);
        ASSERT_TRUE(button && button->IsEnabled()) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }

    static wxString Summary(UpdateStatus& d)
    {
        wxWindow* box = d.FindWindow(UpdateStatus::ID_AVAILABLE_BOX);
        for (wxWindow* child : box->GetChildren())
            if (auto* text = dynamic_cast<wxStaticText*>(child))
                return text->GetLabel();
        for (wxWindow* child : d.GetChildren())
            if (auto* text = dynamic_cast<wxStaticText*>(child))
                return text->GetLabel();
        return "<no label>";
    }
    static wxString Report(UpdateStatus& d)
    {
        return dynamic_cast<wxTextCtrl*>(d.FindWindow(UpdateStatus::ID_REPORT))->GetValue();
    }

    // Runs a check and waits for its end.
    void Check(UpdateStatus& d)
    {
        Click(d, UpdateStatus::ID_CHECK_BUTTON);
        ASSERT_TRUE(WaitFor([&] { return d.GetRunState() == 0 && d.GetThread() && !d.GetThread()->IsAlive(); },
                            20000));
        WaitFor([&] { return Enabled(d, UpdateStatus::ID_OK_BUTTON) || Report(d).Contains("failed"); }, 5000);
    }

    // A file with bzip2 of it beside (name + ".bz2").
    wxString WithBzip2(const wxString& path)
    {
        const std::string cmd = "bzip2 -k -f '" + path.ToStdString() + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        return path + ".bz2";
    }

    // Names of the files in the updates folder.
    std::vector<wxString> UpdateFiles()
    {
        std::vector<wxString> names;
        wxDir dir(updates);
        wxString name;
        for (bool more = dir.GetFirst(&name, wxEmptyString, wxDIR_FILES); more; more = dir.GetNext(&name))
            names.push_back(name);
        std::sort(names.begin(), names.end());
        return names;
    }
};

const std::string kNotes = "Ship's notes: new charts for the Pacific.\n";

} // namespace

// What a successful check reports for each kind of offer.
TEST_F(UpdateDialog, CheckReportsWhatIsNewer)
{
    const wxString hyphens(wxUniChar('-'), 47);
    const struct {
        const char* name;
        std::vector<std::string> faults;
        const char* summary;
        int productSize, zonesSize;
        bool offerLine;
    } cases[] = {
        {"nothing newer", {"update-zir=500", "update-mz=500", "update-zirsz=90000", "update-mzsz=9000"},
         "No updates required at this time", 0, 0, false},
        {"older on the server", {"update-zir=499", "update-mz=12"}, "No updates required at this time", 0, 0, false},
        {"newer catalogue", {"update-zir=501", "update-mz=500", "update-zirsz=204800", "update-mzsz=9000"},
         "File List: 200 Kb", 204800, 0, true},
        {"newer zones only", {"update-zir=500", "update-mz=501", "update-mzsz=5000"}, "Zones List: 4 Kb", 0, 5000,
         true},
        {"both newer", {"update-zir=501", "update-mz=501", "update-zirsz=3000", "update-mzsz=1500"},
         "File List: 2 Kb        Zones List: 1 Kb", 3000, 1500, true},
        {"below one Kb", {"update-zir=501", "update-zirsz=1023"}, "File List: 0 Kb", 1023, 0, true},
        {"a size that cannot be", {"update-zir=501", "update-zirsz=-5"}, "No updates required at this time", 0, 0,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> faults = c.faults;
        faults.push_back("update-notes=" + kNotes.substr(0, kNotes.size() - 1) + "\\n");
        sim.SetFaults(faults);
        auto d = Open();
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_OK_BUTTON));
        Check(*d);
        EXPECT_EQ(Summary(*d), c.summary);
        EXPECT_TRUE(d->CheckSucceeded());
        EXPECT_EQ(d->GetNewProductDBSize(), c.productSize);
        EXPECT_EQ(d->GetNewMarineZonesSize(), c.zonesSize);
        EXPECT_TRUE(Enabled(*d, UpdateStatus::ID_OK_BUTTON));
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_CHECK_BUTTON));
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_IMPORT_BUTTON));
        EXPECT_TRUE(Enabled(*d, UpdateStatus::ID_CANCEL_BUTTON));
        const wxString notes = wxString::FromUTF8(kNotes.c_str()) + "\r\n";
        const wxString offerLine =
            c.offerLine ? "*** Press the OK button to continue with Product Database Update ***\r\n\r\n" + hyphens + "\r\n"
                        : wxString();
        EXPECT_EQ(Report(*d), offerLine + notes);
        Click(*d, UpdateStatus::ID_OK_BUTTON);
        EXPECT_EQ(d->GetReturnCode(), wxID_OK);
        EXPECT_FALSE(d->IsImported());
    }
}

// The brief form shows no notes; without the offer, OK is the only way out.
TEST_F(UpdateDialog, BriefAndWithoutOffer)
{
    sim.SetFaults({"update-zir=501", "update-zirsz=4096"});
    {
        auto d = Open(true, true);
        Check(*d);
        EXPECT_EQ(Report(*d), "*** Press the OK button to continue with Product Database Update ***\r\n");
    }
    {
        auto d = Open(false, false);
        Check(*d);
        EXPECT_TRUE(Enabled(*d, UpdateStatus::ID_IMPORT_BUTTON));
        EXPECT_TRUE(Enabled(*d, UpdateStatus::ID_OK_BUTTON));
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_CANCEL_BUTTON));
        EXPECT_FALSE(Report(*d).Contains("Press the OK button"));
    }
}

// Failed checks: the user sees why, and the report says the check failed.
TEST_F(UpdateDialog, FailedChecks)
{
    const struct {
        const char* name;
        std::vector<std::string> faults;
        const char* removeFile;
        const char* box;
    } cases[] = {
        {"login refused", {"refuse-login"}, nullptr, "ERROR: Invalid login"},
        {"server error", {"update-line=ERROR: The update service is down."}, nullptr,
         "ERROR: The update service is down."},
        {"catalogue missing", {}, "zir.db", "Installation problem (zir.db). Please re-install Tidewright and try again."},
        {"zones missing", {}, "MarineZones.db",
         "Installation problem (marinezones.db). Please re-install Tidewright and try again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        sim.Configure();
        sim.SetFaults(c.faults);
        const wxString aside = scratch / "aside.db";
        if (c.removeFile)
            wxRenameFile(dbDir + "/" + c.removeFile, aside);
        auto d = Open();
        Check(*d);
        EXPECT_TRUE(BoxShown(c.box));
        EXPECT_EQ(Report(*d), "Check update was interrupted or failed.");
        EXPECT_FALSE(d->CheckSucceeded());
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_OK_BUTTON));
        EXPECT_TRUE(Enabled(*d, UpdateStatus::ID_CANCEL_BUTTON));
        Click(*d, UpdateStatus::ID_CANCEL_BUTTON);
        EXPECT_EQ(d->GetReturnCode(), wxID_CANCEL);
        if (c.removeFile)
            wxRenameFile(aside, dbDir + "/" + c.removeFile);
    }
}

// Cancel while the server does not answer closes the connection, and the
// end of the check closes the dialog. The Cancel handler returns at once:
// the wait before the connection is closed runs on a timer, with the window
// answering meanwhile.
TEST_F(UpdateDialog, CancelWhileTheServerHangs)
{
    sim.SetFaults({"update-stall"});
    auto d = Open();
    d->cancelWaitMs = 600;
    Click(*d, UpdateStatus::ID_CHECK_BUTTON);
    ASSERT_TRUE(WaitFor([&] { return Report(*d).StartsWith("Contacting server to check updates.  Please wait ..."); }));
    tw::test::Pump(200);
    const wxLongLong start = wxGetLocalTimeMillis();
    Click(*d, UpdateStatus::ID_CANCEL_BUTTON);
    EXPECT_LT((wxGetLocalTimeMillis() - start).ToLong(), 300) << "the click waited on the main thread";
    EXPECT_TRUE(d->IsShown());
    ASSERT_TRUE(WaitFor([&] { return !d->IsShown(); }, 10000));
    EXPECT_GE((wxGetLocalTimeMillis() - start).ToLong(), 500) << "the check got its moment to stop by itself";
    EXPECT_LT((wxGetLocalTimeMillis() - start).ToLong(), 5000);
    EXPECT_EQ(d->GetReturnCode(), wxID_CANCEL);
    EXPECT_FALSE(d->CheckSucceeded());
}

// Destroying the dialog while the check hangs ends the check at once.
TEST_F(UpdateDialog, ClosingWhileTheServerHangs)
{
    sim.SetFaults({"update-stall"});
    auto d = Open();
    Click(*d, UpdateStatus::ID_CHECK_BUTTON);
    ASSERT_TRUE(WaitFor([&] { return Report(*d).StartsWith("Contacting server"); }));
    const wxLongLong start = wxGetLocalTimeMillis();
    d.reset();
    EXPECT_LT((wxGetLocalTimeMillis() - start).ToLong(), 5000);
}

// Database files from disk are placed all or none, under the databases' own
// names, and only when each one is whole.
TEST_F(UpdateDialog, ImportFromDisk)
{
    // Sources: good databases, plain and compressed, and bad ones.
    const wxString src = scratch / "src";
    wxMkdir(src);
    const auto write = [&](const wxString& name, const std::string& bytes) {
        tw::test::WriteFile(src + "/" + name, bytes);
        return src + "/" + name;
    };
    const wxString goodZir = write("zir.db", Newer("zir.db", 601));
    const wxString goodZirBz2 = WithBzip2(goodZir);
    const wxString zirPlain702 = write("ZIR.DB", Newer("zir.db", 702));
    const wxString goodZones = write("marinezones.DB", Newer("MarineZones.db", 603));
    wxMkdir(src + "/bad");
    const wxString truncated = src + "/bad/zir.db.bz2";
    {
        const std::string whole = tw::test::ReadFile(goodZirBz2);
        tw::test::WriteFile(truncated, whole.substr(0, whole.size() / 2));
    }
    const wxString notADatabase = src + "/bad/zir.db";
    tw::test::WriteFile(notADatabase, std::string(8192, 'x'));
    const wxString emptyZones = src + "/bad/MarineZones.db";
    tw::test::WriteFile(emptyZones, "");
    const wxString other = write("other.db", Newer("zir.db", 604));
    wxMkdir(src + "/unreadable");
    const wxString noColumn = src + "/unreadable/zir.db";
    tw::test::WriteFile(noColumn, Newer("zir.db", 605, "ALTER TABLE products DROP COLUMN ChartTypeIdx"));

    const struct {
        const char* name;
        std::vector<wxString> chosen;
        const char* summary;
        bool imported;
        int zirVersion;     // of the pending file afterwards (-1: none but the earlier one)
        int zonesVersion;
    } cases[] = {
        {"compressed catalogue and plain zones", {goodZirBz2, goodZones},
         "Selected Product Database files: zir.db.bz2, marinezones.DB", true, 601, 603},
        {"a later file for the same database wins", {goodZirBz2, zirPlain702},
         "Selected Product Database files: zir.db.bz2, ZIR.DB", true, 702, -1},
        {"a truncated file spoils the lot", {goodZones, truncated},
         "Selected Product Database files: marinezones.DB, zir.db.bz2", false, -1, -1},
        {"not a database", {notADatabase}, "Selected Product Database files: zir.db", false, -1, -1},
        {"an empty file", {goodZirBz2, emptyZones},
         "Selected Product Database files: zir.db.bz2, MarineZones.db", false, -1, -1},
        {"other names only", {other}, "Selected Product Database files: ", false, -1, -1},
        {"a catalogue the load cannot read", {goodZones, noColumn},
         "Selected Product Database files: marinezones.DB, zir.db", false, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        tw::test::ClearLog();
        // An update waiting from before stays unless the import replaces it.
        for (const wxString& name : UpdateFiles())
            wxRemoveFile(updates + "/" + name);
        tw::test::WriteFile(updates + "/zir.db", Newer("zir.db", 555));

        wxString answer;
        for (const wxString& path : c.chosen)
            answer << path << "\n";
        tw::test::AnswerChooser(answer);
        auto d = Open();
        Click(*d, UpdateStatus::ID_IMPORT_BUTTON);
        ASSERT_EQ(tw::test::Ui().choosers.size(), 1u);
        const tw::FileChooserRequest& request = tw::test::Ui().choosers[0];
        EXPECT_EQ(request.message, "Choose one or more Product Database files");
        EXPECT_EQ(request.wildcard, "DB files (*.db;*.db.bz2)|*.db;*.db.bz2");
        EXPECT_TRUE(request.style & wxFD_MULTIPLE);
        EXPECT_EQ(Summary(*d), c.summary);
        EXPECT_EQ(Report(*d), "*** Press the OK button to install the new Product Database updates. ***\r\n");
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_IMPORT_BUTTON));
        EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_CHECK_BUTTON));
        Click(*d, UpdateStatus::ID_OK_BUTTON);
        EXPECT_EQ(d->GetReturnCode(), wxID_OK);
        EXPECT_EQ(d->IsImported(), c.imported);

        EXPECT_EQ(Version(updates + "/zir.db"), c.zirVersion < 0 ? 555 : c.zirVersion);
        EXPECT_EQ(wxFileExists(updates + "/MarineZones.db") ? Version(updates + "/MarineZones.db") : -1,
                  c.zonesVersion);
        for (const wxString& name : UpdateFiles())
            EXPECT_TRUE(name == "zir.db" || name == "MarineZones.db") << name;
        const bool placing = wxString(c.summary) != "Selected Product Database files: ";
        EXPECT_EQ(tw::test::LogContains("Aborting database imports."), placing && !c.imported);
    }

    // The chooser cancelled.
    tw::test::ResetUi();
    auto d = Open();
    Click(*d, UpdateStatus::ID_IMPORT_BUTTON);
    EXPECT_EQ(Summary(*d), "No files selected.");
    EXPECT_EQ(Report(*d), "");
    EXPECT_FALSE(Enabled(*d, UpdateStatus::ID_OK_BUTTON));
    EXPECT_TRUE(Enabled(*d, UpdateStatus::ID_IMPORT_BUTTON));
}

// A picture of the dialog after a check that found a newer catalogue.
TEST_F(UpdateDialog, Screenshot)
{
    sim.SetFaults({"update-zir=501", "update-mz=501", "update-zirsz=2457600", "update-mzsz=307200",
                   "update-notes=Service notes\\n- New GRIB regions for the South Pacific.\\n"});
    auto d = Open();
    Check(*d);
    tw::test::Pump(200);
    EXPECT_TRUE(tw::test::Screenshot(d.get(), "/tmp/tidewright-updatestatus.png"));
}
