// The Basic window as a user meets it: its layout on this desktop, and a
// download of the pressed products against the gateway stand-in into the
// Basic Batch folder, the area surviving the download and a restart.
#include <wx/filename.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <wx/dcclient.h>

#include "core/Registry.h"
#include "basic/BasicFixtures.h"
#include "map/MapFixtures.h"
#include "support/GatewaySim.h"
#include "windows/common/PictureButton.h"
#include "xferwindow/XferFixtures.h"

using namespace basic_test;
using namespace xfer_test;
using tw::test::GatewaySim;

namespace {

// Every control of the window with its rectangle in the panel's coordinates
// (controls inside the static boxes included).
std::vector<std::pair<wxWindow*, wxRect>> Controls(wxWindow* panel)
{
    std::vector<std::pair<wxWindow*, wxRect>> out;
    for (wxWindow* child : panel->GetChildren()) {
        if (!child->IsShown())
            continue;
        if (dynamic_cast<wxStaticBox*>(child)) {
            const wxPoint origin = child->GetPosition() + child->GetClientAreaOrigin();
            for (wxWindow* inner : child->GetChildren())
                out.emplace_back(inner, wxRect(inner->GetPosition() + origin, inner->GetSize()));
            continue;
        }
        out.emplace_back(child, child->GetRect());
    }
    return out;
}

wxString Describe(wxWindow* w)
{
    return w->GetClassInfo()->GetClassName() + wxString::Format(" %d '", w->GetId()) + w->GetLabel() + "'";
}

} // namespace

TEST_F(BasicTest, WindowShowsEverythingWholeAndTheLabelInItsField)
{
    BasicWindow* w = Open();
    w->Raise();
    EXPECT_EQ(w->GetTitle(), "Basic Window");
    EXPECT_EQ(w->GetId(), ID_BASICWINDOW);
    EXPECT_EQ(w->GetSize(), w->GetMinSize()) << "the window takes the size its content needs";
    EXPECT_EQ(w->m_mapPanel->GetSize(), wxSize(600, 300));
    EXPECT_EQ(w->m_mapPanel->GetName(), "Map Window");
    EXPECT_EQ(w->m_pointerLabel->GetLabel(), "Pointer:");

    // Nothing is clipped: every control has at least its best size and lies
    // inside the panel; no two overlap, except the pointer label lying in the
    // white field of the pointer picture.
    const wxRect panel(wxPoint(0, 0), w->m_panel->GetClientSize());
    const auto controls = Controls(w->m_panel);
    ASSERT_GT(controls.size(), 25u);
    for (const auto& [control, rect] : controls) {
        SCOPED_TRACE(Describe(control).utf8_string());
        EXPECT_TRUE(panel.Contains(rect)) << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
        // Lists and maps scroll what they hold; every other control is whole.
        if (control != w->m_pointerLabel && !dynamic_cast<wxListCtrl*>(control) &&
            !dynamic_cast<wxMapPanel*>(control)) {
            const wxSize best = control->GetBestSize();
            EXPECT_GE(rect.width, best.x);
            EXPECT_GE(rect.height, best.y);
        }
    }
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j) {
            wxWindow* a = controls[i].first;
            wxWindow* b = controls[j].first;
            const bool labelPair = (a == w->m_pointerLabel && b == w->m_pointerPicture) ||
                                   (b == w->m_pointerLabel && a == w->m_pointerPicture);
            if (!labelPair)
                EXPECT_FALSE(controls[i].second.Intersects(controls[j].second))
                    << Describe(a).utf8_string() << " / " << Describe(b).utf8_string();
        }
    const wxRect picture = w->m_pointerPicture->GetRect();
    const wxRect field(picture.x + 180, picture.y + 4, 123, 23);
    EXPECT_TRUE(field.Contains(w->m_pointerLabel->GetRect()));
    wxClientDC dc(w->m_pointerLabel);
    dc.SetFont(w->m_pointerLabel->GetFont());
    EXPECT_LE(dc.GetTextExtent("90.00S - 180.00W").x, w->m_pointerLabel->GetSize().x)
        << "the widest position fits the field";

    // The pointer position reaches the label.
    map_test::Mouse(w->m_mapPanel, wxEVT_MOTION, wxPoint(300, 150));
    EXPECT_TRUE(w->m_pointerLabel->GetLabel().EndsWith("E") || w->m_pointerLabel->GetLabel().EndsWith("W"))
        << w->m_pointerLabel->GetLabel().utf8_string();

    // Pictures in place: each picture button shows its own face.
    int pictures = 0;
    for (const auto& [control, rect] : controls)
        if (auto* button = dynamic_cast<wxPictureButton*>(control)) {
            ++pictures;
            EXPECT_TRUE(button->GetBitmap(wxPictureButton::Face_Normal).IsOk()) << button->GetId();
            EXPECT_TRUE(button->GetBitmap(wxPictureButton::Face_Current).IsOk()) << button->GetId();
            EXPECT_EQ(rect.GetSize(), button->GetBitmap(wxPictureButton::Face_Normal).GetSize());
        }
    EXPECT_EQ(pictures, 11);
    EXPECT_EQ(w->m_regionPicture->GetBitmap().GetSize(), wxSize(175, 30));
    EXPECT_TRUE(tw::test::Screenshot(w, wxFileName::GetTempDir() + "/tw-basic-window.png"));
}

TEST_F(BasicTest, DownloadBringsThePressedProductsIntoTheBasicBatchFolder)
{
    GatewaySim sim;
    ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start";
    sim.Configure();
    {
        CUserConfig config;
        config.WriteText("Misc/xfer_rate", "102400 600");
    }
    QuickClose quick;
    RecordingLauncher launcher;
    const std::string wind = tw::test::SampleBytes(4000, 7);
    sim.ServeWithCompressed("pnw_gfswind.3day.grb", wind);
    sim.Serve("pnw_radar_latest.png", "PNG radar");
    SetArea(47.25, -124.5, 12);

    BasicWindow* w = Open();
    EXPECT_EQ(Description(), "Pacific Northwest");
    Press(0);                              // Wind 3 Day
    Command(ID_BASIC_PAGE_BUTTON);
    Press(2);                              // Radar
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw01", "bmpnw13"}));
    EXPECT_EQ(Cell(0, 0), "  N/A   ");

    Command(ID_BASIC_DOWNLOAD_BUTTON);
    FileXfer* x = FindXfer();
    ASSERT_NE(x, nullptr);
    wxWeakRef<FileXfer> ref(x);
    EXPECT_FALSE(w->IsEnabled()) << "the transfer window is modal";
    EXPECT_EQ(wxGetApp().transferList.xferMode, 0);
    ASSERT_EQ(wxGetApp().transferList.GetCount(), 2u);
    Click(x, FileXfer::ID_GO_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor(
        [&] { return FileXfer::LiveWorkers() == 0 && !x->HasWorker() && x->GetState() != 3; }, 30000));
    tw::test::Pump(60);
    EXPECT_EQ(x->GetState(), 2) << x->m_log->GetValue().utf8_string();
    Click(x, FileXfer::ID_CLOSE_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor([&] { return !ref; }, 10000));
    tw::test::Pump(60);
    EXPECT_TRUE(w->IsEnabled());

    // The files are in the Basic Batch folder and the list shows their dates.
    EXPECT_EQ(tw::test::ReadFile(basicFolder + "/pnw_gfswind.3day.grb"), wind);
    EXPECT_EQ(tw::test::ReadFile(basicFolder + "/pnw_radar_latest.png"), "PNG radar");
    ASSERT_EQ(Rows(), std::vector<long>({0, 12}));
    for (int row = 0; row < 2; ++row)
        EXPECT_NE(Cell(row, 0), "  N/A   ") << row;
    EXPECT_EQ(w->m_page, 1);
    EXPECT_TRUE(tw::test::Screenshot(w, wxFileName::GetTempDir() + "/tw-basic-after-download.png"));
    EXPECT_EQ(ClipboardText(), basicFolder + "/pnw_gfswind.3day.grb\r\n" + basicFolder + "/pnw_radar_latest.png\r\n")
        << "the downloaded files are handed on";

    // The area went with the request and stays the Basic batch's.
    bool sent = false;
    for (const std::string& line : sim.ReceivedLines())
        sent = sent || line.rfind("pos 47.25 -124.5 12 ", 0) == 0;
    EXPECT_TRUE(sent);
    EXPECT_FLOAT_EQ(w->m_lat, 47.25f);
    EXPECT_FLOAT_EQ(w->m_lon, -124.5f);
    EXPECT_FLOAT_EQ(w->m_width, 12.0f);

    // A restart shows the same products, dates and area.
    const wxString date = Cell(0, 0);
    app.topWindow->Destroy();
    app.topWindow = nullptr;
    tw::test::Pump(20);
    w = Open();
    EXPECT_EQ(Rows(), std::vector<long>({0, 12}));
    EXPECT_EQ(Cell(0, 0), date);
    EXPECT_TRUE(Pressed()[0]);
    EXPECT_FLOAT_EQ(w->m_lat, 47.25f);
    EXPECT_FLOAT_EQ(w->m_lon, -124.5f);
    EXPECT_FLOAT_EQ(w->m_width, 12.0f);
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
    FileXfer::WaitForWorkers(10000);
}

// A download in which one product arrived and the other could not be
// placed: the transfer ends with errors, but the product list shows the date
// of the one that arrived.
TEST_F(BasicTest, PartialDownloadShowsWhatArrived)
{
    GatewaySim sim;
    ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start";
    sim.Configure();
    {
        CUserConfig config;
        config.WriteText("Misc/xfer_rate", "102400 600");
    }
    QuickClose quick;
    RecordingLauncher launcher;
    sim.Serve("pnw_gfswind.3day.grb", tw::test::SampleBytes(4000, 8));
    sim.Serve("pnw_radar_latest.png", "PNG radar");
    ASSERT_TRUE(wxFileName::Mkdir(basicFolder + "/pnw_radar_latest.png", 0777, wxPATH_MKDIR_FULL));

    BasicWindow* w = Open();
    Press(0);                              // Wind 3 Day
    Command(ID_BASIC_PAGE_BUTTON);
    Press(2);                              // Radar
    ASSERT_EQ(Rows(), std::vector<long>({0, 12}));
    EXPECT_EQ(Cell(0, 0), "  N/A   ");

    Command(ID_BASIC_DOWNLOAD_BUTTON);
    FileXfer* x = FindXfer();
    ASSERT_NE(x, nullptr);
    wxWeakRef<FileXfer> ref(x);
    Click(x, FileXfer::ID_GO_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor(
        [&] { return FileXfer::LiveWorkers() == 0 && !x->HasWorker() && x->GetState() != 3; }, 30000));
    tw::test::Pump(60);
    EXPECT_EQ(x->GetState(), 1) << x->m_log->GetValue().utf8_string();
    Click(x, FileXfer::ID_CLOSE_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor([&] { return !ref; }, 10000));
    tw::test::Pump(60);

    ASSERT_EQ(Rows(), std::vector<long>({0, 12}));
    EXPECT_NE(Cell(0, 0), "  N/A   ") << "the product that arrived shows its date";
    EXPECT_EQ(Cell(1, 0), "  N/A   ");
    (void)w;
    FileXfer::WaitForWorkers(10000);
}
