// The transfer window on its own, driven through its observer calls and
// controls under Xvfb: the estimate, the folding of reports into one update,
// the outcome reported at close, the area of interest, the question
// hand-shake and the map picker.
#include <atomic>
#include <deque>
#include <functional>
#include <thread>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <wx/wxsqlite3.h>

#include "core/Registry.h"
#include "model/FileList.h"
#include "windows/map/MapPanel.h"
#include "windows/map/mapdialog.h"
#include "support/FitCheck.h"
#include "windows/common/PictureButton.h"
#include "windows/transfer/connsettings.h"
#include "xferwindow/XferFixtures.h"

using namespace xfer_test;

namespace {

class XferWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CUserConfig config;
        config.WriteText("Connection/connection", CRegistry::kNetworkConnection);
        config.WriteText("Misc/xfer_rate", "51200 600");
    }
    void TearDown() override
    {
        for (FileXfer* w : windows)
            CloseAndWait(w);
    }

    FileXfer* Make(CFileList& list, int mode)
    {
        list.xferMode = mode;
        FileXfer* w = FileXfer::CreateInstance(&list, wxGetApp().TransferWindowJob(), nullptr, wxID_ANY,
                                               "File Transfer and Control Status", wxDefaultPosition, wxSize(670, 500),
                                               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
        w->Connect(wxID_ANY, wxEVT_TRANSFER_DONE, wxCommandEventHandler(DoneRecorder::OnDone), nullptr, &done);
        w->ShowModal();
        windows.push_back(w);
        return w;
    }

    // A transfer list that lives as long as the test's windows.
    CFileList& NewList()
    {
        lists.emplace_back();
        return lists.back();
    }

    tw::test::TempHome home;
    QuickClose quick;
    DoneRecorder done;
    std::deque<CFileList> lists;
    std::vector<FileXfer*> windows;
};

wxString Label(wxStaticText* label)
{
    return label->GetLabelText();
}

} // namespace

TEST_F(XferWindow, EstimateFromSizeAndRate)
{
    struct Case {
        int kb;
        long rate;
        const char* time;
    };
    const Case cases[] = {
        {600, 256000, "00:02"},
        {600, 600, "17:04"},
        {700, 256000, "00:02"},     // 2.8 s is truncated
        {70000, 600, "1991:06"},    // minutes are not wrapped at 60
        {0, 256000, "00:00"},
        {600, 0, "--:--"},          // nothing measured to go by
    };
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        list.compressedSize = c.kb;
        w->CalculateDownloadSizeAndTime(c.rate);
        EXPECT_EQ(Label(w->m_approxTime), c.time);
        EXPECT_EQ(Label(w->m_approxSize), wxString::Format("%dKb", c.kb));
    }
}

TEST_F(XferWindow, SummaryWhenMadeAndCompressionChoice)
{
    struct Case {
        int mode;
        bool compressionLocked;
        const char* size;   // what the window shows at first
        const char* time;   // at the stored rate of 51200 bytes a second
    };
    const Case cases[] = {
        {0, false, "100Kb", "00:02"},
        {2, false, "100Kb", "00:02"},
        {3, true, "500Kb", "00:10"},   // a database transfer asks for the raw files
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        CFileList& list = NewList();
        list.price = 3.5;
        list.compressedSize = 100;
        list.rawSize = 500;
        FileXfer* w = Make(list, c.mode);
        EXPECT_EQ(wxGetApp().transferRate, 51200) << "the stored rate of the connection kind";
        EXPECT_EQ(Label(w->m_priceLabel), "Download Price: $3.50");
        EXPECT_EQ(w->m_disableCompression->IsChecked(), c.compressionLocked);
        EXPECT_EQ(w->m_disableCompression->IsEnabled(), !c.compressionLocked);
        EXPECT_EQ(Label(w->m_approxSize), c.size);
        EXPECT_EQ(Label(w->m_approxTime), c.time);
        for (wxStaticText* l : {w->m_totalTimeLabel, w->m_totalElapsedLabel, w->m_totalSizeLabel, w->m_fileTimeLabel,
                                w->m_fileElapsedLabel})
            EXPECT_TRUE(Label(l).EndsWith(": ")) << Label(l);
        if (!c.compressionLocked) {
            w->m_disableCompression->SetValue(true);
            Click(w, FileXfer::ID_DISABLE_COMPRESSION, wxEVT_CHECKBOX);
            EXPECT_EQ(Label(w->m_approxSize), "500Kb");
            EXPECT_EQ(Label(w->m_approxTime), "00:10");
            w->m_disableCompression->SetValue(false);
            Click(w, FileXfer::ID_DISABLE_COMPRESSION, wxEVT_CHECKBOX);
            EXPECT_EQ(Label(w->m_approxSize), "100Kb");
        }
    }
}

TEST_F(XferWindow, PriceIsWrittenWithAPointInEveryLocale)
{
    CFileList& list = NewList();
    list.price = 12.25;
    FileXfer* w = Make(list, 1);
    EXPECT_EQ(Label(w->m_priceLabel), "Download Price: $12.25");
}

TEST_F(XferWindow, ValueAfterTheFirstColonOfALabel)
{
    struct Case {
        const char* label;
        const char* value;
        const char* result;
    };
    const Case cases[] = {
        {"File Elapsed Time: 00:00", "01:05", "File Elapsed Time: 01:05"},
        {"Total Download Size: 0000 kb", "12Kb", "Total Download Size: 12Kb"},
        {"No colon here", "07:00", "07:00"},
        {"Price: $00.00", "", "Price: "},
    };
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    auto* label = new wxStaticText(w, wxID_ANY, "x");
    for (const Case& c : cases) {
        label->SetLabelText(c.label);
        AppendValueToLabel(c.value, label);
        EXPECT_EQ(label->GetLabelText(), c.result);
    }
}

TEST_F(XferWindow, ManyReportsBecomeOneUpdate)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    tw::test::Pump(30);
    const int handled = w->m_updatesHandled;
    const int posted = w->Queue()->Posted();

    for (int i = 1; i <= 100; ++i)
        w->TransferProgress(i + 20, i - 1);   // the file percent ends above the gauge's range
    const char* texts[] = {"one\n", "two\n", "three ", "four\n", "five\n"};
    for (const char* t : texts)
        w->TransferStatus(t);
    w->TransferStatus("");
    w->TransferElapsedTime(wxTimeSpan::Seconds(65), wxTimeSpan::Seconds(3605));
    w->TransferFileDone("lost.grb", false);
    w->TransferFileDone("", false);
    w->TransferFileDone("fine.grb", true);
    EXPECT_EQ(w->Queue()->Posted(), posted + 1) << "one event however many reports";

    ASSERT_TRUE(tw::test::WaitFor([&] { return w->m_updatesHandled > handled; }));
    tw::test::Pump(30);
    EXPECT_EQ(w->m_updatesHandled, handled + 1);
    EXPECT_EQ(w->m_fileGauge->GetValue(), 0) << "the failed file reset the file gauge last";
    EXPECT_EQ(w->m_totalGauge->GetValue(), 99) << "numbers keep their latest value";
    EXPECT_EQ(w->m_log->GetValue(), "one\ntwo\nthree four\nfive\nFailure retrieving 'lost.grb'.\r\n");
    EXPECT_EQ(Label(w->m_fileElapsedLabel), "File Elapsed Time: 01:05");
    EXPECT_EQ(Label(w->m_totalElapsedLabel), "Total Elapsed Time: 60:05");
    EXPECT_EQ(w->Queue()->MaxOutstanding(), 1);

    // A gauge never shows more than its range; an empty status posts nothing.
    w->TransferProgress(250, 100);
    ASSERT_TRUE(tw::test::WaitFor([&] { return w->m_updatesHandled > handled + 1; }));
    EXPECT_EQ(w->m_fileGauge->GetValue(), 100);
    const int before = w->Queue()->Posted();
    w->TransferStatus("");
    EXPECT_EQ(w->Queue()->Posted(), before);
}

TEST_F(XferWindow, ReportsFromAnotherThreadKeepTheirOrder)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            w->TransferStatus(wxString::Format("%d;", i));
            w->TransferProgress(i % 101, i % 101);
        }
    });
    wxString expected;
    for (int i = 0; i < 2000; ++i)
        expected << i << ";";
    EXPECT_TRUE(tw::test::WaitFor([&] { return w->m_log->GetValue() == expected; }, 10000));
    worker.join();
    EXPECT_EQ(w->Queue()->MaxOutstanding(), 1);
    EXPECT_LT(w->m_updatesHandled, 4000);
}

// A burst of log text far larger than one slice (the placement lines of
// thousands of files arrive together) goes into the log a slice at a time,
// whole lines each, and all of it in order once the loop has been idle; text
// reported meanwhile comes after it.
TEST_F(XferWindow, LongLogBurstGoesInSliceBySlice)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    tw::test::Pump(30);
    wxString burst;
    for (int i = 0; i < 3000; ++i) {
        const wxString line = wxString::Format("Moving /tmp/Weather Files/tmp/f%05d.grb --> /tmp/Weather Files/"
                                               "f%05d.grb\n", i, i);
        burst += line;
        w->TransferStatus(line);
    }
    ASSERT_GT(burst.length(), 4 * FileXfer::kLogSliceChars);
    const int handled = w->m_updatesHandled;
    // The update event alone puts in one slice of whole lines.
    wxThreadEvent update(wxEVT_THREAD, ID_TRANSFER_THREAD_UPDATE);
    w->GetEventHandler()->ProcessEvent(update);
    EXPECT_EQ(w->m_updatesHandled, handled + 1);
    const wxString first = w->m_log->GetValue();
    EXPECT_LE(first.length(), FileXfer::kLogSliceChars);
    EXPECT_GT(first.length(), FileXfer::kLogSliceChars / 2);
    EXPECT_TRUE(first.EndsWith("\n"));
    EXPECT_TRUE(burst.StartsWith(first));
    EXPECT_EQ(w->LogBacklog(), burst.length() - first.length());

    w->TransferStatus("Transfer done.\n");
    ASSERT_TRUE(tw::test::WaitFor([&] { return w->LogBacklog() == 0 && w->Queue()->Taken() >= w->Queue()->Posted(); },
                                  10000));
    EXPECT_EQ(w->m_log->GetValue(), burst + "Transfer done.\n");
}

TEST_F(XferWindow, StartAndEndOfTheWorkerSwitchTheGoButton)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    w->TransferEntry();
    ASSERT_TRUE(tw::test::WaitFor([&] { return !w->m_goButton->IsEnabled(); }));
    EXPECT_FALSE(w->GetMenuBar()->IsEnabled(FileXfer::ID_MENUITEM_START));
    w->TransferBegin("Downloading 2 files.\n", wxTimeSpan::Seconds(75), 4096 * 3);
    EXPECT_EQ(w->GetState(), 3);
    w->TransferExit();
    EXPECT_EQ(w->GetState(), 1) << "a transfer that ended without a final report did not end well";
    ASSERT_TRUE(tw::test::WaitFor([&] { return w->m_goButton->IsEnabled(); }));
    EXPECT_TRUE(w->GetMenuBar()->IsEnabled(FileXfer::ID_MENUITEM_START));
    EXPECT_EQ(Label(w->m_totalTimeLabel), "Total Download Time: 01:15");
    EXPECT_EQ(Label(w->m_totalSizeLabel), "Total Download Size: 12Kb");
}

// A worker that fails before its data phase (the request or a header was
// refused) ends without TransferBegin and TransferDone: the window still
// learns that the transfer ended without success, also when an earlier
// transfer in the same window had succeeded.
TEST_F(XferWindow, WorkerEndingBeforeTheDataPhaseIsAFailure)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 2);
    EXPECT_EQ(w->GetState(), 0);
    w->TransferEntry();
    w->TransferExit();
    EXPECT_EQ(w->GetState(), 1);

    w->TransferEntry();
    w->TransferBegin("", wxTimeSpan(), 0);
    w->TransferDone("Transfer done.\n", true);
    w->TransferExit();
    EXPECT_EQ(w->GetState(), 2);

    w->TransferEntry();
    w->TransferExit();
    EXPECT_EQ(w->GetState(), 1) << "the earlier success does not stand for this transfer";
    EXPECT_FALSE(w->TransferSuccess());
}

// What the requesting window learns when the window closes.
TEST_F(XferWindow, OutcomeReportedAtClose)
{
    enum How { CloseBox, ForceDisconnect, Quit };
    struct Case {
        const char* name;
        int mode;
        int reports;   // 0 none, 1 begin and failure, 2 begin and success, 3 begin and exit only
        How how;
        int expected;
    };
    const Case cases[] = {
        {"closed before Go", 0, 0, CloseBox, 0},
        {"failure, Basic", 0, 1, CloseBox, 0},
        {"failure, Portal", 1, 1, CloseBox, 0},
        {"failure, Library", 2, 1, CloseBox, 0},
        {"failure, database", 3, 1, CloseBox, 0},
        {"no final report", 2, 3, CloseBox, 0},
        {"success, Basic", 0, 2, CloseBox, 1},
        {"success, database", 3, 2, CloseBox, 1},
        {"success then Force Disconnect", 1, 2, ForceDisconnect, 0},
        {"success then Quit", 1, 2, Quit, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        done.results.clear();
        CFileList& list = NewList();
        FileXfer* w = Make(list, c.mode);
        windows.pop_back();
        wxWeakRef<FileXfer> ref(w);
        if (c.reports > 0)
            w->TransferBegin("", wxTimeSpan(), 0);
        if (c.reports == 1)
            w->TransferDone("Login refused.\n", false);
        if (c.reports == 2)
            w->TransferDone("Transfer done.\n", true);
        if (c.reports == 3)
            w->TransferExit();
        tw::test::Pump(20);
        switch (c.how) {
        case CloseBox:
            EXPECT_TRUE(w->InitiateWindowClose(true));
            break;
        case ForceDisconnect:
            Click(w, FileXfer::ID_MENUITEM_FORCE_DISCONNECT, wxEVT_MENU);
            break;
        case Quit:
            Click(w, wxID_EXIT, wxEVT_MENU);
            break;
        }
        EXPECT_TRUE(done.results.empty()) << "the outcome is queued, not sent at once";
        ASSERT_TRUE(tw::test::WaitFor([&] { return done.results.size() == 1 && !ref; }));
        EXPECT_EQ(done.results[0], c.expected);
    }
}

TEST_F(XferWindow, RateFromTheSettingsDialogIsReportedAtClose)
{
    CFileList& list = NewList();
    list.compressedSize = 700;
    FileXfer* w = Make(list, 1);
    windows.pop_back();
    wxWeakRef<FileXfer> ref(w);
    EXPECT_EQ(w->GetRate(), 51200) << "the rate the window was handed";
    {
        CUserConfig config;
        config.WriteText("Misc/xfer_rate", "700 600");
    }
    // The settings dialog is cancelled as soon as it is up; the window reads
    // the stored rate again after it.
    int tries = 0;
    std::function<void()> cancel = [&] {
        for (wxWindow* tlw : wxTopLevelWindows)
            if (auto* d = dynamic_cast<ConnSettings*>(tlw); d && d->IsModal()) {
                d->EndModal(wxID_CANCEL);
                return;
            }
        if (++tries < 200)
            w->CallAfter(cancel);
    };
    w->CallAfter(cancel);
    Click(w, FileXfer::ID_MENUITEM_SETTINGS, wxEVT_MENU);
    EXPECT_EQ(w->GetRate(), 700);
    EXPECT_EQ(Label(w->m_approxTime), "17:04");

    long reported = 0;
    done.onDone = [&](wxCommandEvent& e) { reported = e.GetExtraLong(); };
    EXPECT_TRUE(w->InitiateWindowClose(true));
    ASSERT_TRUE(tw::test::WaitFor([&] { return !done.results.empty() && !ref; }));
    done.onDone = nullptr;
    EXPECT_EQ(reported, 700) << "the done event carries the window's rate";
}

TEST_F(XferWindow, AreaOfInterestHandedBackOnlyWhenChanged)
{
    struct Case {
        const char* lat;
        const char* width;
        bool handedBack;
        double backLat;
        int backWidth;
    };
    const Case cases[] = {
        {"10.000", "15", false, 10.0, 15},
        {"10.04", "15", false, 10.0, 15},
        {"10.06", "15", true, 10.06, 15},
        {"10.000", "16", true, 10.0, 16},
        {"abc", "x", true, 0.0, 0},      // not numbers: the area sent is 0, 0 wide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat + std::string(" ") + c.width);
        CFileList& list = NewList();
        list.SetDefaultPosition(10.0, 20.0, 15);
        FileXfer* w = Make(list, 2);
        EXPECT_EQ(w->m_latCtrl->GetValue(), "10.000");
        EXPECT_EQ(w->m_lonCtrl->GetValue(), "20.000");
        EXPECT_EQ(w->m_widthCtrl->GetValue(), "15");
        EXPECT_TRUE(w->m_mapButton->IsEnabled());
        w->m_latCtrl->ChangeValue(c.lat);
        w->m_widthCtrl->ChangeValue(c.width);
        CXferLocation sent;
        w->SaveLatLon(sent, true);
        EXPECT_TRUE(sent.m_valid);
        EXPECT_EQ(sent.m_units, "e");
        EXPECT_EQ(sent.m_flag, 1);
        EXPECT_EQ(FileXfer::HasHandBackPosition(list), c.handedBack);
        double lat = 0, lon = 0;
        int width = 0;
        ASSERT_TRUE(list.GetDefaultPosition(lat, lon, width));
        if (c.handedBack) {
            EXPECT_NEAR(lat, c.backLat, 1e-5);
            EXPECT_EQ(width, c.backWidth);
        }
        FileXfer::ResetHandBack(list);
    }
}

TEST_F(XferWindow, AreaFieldsBySignAndModeInEveryLocale)
{
    // A southern, western position shows absolute values with S and W and is
    // sent signed.
    CFileList& south = NewList();
    south.SetDefaultPosition(-33.5, -151.25, 10);
    FileXfer* w = Make(south, 0);
    EXPECT_EQ(w->m_latCtrl->GetValue(), "33.500");
    EXPECT_EQ(w->m_nsChoice->GetStringSelection(), "S");
    EXPECT_EQ(w->m_lonCtrl->GetValue(), "151.250");
    EXPECT_EQ(w->m_ewChoice->GetStringSelection(), "W");
    CXferLocation sent;
    w->SaveLatLon(sent, false);
    EXPECT_FLOAT_EQ(sent.m_lat, -33.5f);
    EXPECT_FLOAT_EQ(sent.m_lon, -151.25f);
    EXPECT_EQ(sent.m_width, 10);

    // The Portal's transfer sends the list's position; its fields are locked.
    CFileList& portal = NewList();
    portal.SetDefaultPosition(47.5, -122.25, 15);
    FileXfer* p = Make(portal, 1);
    for (wxWindow* c : std::initializer_list<wxWindow*>{p->m_mapButton, p->m_latCtrl, p->m_nsChoice, p->m_lonCtrl,
                                                         p->m_ewChoice, p->m_widthCtrl})
        EXPECT_FALSE(c->IsEnabled());
    CXferLocation portalSent;
    p->SaveLatLon(portalSent, true);
    EXPECT_TRUE(portalSent.m_valid);
    EXPECT_FLOAT_EQ(portalSent.m_lat, 47.5f);
    EXPECT_EQ(portalSent.m_width, 15);
}

TEST_F(XferWindow, HomeLocationWhenTheCallerGaveNoArea)
{
    struct Case {
        int source;
        bool set;
        double lat, lon;
    };
    const Case cases[] = {
        {0, true, 1.5, 2.5},    // GPS
        {1, true, 3.5, -4.5},   // city
        {2, true, -5.5, 6.5},   // typed in
        {7, false, 0, 0},       // unknown: the fields stay as made
    };
    DLPrefs& prefs = wxGetApp().dlPrefs;
    const DLPrefs saved = prefs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        prefs.HomeLocation_Source = c.source;
        prefs.HomeLocation_GPSLat = 1.5;
        prefs.HomeLocation_GPSLon = 2.5;
        prefs.HomeLocation_CityLat = 3.5;
        prefs.HomeLocation_CityLon = -4.5;
        prefs.HomeLocation_ManualLat = -5.5;
        prefs.HomeLocation_ManualLon = 6.5;
        prefs.HomeLocation_ContentBox = 12;
        CFileList& list = NewList();
        FileXfer* w = Make(list, 2);
        double lat = 0, lon = 0;
        int width = 0;
        EXPECT_EQ(list.GetDefaultPosition(lat, lon, width), c.set);
        if (c.set) {
            EXPECT_DOUBLE_EQ(lat, c.lat);
            EXPECT_DOUBLE_EQ(lon, c.lon);
            EXPECT_EQ(width, 12);
            EXPECT_EQ(w->m_widthCtrl->GetValue(), "12");
        } else {
            EXPECT_EQ(w->m_latCtrl->GetValue(), "");
            EXPECT_EQ(w->m_widthCtrl->GetValue(), "010");
        }
    }
    prefs = saved;
}

TEST_F(XferWindow, QuestionsOfTheWorkerAreAnsweredOnTheMainThread)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    tw::test::AnswerBox(wxYES);
    tw::test::AnswerBox(wxNO);
    std::atomic<bool> finished {false};
    int first = 0, second = 0;
    std::thread worker([&] {
        first = w->TransferMessageBox("Resume the first?", "Notice", wxYES_NO);
        second = w->TransferMessageBox("Resume the second?", "Notice", wxYES_NO);
        finished = true;
    });
    EXPECT_TRUE(tw::test::WaitFor([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(first, wxYES);
    EXPECT_EQ(second, wxNO);
    ASSERT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_EQ(tw::test::Ui().boxes[0].caption, "Notice");
    EXPECT_EQ(tw::test::Ui().boxes[1].message, "Resume the second?");
    EXPECT_EQ(tw::test::Ui().boxes[0].parent, w);

    // Once the window is closing every question is answered Cancel at once.
    w->Queue()->CancelQuestions();
    EXPECT_EQ(w->TransferMessageBox("Another?", "Notice", wxYES_NO), wxCANCEL);
    tw::test::Pump(30);
    EXPECT_EQ(tw::test::Ui().boxes.size(), 2u);
}

TEST_F(XferWindow, MapPickerSetsTheArea)
{
    struct Case {
        int answer;
        const char* lat;
        const char* ns;
        const char* lon;
        const char* ew;
        const char* width;
    };
    const Case cases[] = {
        {wxID_OK, "5.50", "S", "160.00", "W", "12"},           // a longitude of 200 E is 160 W
        {wxID_CANCEL, "10.000", "N", "20.000", "E", "15"},     // cancelled: unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CFileList& list = NewList();
        list.SetDefaultPosition(10.0, 20.0, 15);
        FileXfer* w = Make(list, 0);
        double minZoom = 0, maxZoom = 0;
        wxString shownLat;
        std::function<void()> drive = [&]() {
            MapDialog* dialog = nullptr;
            for (wxWindow* tlw : wxTopLevelWindows)
                if (auto* d = dynamic_cast<MapDialog*>(tlw); d && d->IsModal())
                    dialog = d;
            if (!dialog) {
                wxTheApp->CallAfter(drive);
                return;
            }
            shownLat = dialog->m_latCtrl->GetValue();
            minZoom = dialog->GetMapPanel()->m_minZoom;
            maxZoom = dialog->GetMapPanel()->m_maxZoom;
            dialog->m_latCtrl->ChangeValue("5.5");
            dialog->m_nsChoice->SetStringSelection("S");
            dialog->m_lonCtrl->ChangeValue("200");
            dialog->m_ewChoice->SetStringSelection("E");
            dialog->m_widthCtrl->ChangeValue("12.7");
            dialog->EndModal(c.answer);
        };
        wxTheApp->CallAfter(drive);
        Click(w, FileXfer::ID_MAP_BUTTON);
        EXPECT_EQ(shownLat, "10.00");
        EXPECT_DOUBLE_EQ(maxZoom, 7.0);
        EXPECT_DOUBLE_EQ(minZoom, 0.146484375);
        EXPECT_EQ(w->m_latCtrl->GetValue(), c.lat);
        EXPECT_EQ(w->m_nsChoice->GetStringSelection(), c.ns);
        EXPECT_EQ(w->m_lonCtrl->GetValue(), c.lon);
        EXPECT_EQ(w->m_ewChoice->GetStringSelection(), c.ew);
        EXPECT_EQ(w->m_widthCtrl->GetValue(), c.width);
    }
}

// The picker gets the window's own width and gives it back when its field
// holds no number; a width beyond the picker's 1 to 360 degrees is shown as
// it is, placed on the map as the whole world and refused at OK.
TEST_F(XferWindow, MapPickerKeepsTheWidthAndRefusesOneOutOfRange)
{
    struct Case {
        const char* ownWidth;    // the window's width field
        const char* shown;       // the picker's width field when it opens
        const char* typed;       // typed into the picker before OK
        bool refused;
        const char* result;      // the window's width field afterwards
    };
    const Case cases[] = {
        {"20", "20", "abc", false, "20"},
        {"20", "20", "", false, "20"},
        {"3000000000", "3000000000", "3000000000", true, "3000000000"},
        {"20", "20", "999", true, "20"},
        {"20", "20", "0.5", true, "20"},
        {"20", "20", "360", false, "360"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ownWidth) + " / " + c.typed);
        tw::test::ResetUi();
        CFileList& list = NewList();
        list.SetDefaultPosition(10.0, 20.0, 15);
        FileXfer* w = Make(list, 0);
        w->m_widthCtrl->ChangeValue(c.ownWidth);
        wxString shown;
        bool stayed = false;
        mapgeo::MapRect box, world;
        std::function<void()> drive = [&]() {
            MapDialog* dialog = nullptr;
            for (wxWindow* tlw : wxTopLevelWindows)
                if (auto* d = dynamic_cast<MapDialog*>(tlw); d && d->IsModal())
                    dialog = d;
            if (!dialog) {
                wxTheApp->CallAfter(drive);
                return;
            }
            shown = dialog->m_widthCtrl->GetValue();
            box = dialog->GetMapPanel()->m_highlightBox;
            dialog->InitializePosition(10.0, 20.0, 360.0);
            world = dialog->GetMapPanel()->m_highlightBox;
            dialog->m_widthCtrl->ChangeValue(c.typed);
            wxCommandEvent ok(wxEVT_BUTTON, ID_MAPDIALOG_OK);
            dialog->GetEventHandler()->ProcessEvent(ok);
            stayed = dialog->IsModal();
            if (stayed)
                dialog->EndModal(wxID_CANCEL);
        };
        wxTheApp->CallAfter(drive);
        Click(w, FileXfer::ID_MAP_BUTTON);
        EXPECT_EQ(shown, c.shown);
        if (std::string(c.ownWidth) == "3000000000") {
            EXPECT_EQ(box, world) << "too wide a box shows as the whole world";
        }
        EXPECT_EQ(stayed, c.refused);
        if (c.refused) {
            ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
            EXPECT_EQ(tw::test::Ui().boxes[0].message, "Width must be a number of degrees from 1 to 360.");
        } else {
            EXPECT_TRUE(tw::test::Ui().boxes.empty());
        }
        EXPECT_EQ(w->m_widthCtrl->GetValue(), c.result);
    }
}

// A width typed beyond the map picker's range is not sent: the transfer does
// not start and the window says why.
TEST_F(XferWindow, WidthOutOfRangeIsNeverSent)
{
    for (const char* width : {"999", "0", "-5", "3000000000"}) {
        SCOPED_TRACE(width);
        tw::test::ResetUi();
        CFileList& list = NewList();
        list.SetDefaultPosition(10.0, 20.0, 15);
        FileXfer* w = Make(list, 0);
        w->m_widthCtrl->ChangeValue(width);
        EXPECT_FALSE(w->StartTransfer());
        EXPECT_FALSE(w->HasWorker());
        ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
        EXPECT_EQ(tw::test::Ui().boxes[0].message, "Width must be a number of degrees from 1 to 360.");
        EXPECT_TRUE(w->m_goButton->IsEnabled()) << "the user can mend the width and go";
    }
}

TEST_F(XferWindow, ImagesOfTheWindowLoad)
{
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    for (const char* name : {"res/tool_Go.png", "res/tool_Go_over.png", "res/tool_SatelliteDialer.png",
                             "res/tool_SatelliteDialer_over.png", "res/tool_Gateway-FT.png",
                             "res/tool_Gateway-FT_over.png", "res/tool_Close.png", "res/tool_Close_over.png",
                             "res/tool_help-FT.png", "res/tool_help-FT_over.png", "res/TidewrightLogo.png"}) {
        const wxBitmap b = w->GetBitmapResource(name);
        EXPECT_TRUE(b.IsOk()) << name;
        if (std::string(name).find("tool_") != std::string::npos) {
            EXPECT_EQ(b.GetSize(), wxSize(36, 36)) << name;
        }
    }
    EXPECT_EQ(w->GetBitmapResource("Icons/update.bmp").GetSize(), wxSize(32, 32));
    EXPECT_FALSE(w->GetBitmapResource("res/unknown.png").IsOk());
    EXPECT_TRUE(w->GetIconResource("Icons/rivol.ico").IsOk());
    EXPECT_FALSE(w->GetIconResource("Icons/other.ico").IsOk());
    wxBitmap inverse;
    EXPECT_TRUE(inverse.LoadFile(tw::test::ResourcesDir() + "/Icons/updateinv.bmp", wxBITMAP_TYPE_BMP));
    wxBitmap alt;
    EXPECT_TRUE(alt.LoadFile(tw::test::ResourcesDir() + "/res/TidewrightLogoAlt.png", wxBITMAP_TYPE_PNG));
    EXPECT_EQ(alt.GetSize(), wxSize(156, 36));
}

// Every label of the window shows its whole text through a transfer, with
// the longest times and sizes a long transfer reaches.
TEST_F(XferWindow, EveryLabelShowsItsWholeTextThroughATransfer)
{
    CFileList& list = NewList();
    list.price = 123.45;
    list.compressedSize = 99999;
    list.rawSize = 999999;
    FileXfer* w = Make(list, 2);
    ASSERT_TRUE(tw::test::WaitFor([w] { return w->IsShownOnScreen(); }, 3000));
    tw::test::Pump(100);
    EXPECT_EQ(tw::test::ClippedText(w), "") << "as the window opens";

    w->TransferEntry();
    w->TransferBegin("Transfer begins.\n", wxTimeSpan::Minutes(1991), 99999 * 1024);
    w->TransferFileBegin("bwxeuwind.3day.grb", 9999 * 1024, wxTimeSpan::Minutes(999));
    w->TransferElapsedTime(wxTimeSpan::Minutes(999) + wxTimeSpan::Seconds(59),
                           wxTimeSpan::Minutes(1991) + wxTimeSpan::Seconds(59));
    w->TransferProgress(50, 50);
    w->TransferFileDone("bwxeuwind.3day.grb", true);
    w->TransferDone("Transfer done.\n", true);
    w->TransferExit();
    tw::test::Pump(200);
    const wxString dir = wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/xfer-pictures";
    wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    tw::test::Screenshot(w, dir + "/after-transfer.png");
    EXPECT_EQ(tw::test::ClippedText(w), "") << "after a transfer";
}

// The end of a transfer reaches the done-handler after the event that closed
// the window, from the toolkit's queue. A handler whose store fails there
// (a locked database) is told in the gate's one box; the program's loop
// runs on and the window goes.
TEST_F(XferWindow, AFailureInTheDoneHandlerIsToldAndTheLoopRunsOn)
{
    tw::test::ResetUi();
    CFileList& list = NewList();
    FileXfer* w = Make(list, 1);
    done.onDone = [](wxCommandEvent&) { throw wxSQLite3Exception(5, "database is locked"); };
    wxWeakRef<FileXfer> ref(w);
    w->InitiateWindowClose(false);
    EXPECT_NO_THROW(EXPECT_TRUE(tw::test::RunLoopUntilIdle()));
    EXPECT_TRUE(tw::test::WaitFor([&] { return !ref; }, 3000)) << "the window is destroyed";
    EXPECT_EQ(done.results.size(), 1u);
    int errors = 0;
    for (const auto& box : tw::test::Ui().boxes)
        errors += box.caption == "Error" && box.message.Contains("database is locked");
    EXPECT_EQ(errors, 1);
    windows.clear();
}
