// The batch properties dialog: what Fill shows and enables for new and
// stored batches, what WriteBack stores (and refuses), and whole modal runs
// through the application's BatchDialog for OK, an empty name and Cancel.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "LibraryFixtures.h"
#include "ModalDriver.h"
#include "windows/library/BatchDialog.h"
#include "windows/library/PathPicker.h"
#include "windows/map/mapdialog.h"

using namespace library_test;
using tw::test::AnswerBox;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

// A stored batch as the tables below vary it.
CBatch Stored(int id)
{
    CBatch batch;
    CBatch::t_batch& b = batch.info;
    b.ID = id;
    b.title = "Trip";
    b.description = "Coastal trip";
    b.create_date = wxDateTime(15, wxDateTime::Mar, 2024, 10, 0, 0);
    b.runstat = 0;
    b.application = "/opt/tools/viewer";
    b.args = 1;
    b.status = 1;
    b.folder = "/tmp/somewhere";
    b.gribfile = "/tmp/somewhere/all.grb";
    b.bCombineGribs = 1;
    b.bInteractive = 1;
    b.width = 20;
    b.lat = -33.5f;
    b.lon = 151.25f;
    b.runwexpg = 1;
    return batch;
}

class BatchDialogTest : public LibraryTest
{
public:
    void SetUp() override
    {
        LibraryTest::SetUp();
        dialog = new NewBatch(nullptr);
    }
    void TearDown() override
    {
        if (dialog)
            dialog->Destroy();
        Pump(10);
        LibraryTest::TearDown();
    }

    // The ids of the controls that are enabled, of those the rules speak of.
    std::vector<int> Enabled() const
    {
        std::vector<int> ids;
        for (int id : {ID_NEWBATCH_NAME, ID_NEWBATCH_DESCRIPTION, ID_NEWBATCH_APPLICATION, ID_NEWBATCH_ARGUMENTS,
                       ID_NEWBATCH_OVERRIDE, ID_NEWBATCH_MAP, ID_NEWBATCH_LAT, ID_NEWBATCH_NS, ID_NEWBATCH_LON,
                       ID_NEWBATCH_EW, ID_NEWBATCH_WIDTH, ID_NEWBATCH_GRIB_FILE})
            if (dialog->FindWindow(id)->IsThisEnabled())
                ids.push_back(id);
        return ids;
    }
    int SelectedAction() const
    {
        for (int i = 0; i < 5; ++i)
            if (dialog->m_actions[i]->GetValue())
                return dialog->m_actions[i]->GetId();
        return -1;
    }
    // A radio chosen by the user.
    void Choose(int radioId)
    {
        auto* radio = dynamic_cast<wxRadioButton*>(dialog->FindWindow(radioId));
        radio->SetValue(true);
        Press(dialog, radioId, wxEVT_RADIOBUTTON);
    }
    void Tick(wxCheckBox* box, bool on)
    {
        box->SetValue(on);
        Press(dialog, box->GetId(), wxEVT_CHECKBOX);
    }
    void SetGlobalFolder(const wxString& folder)
    {
        app.userDb->ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(folder) + "' WHERE ID=0");
    }

    NewBatch* dialog = nullptr;
};

constexpr int N = ID_NEWBATCH_NAME, D = ID_NEWBATCH_DESCRIPTION, A = ID_NEWBATCH_APPLICATION,
              R = ID_NEWBATCH_ARGUMENTS, O = ID_NEWBATCH_OVERRIDE, M = ID_NEWBATCH_MAP, LA = ID_NEWBATCH_LAT,
              NS = ID_NEWBATCH_NS, LO = ID_NEWBATCH_LON, EW = ID_NEWBATCH_EW, W = ID_NEWBATCH_WIDTH,
              G = ID_NEWBATCH_GRIB_FILE;

} // namespace

// Caption, shown action and enabled controls by batch id, action, Override
// and the combine box.
TEST_F(BatchDialogTest, FillCaptionsActionsAndEnablement)
{
    struct Case {
        const char* name;
        bool isNew;
        int id, runstat, interactive, combine;
        const char* caption;
        int action;
        std::vector<int> enabled;
    };
    const std::vector<Case> cases = {
        {"new batch", true, -1, 0, 1, 1, "New Batch", ID_NEWBATCH_RUN_ASSOCIATED, {N, D, O}},
        {"user batch, selected application", false, 5, 3, 0, 0, "Batch Properties", ID_NEWBATCH_RUN_SELECTED,
         {N, D, A, R, O}},
        {"user batch, area and combine", false, 5, 4, 1, 1, "Batch Properties", ID_NEWBATCH_RUN_CHARTLOOM,
         {N, D, O, M, LA, NS, LO, EW, W, G}},
        {"unknown action leaves the application", false, 5, 7, 0, 0, "Batch Properties", -1, {N, D, A, R, O}},
        {"hidden action", false, 5, 1, 0, 0, "Batch Properties", ID_NEWBATCH_RUN_IMVRA, {N, D, O}},
        {"global batch", false, 0, 0, 0, 1, "Batch Properties", ID_NEWBATCH_DONT_RUN, {G}},
        {"basic batch", false, 1, 2, 1, 0, "Batch Properties", ID_NEWBATCH_RUN_ASSOCIATED,
         {O, M, LA, NS, LO, EW, W}},
        {"wizard batch with an area", false, 2, 2, 1, 0, "Data Management", ID_NEWBATCH_RUN_ASSOCIATED,
         {M, LA, NS, LO, EW, W}},
        {"wizard batch without", false, 2, 2, 0, 0, "Data Management", ID_NEWBATCH_RUN_ASSOCIATED, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog->Destroy();
        dialog = new NewBatch(nullptr);
        CBatch batch = Stored(c.id);
        batch.info.runstat = c.runstat;
        batch.info.bInteractive = c.interactive;
        batch.info.bCombineGribs = c.combine;
        dialog->Fill(batch, c.isNew);
        EXPECT_EQ(dialog->GetTitle(), c.caption);
        const int action = SelectedAction();
        EXPECT_EQ(action == ID_NEWBATCH_RUN_IMVRA && c.action == -1 ? -1 : action, c.action);
        EXPECT_EQ(Enabled(), c.enabled);
    }
}

// The user's clicks enable and disable as the rules say.
TEST_F(BatchDialogTest, HandlersFollowTheUser)
{
    CBatch batch = Stored(5);
    batch.info.bInteractive = 0;
    batch.info.bCombineGribs = 0;
    dialog->Fill(batch, false);
    Choose(ID_NEWBATCH_RUN_SELECTED);
    EXPECT_EQ(Enabled(), std::vector<int>({N, D, A, R, O}));
    Tick(dialog->m_override, true);
    Tick(dialog->m_combine, true);
    EXPECT_EQ(Enabled(), std::vector<int>({N, D, A, R, O, M, LA, NS, LO, EW, W, G}));
    for (int radio : {ID_NEWBATCH_DONT_RUN, ID_NEWBATCH_RUN_ASSOCIATED, ID_NEWBATCH_RUN_CHARTLOOM}) {
        Choose(ID_NEWBATCH_RUN_SELECTED);
        Choose(radio);
        EXPECT_FALSE(dialog->m_application->IsThisEnabled()) << radio;
        EXPECT_FALSE(dialog->m_arguments->IsThisEnabled()) << radio;
    }
    Tick(dialog->m_override, false);
    Tick(dialog->m_combine, false);
    EXPECT_EQ(Enabled(), std::vector<int>({N, D, O}));
}

// The fields of a stored batch.
TEST_F(BatchDialogTest, FillShowsTheStoredValues)
{
    CBatch batch = Stored(5);
    dialog->Fill(batch, false);
    EXPECT_EQ(dialog->m_name->GetValue(), "Trip");
    EXPECT_EQ(dialog->m_description->GetValue(), "Coastal trip");
    EXPECT_TRUE(dialog->m_enabled->GetValue());
    EXPECT_EQ(dialog->m_dateLabel->GetLabel(), "Date Created: " + batch.info.create_date.FormatDate());
    EXPECT_EQ(dialog->m_gribViewer->Get3StateValue(), wxCHK_CHECKED);
    EXPECT_EQ(dialog->m_folderText->GetValue(), "/tmp/somewhere");
    EXPECT_EQ(dialog->m_folderPicker->GetPath(), "/tmp/somewhere");
    EXPECT_EQ(dialog->m_application->GetPath(), "/opt/tools/viewer");
    EXPECT_EQ(dialog->m_arguments->GetSelection(), 1);
    EXPECT_EQ(dialog->m_lat->GetValue(), "33.500000");
    EXPECT_EQ(dialog->m_ns->GetStringSelection(), "S");
    EXPECT_EQ(dialog->m_lon->GetValue(), "151.250000");
    EXPECT_EQ(dialog->m_ew->GetStringSelection(), "E");
    EXPECT_EQ(dialog->m_width->GetValue(), "020");
    EXPECT_EQ(dialog->m_gribFile->GetPath(), "/tmp/somewhere/all.grb");

    // A width no entry holds shows with one decimal; a float latitude shows
    // its six-decimal expansion.
    batch.info.width = 12.5f;
    batch.info.lat = 45.1f;
    batch.info.lon = -0.5f;
    dialog->Fill(batch, false);
    EXPECT_EQ(dialog->m_width->GetValue(), "12.5");
    EXPECT_EQ(dialog->m_lat->GetValue(), "45.099998");
    EXPECT_EQ(dialog->m_ns->GetStringSelection(), "N");
    EXPECT_EQ(dialog->m_ew->GetStringSelection(), "W");
}

// A new batch: the global folder (or, without one, the default download
// folder, never the file system's root), today, enabled, the associated
// application, everything else empty.
TEST_F(BatchDialogTest, FillForANewBatch)
{
    SetGlobalFolder(dir / "Global");
    CBatch batch;
    dialog->Fill(batch, true);
    EXPECT_EQ(dialog->m_folderText->GetValue(), dir / "Global");
    EXPECT_EQ(dialog->m_folderPicker->GetPath(), dir / "Global");
    EXPECT_EQ(dialog->m_dateLabel->GetLabel(), "Date Created: " + wxDateTime::Now().FormatDate());
    EXPECT_TRUE(dialog->m_enabled->GetValue());
    EXPECT_EQ(dialog->m_name->GetValue(), "");
    EXPECT_EQ(dialog->m_width->GetValue(), "");
    EXPECT_EQ(dialog->m_ns->GetStringSelection(), "N");
    EXPECT_EQ(dialog->m_gribViewer->Get3StateValue(), wxCHK_UNCHECKED);

    SetGlobalFolder("");
    dialog->Fill(batch, true);
    EXPECT_EQ(dialog->m_folderText->GetValue(), home.Documents() + "/Weather Files");
}

// What OK writes into a batch, by table: each case edits the filled dialog,
// then checks the record.
TEST_F(BatchDialogTest, WriteBackTable)
{
    SetGlobalFolder(dir / "Global");
    struct Case {
        const char* name;
        bool isNew;
        std::function<void(BatchDialogTest&)> edit;
        std::function<void(const CBatch::t_batch&)> check;
    };
    const wxDateTime stored = Stored(5).info.create_date;
    const std::vector<Case> cases = {
        {"a new batch gets its own folder, made, and today", true,
         [](BatchDialogTest& t) { t.dialog->m_name->ChangeValue("Charts"); },
         [&](const CBatch::t_batch& b) {
             EXPECT_EQ(b.folder, dir / "Global" + "/Charts");
             EXPECT_TRUE(wxDirExists(b.folder));
             EXPECT_EQ(b.title, "Charts");
             EXPECT_EQ(b.runstat, 2);
             EXPECT_EQ(b.status, 1);
             EXPECT_TRUE(b.create_date.IsValid());
             EXPECT_LE(std::abs((wxDateTime::Now() - b.create_date).GetSeconds().ToLong()), 5);
             EXPECT_EQ(b.create_date.GetMillisecond(), 0);
         }},
        {"a name with separators is one folder", true,
         [](BatchDialogTest& t) { t.dialog->m_name->ChangeValue("../a/b"); },
         [&](const CBatch::t_batch& b) {
             EXPECT_EQ(b.folder, dir / "Global" + "/.._a_b");
             EXPECT_TRUE(wxDirExists(b.folder));
             EXPECT_EQ(b.title, "../a/b");
         }},
        {"renaming keeps the folder and the creation date", false,
         [](BatchDialogTest& t) { t.dialog->m_name->ChangeValue("Renamed"); },
         [&](const CBatch::t_batch& b) {
             EXPECT_EQ(b.title, "Renamed");
             EXPECT_EQ(b.folder, "/tmp/somewhere");
             EXPECT_EQ(b.create_date, stored);
             EXPECT_EQ(b.description, "Coastal trip");
         }},
        {"the stored values come back unchanged", false, [](BatchDialogTest&) {},
         [&](const CBatch::t_batch& b) {
             const CBatch::t_batch s = Stored(5).info;
             EXPECT_EQ(b.runstat, s.runstat);
             EXPECT_EQ(b.application, s.application);
             EXPECT_EQ(b.args, s.args);
             EXPECT_EQ(b.status, s.status);
             EXPECT_EQ(b.gribfile, s.gribfile);
             EXPECT_EQ(b.bCombineGribs, 1);
             EXPECT_EQ(b.bInteractive, 1);
             EXPECT_FLOAT_EQ(b.width, 20);
             EXPECT_FLOAT_EQ(b.lat, -33.5f);
             EXPECT_FLOAT_EQ(b.lon, 151.25f);
             EXPECT_EQ(b.runwexpg, 1);
         }},
        {"typed coordinates take the hemisphere's sign", false,
         [](BatchDialogTest& t) {
             t.dialog->m_lat->ChangeValue("-10");
             t.dialog->m_ns->SetSelection(1);
             t.dialog->m_lon->ChangeValue("-20.5");
             t.dialog->m_ew->SetSelection(0);
         },
         [](const CBatch::t_batch& b) {
             EXPECT_FLOAT_EQ(b.lat, -10);
             EXPECT_FLOAT_EQ(b.lon, 20.5f);
         }},
        {"a typed width, a width with no number", false,
         [](BatchDialogTest& t) { t.dialog->m_width->SetValue("35"); },
         [](const CBatch::t_batch& b) { EXPECT_FLOAT_EQ(b.width, 35); }},
        {"a width that starts with no number", false,
         [](BatchDialogTest& t) { t.dialog->m_width->SetValue("wide"); },
         [](const CBatch::t_batch& b) { EXPECT_FLOAT_EQ(b.width, 0); }},
        {"an entry of the width box", false, [](BatchDialogTest& t) { t.dialog->m_width->SetSelection(5); },
         [](const CBatch::t_batch& b) { EXPECT_FLOAT_EQ(b.width, 75); }},
        {"the combined file gets its extension", false,
         [](BatchDialogTest& t) { t.dialog->m_gribFile->SetPath("/tmp/somewhere/x.txt"); },
         [](const CBatch::t_batch& b) { EXPECT_EQ(b.gribfile, "/tmp/somewhere/x.txt.grb"); }},
        {"a chosen action, flags and texts", false,
         [](BatchDialogTest& t) {
             t.Choose(ID_NEWBATCH_RUN_CHARTLOOM);
             t.Tick(t.dialog->m_override, false);
             t.Tick(t.dialog->m_combine, false);
             t.dialog->m_gribViewer->Set3StateValue(wxCHK_UNCHECKED);
             t.dialog->m_enabled->SetValue(false);
             t.dialog->m_arguments->SetSelection(0);
             t.dialog->m_description->ChangeValue("It's new");
         },
         [](const CBatch::t_batch& b) {
             EXPECT_EQ(b.runstat, 4);
             EXPECT_EQ(b.bInteractive, 0);
             EXPECT_EQ(b.bCombineGribs, 0);
             EXPECT_EQ(b.runwexpg, 0);
             EXPECT_EQ(b.status, 0);
             EXPECT_EQ(b.args, 0);
             EXPECT_EQ(b.description, "It's new");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog->Destroy();
        dialog = new NewBatch(nullptr);
        CBatch batch = c.isNew ? CBatch() : Stored(5);
        dialog->Fill(batch, c.isNew);
        c.edit(*this);
        ASSERT_TRUE(dialog->WriteBack(batch));
        c.check(batch.info);
    }
    EXPECT_TRUE(Ui().boxes.empty());
}

// Stored actions no radio shows stay as they are unless the user picks one.
TEST_F(BatchDialogTest, ActionsNoRadioShowsAreKept)
{
    for (int runstat : {7, 1}) {
        CBatch batch = Stored(5);
        batch.info.runstat = runstat;
        dialog->Fill(batch, false);
        ASSERT_TRUE(dialog->WriteBack(batch));
        EXPECT_EQ(batch.info.runstat, runstat);
        Choose(ID_NEWBATCH_DONT_RUN);
        ASSERT_TRUE(dialog->WriteBack(batch));
        EXPECT_EQ(batch.info.runstat, 0);
    }
}

// A coordinate off the globe is refused while it can be edited; the record
// stays as it was. Shown read-only, a stored one is kept.
TEST_F(BatchDialogTest, WriteBackRefusesCoordinatesOffTheGlobe)
{
    const struct {
        const char* lat;
        const char* lon;
        const char* message;
    } cases[] = {{"95", "10", "Latitude must be"}, {"10", "-180.5", "Longitude must be"}};
    for (const auto& c : cases) {
        tw::test::ResetUi();
        CBatch batch = Stored(5);
        dialog->Fill(batch, false);
        dialog->m_lat->ChangeValue(c.lat);
        dialog->m_lon->ChangeValue(c.lon);
        EXPECT_FALSE(dialog->WriteBack(batch)) << c.lat;
        EXPECT_TRUE(BoxShown(c.message));
        EXPECT_FLOAT_EQ(batch.info.lat, -33.5f);
        EXPECT_FLOAT_EQ(batch.info.lon, 151.25f);
    }

    tw::test::ResetUi();
    CBatch odd = Stored(2);
    odd.info.bInteractive = 0;
    odd.info.lat = 123;
    dialog->Fill(odd, false);
    ASSERT_TRUE(dialog->WriteBack(odd));
    EXPECT_FLOAT_EQ(odd.info.lat, 123);
    EXPECT_TRUE(Ui().boxes.empty());
}

// A width beyond the map picker's 1 to 360 degrees, or none at all for an
// interactive batch, is refused while it can be edited, as coordinates are;
// the record keeps its width. Shown read-only, a
// stored one is kept. The picker opened on such a width shows it as typed.
TEST_F(BatchDialogTest, WriteBackRefusesAWidthBeyondThePickersRange)
{
    const struct {
        const char* width;
        bool refused;
        float stored;
    } cases[] = {{"999", true, 20},  {"0", true, 20},     {"-10", true, 20},   {"360.5", true, 20},
                 {"3000000000", true, 20}, {"1", false, 1}, {"360", false, 360}, {"12.5x", false, 12.5f},
                 {"", true, 20},     {"   ", true, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        tw::test::ResetUi();
        CBatch batch = Stored(5);
        dialog->Fill(batch, false);
        dialog->m_width->SetValue(c.width);
        EXPECT_EQ(dialog->WriteBack(batch), !c.refused);
        EXPECT_EQ(BoxShown("Width must be a number of degrees from 1 to 360."), c.refused);
        EXPECT_FLOAT_EQ(batch.info.width, c.stored);
    }

    // Without the override the batch asks for no area: an empty width is
    // taken as before.
    tw::test::ResetUi();
    CBatch plain = Stored(5);
    dialog->Fill(plain, false);
    dialog->m_override->SetValue(false);
    dialog->m_width->SetValue("");
    ASSERT_TRUE(dialog->WriteBack(plain));
    EXPECT_EQ(plain.info.bInteractive, 0);
    EXPECT_FLOAT_EQ(plain.info.width, 0);
    EXPECT_TRUE(Ui().boxes.empty());

    tw::test::ResetUi();
    CBatch odd = Stored(2);
    odd.info.bInteractive = 0;
    odd.info.width = 999;
    dialog->Fill(odd, false);
    ASSERT_TRUE(dialog->WriteBack(odd));
    EXPECT_FLOAT_EQ(odd.info.width, 999);
    EXPECT_TRUE(Ui().boxes.empty());

    CBatch batch = Stored(5);
    dialog->Fill(batch, false);
    dialog->m_width->SetValue("3000000000");
    wxString shown;
    {
        ModalDriver driver;
        driver.On("MapDialog", [&](wxDialog* d) {
            shown = static_cast<MapDialog*>(d)->m_widthCtrl->GetValue();
            d->EndModal(wxID_CANCEL);
        });
        Press(dialog, ID_NEWBATCH_MAP);
    }
    EXPECT_EQ(shown, "3000000000");
    EXPECT_EQ(dialog->m_width->GetValue(), "3000000000");
}

// A folder that cannot be made is reported and the record stays as it was.
TEST_F(BatchDialogTest, WriteBackReportsAFolderThatCannotBeMade)
{
    const wxString blocker = dir / "file";
    ASSERT_TRUE(tw::test::WriteFile(blocker, "not a folder"));
    SetGlobalFolder(blocker);
    CBatch batch;
    dialog->Fill(batch, true);
    dialog->m_name->ChangeValue("Charts");
    EXPECT_FALSE(dialog->WriteBack(batch));
    EXPECT_TRUE(BoxShown("Could not create folder " + blocker + "/Charts"));
    EXPECT_TRUE(batch.info.title.empty());
    EXPECT_TRUE(batch.info.folder.empty());
    EXPECT_FALSE(batch.info.create_date.IsValid());
}

// Whole modal runs through the application: OK stores the answers and makes
// the folder; an empty name is refused and the dialog stays; Cancel leaves
// the record exactly as passed and makes nothing.
TEST_F(BatchDialogTest, ModalRunsThroughTheApplication)
{
    SetGlobalFolder(dir / "Global");
    {
        ModalDriver driver;
        driver.On("NewBatch", [](wxDialog* d) {
            static_cast<NewBatch*>(d)->m_name->ChangeValue("Charts");
            Press(d, ID_NEWBATCH_OK);
        });
        CBatch batch;
        EXPECT_EQ(app.BatchDialog(&batch, true), wxID_OK);
        EXPECT_EQ(batch.info.title, "Charts");
        EXPECT_EQ(batch.info.folder, dir / "Global" + "/Charts");
        EXPECT_TRUE(wxDirExists(batch.info.folder));
        ASSERT_EQ(driver.shown.size(), 1u);
        EXPECT_EQ(driver.shown[0].title, "New Batch");
        EXPECT_EQ(driver.shown[0].id, ID_NEWBATCH);
    }
    {
        // An empty name: the message, the dialog still open; then Cancel.
        ModalDriver driver;
        bool stillOpen = false;
        driver.On("NewBatch", [&](wxDialog* d) {
            static_cast<NewBatch*>(d)->m_name->ChangeValue("");
            Press(d, ID_NEWBATCH_OK);
            stillOpen = d->IsModal();
            Press(d, ID_NEWBATCH_CANCEL);
        });
        CBatch batch = Stored(5);
        EXPECT_EQ(app.BatchDialog(&batch, false), 0);
        EXPECT_TRUE(stillOpen);
        EXPECT_TRUE(BoxShown("Batch Name cannot be blank"));
        EXPECT_EQ(Ui().boxes.back().caption, "Error");
        EXPECT_EQ(batch.info.title, "Trip");
    }
    {
        // Cancel after editing: nothing changes, no folder is made; a name of
        // blanks would have been taken.
        SetGlobalFolder(dir / "Other");
        ModalDriver driver;
        driver.On("NewBatch", [](wxDialog* d) {
            static_cast<NewBatch*>(d)->m_name->ChangeValue("   ");
            static_cast<NewBatch*>(d)->m_width->SetValue("35");
            Press(d, ID_NEWBATCH_CANCEL);
        });
        CBatch batch;
        EXPECT_EQ(app.BatchDialog(&batch, true), 0);
        EXPECT_TRUE(batch.info.title.empty());
        EXPECT_TRUE(batch.info.folder.empty());
        EXPECT_FALSE(wxDirExists(dir / "Other"));
    }
}

// The Map button opens the picker on the fields' area (0, 0, 0 when they
// are empty) and writes back what it returns, the width in whole degrees;
// a cancelled picker changes nothing.
TEST_F(BatchDialogTest, MapButtonPicksTheArea)
{
    CBatch batch;
    dialog->Fill(batch, true);
    Tick(dialog->m_override, true);
    {
        ModalDriver driver;
        wxString width, lat, lon;
        driver.On("MapDialog", [&](wxDialog* d) {
            auto* map = static_cast<MapDialog*>(d);
            width = map->m_widthCtrl->GetValue();
            lat = map->m_latCtrl->GetValue();
            lon = map->m_lonCtrl->GetValue();
            map->m_latCtrl->ChangeValue("12.5");
            map->m_nsChoice->SetStringSelection("S");
            map->m_lonCtrl->ChangeValue("130");
            map->m_ewChoice->SetStringSelection("W");
            map->m_widthCtrl->ChangeValue("12.7");
            Press(d, ID_MAPDIALOG_OK);
        });
        Press(dialog, ID_NEWBATCH_MAP);
        ASSERT_EQ(driver.shown.size(), 1u);
        EXPECT_EQ(driver.shown[0].id, ID_MAPDIALOG);
        EXPECT_EQ(width, "0");
        EXPECT_EQ(lat, "0.00");
        EXPECT_EQ(lon, "0.00");
    }
    EXPECT_EQ(dialog->m_lat->GetValue(), "12.50");
    EXPECT_EQ(dialog->m_ns->GetStringSelection(), "S");
    EXPECT_EQ(dialog->m_lon->GetValue(), "130.00");
    EXPECT_EQ(dialog->m_ew->GetStringSelection(), "W");
    EXPECT_EQ(dialog->m_width->GetValue(), "12");
    {
        ModalDriver driver;   // ends the picker with Cancel
        Press(dialog, ID_NEWBATCH_MAP);
        EXPECT_EQ(driver.shown.size(), 1u);
    }
    EXPECT_EQ(dialog->m_lat->GetValue(), "12.50");
    EXPECT_EQ(dialog->m_width->GetValue(), "12");
    dialog->m_name->ChangeValue("Area");
    ASSERT_TRUE(dialog->WriteBack(batch));
    EXPECT_FLOAT_EQ(batch.info.lat, -12.5f);
    EXPECT_FLOAT_EQ(batch.info.lon, -130);
    EXPECT_FLOAT_EQ(batch.info.width, 12);
}

// The folder picker's choice shows in the folder field; the chooser is the
// program's own, parented to the dialog.
TEST_F(BatchDialogTest, FolderPickerShowsItsChoice)
{
    CBatch batch = Stored(5);
    dialog->Fill(batch, false);
    tw::test::AnswerChooser(dir.Path());
    dialog->m_folderPicker->Choose();
    ASSERT_EQ(Ui().choosers.size(), 1u);
    EXPECT_TRUE(Ui().choosers[0].folder);
    EXPECT_EQ(Ui().choosers[0].parent, dialog);
    EXPECT_EQ(dialog->m_folderText->GetValue(), dir.Path());
    ASSERT_TRUE(dialog->WriteBack(batch));
    EXPECT_EQ(batch.info.folder, dir.Path());
}

TEST_F(BatchDialogTest, Screenshot)
{
    CBatch batch = Stored(5);
    batch.info.runstat = 3;
    dialog->Fill(batch, false);
    dialog->Show();
    ASSERT_TRUE(WaitFor([&] { return dialog->IsShownOnScreen(); }));
    Pump(200);
    // Every control whole: at least its best size, inside the dialog.
    const wxRect client(wxPoint(0, 0), dialog->GetClientSize());
    std::function<void(wxWindow*, wxPoint)> check = [&](wxWindow* parent, wxPoint origin) {
        for (wxWindow* child : parent->GetChildren()) {
            if (!child->IsShown())
                continue;
            const wxRect rect(child->GetPosition() + origin, child->GetSize());
            EXPECT_TRUE(client.Contains(rect)) << child->GetLabel() << " " << child->GetId();
            if (!dynamic_cast<wxStaticBox*>(child) && !dynamic_cast<PathPicker*>(child)) {
                EXPECT_GE(rect.width, child->GetBestSize().x) << child->GetLabel() << " " << child->GetId();
            }
            if (dynamic_cast<wxStaticBox*>(child) || dynamic_cast<PathPicker*>(child))
                check(child, rect.GetPosition() + child->GetClientAreaOrigin());
        }
    };
    check(dialog, wxPoint(0, 0));
    const char* folder = std::getenv("TW_SCREENSHOTS");
    const wxString path = (folder ? wxString::FromUTF8(folder) : wxFileName::GetTempDir()) + "/batch_dialog.png";
    EXPECT_TRUE(tw::test::Screenshot(dialog, path));
}
