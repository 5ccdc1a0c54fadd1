// The picture button: which face it shows through a sequence of pointer and
// key events, when it sends its click, and what it paints, both into a bitmap
// and on the screen over a coloured and over a painted parent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <functional>
#include <memory>
#include <vector>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "support/TestSupport.h"
#include "platform/Accessible.h"
#include "windows/common/PictureButton.h"

namespace {

constexpr int kSide = 24;

// A round face of one colour: opaque inside a circle, transparent corners.
wxBitmap Disc(const wxColour& colour, int side = kSide)
{
    wxImage img(side, side);
    img.InitAlpha();
    const double r = side / 2.0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
        {
            img.SetRGB(x, y, colour.Red(), colour.Green(), colour.Blue());
            const double dx = x + 0.5 - r, dy = y + 0.5 - r;
            img.SetAlpha(x, y, dx * dx + dy * dy <= (r - 1) * (r - 1) ? 255 : 0);
        }
    return wxBitmap(img);
}

const wxColour kNormal(20, 40, 220);
const wxColour kCurrent(30, 200, 60);
const wxColour kPressed(240, 200, 20);
const wxColour kDisabled(120, 30, 140);
const wxColour kFocus(0, 200, 200);
const wxColour kGround(200, 70, 70);

bool Near(const wxColour& a, const wxColour& b, int tolerance = 6)
{
    return std::abs(a.Red() - b.Red()) <= tolerance && std::abs(a.Green() - b.Green()) <= tolerance &&
           std::abs(a.Blue() - b.Blue()) <= tolerance;
}

wxColour At(const wxImage& img, int x, int y)
{
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

// What a window shows on the screen.
wxImage Grab(wxWindow* window)
{
    tw::test::Pump(30);
    window->Update();
    wxClientDC dc(window);
    const wxSize size = window->GetClientSize();
    wxBitmap bmp(size.x, size.y, 24);
    wxMemoryDC mem(bmp);
    mem.Blit(0, 0, size.x, size.y, &dc, 0, 0);
    mem.SelectObject(wxNullBitmap);
    return bmp.ConvertToImage();
}

struct ScreenPoint {
    wxPoint at;          // in the window's client area
    wxColour colour;
    std::string what;
};

// Reads the window from the screen and lists the points that do not show
// their colour (empty when all do). Test programs share the display and
// another one's window may cover this one for a moment: the frame is raised
// and read again until the points match or the time is up.
std::string ScreenMismatches(wxWindow* window, const std::vector<ScreenPoint>& points, int tolerance = 6)
{
    std::string mismatches;
    tw::test::WaitFor([&] {
        wxGetTopLevelParent(window)->Raise();
        const wxImage shot = Grab(window);
        mismatches.clear();
        for (const ScreenPoint& p : points)
        {
            const wxColour seen = At(shot, p.at.x, p.at.y);
            if (!Near(seen, p.colour, tolerance))
                mismatches += p.what + " at " + std::to_string(p.at.x) + "," + std::to_string(p.at.y) + " shows " +
                              seen.GetAsString(wxC2S_HTML_SYNTAX).ToStdString() + " instead of " +
                              p.colour.GetAsString(wxC2S_HTML_SYNTAX).ToStdString() + "; ";
        }
        return mismatches.empty();
    });
    return mismatches;
}

// A place in the display's bottom right corner, away from the centred
// windows of other test programs.
wxPoint CornerPlace(const wxSize& size)
{
    const wxSize display = wxGetDisplaySize();
    return wxPoint(std::max(0, display.x - size.x - 20), std::max(0, display.y - size.y - 40));
}

class PictureButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = new wxFrame(nullptr, wxID_ANY, wxS("Picture buttons"), CornerPlace(wxSize(240, 120)),
                              wxSize(240, 120));
        m_panel = new wxPanel(m_frame);
        m_panel->SetBackgroundColour(kGround);
        m_button = new wxPictureButton(m_panel, 4711, Disc(kNormal), wxPoint(20, 20));
        m_button->SetBitmapCurrent(Disc(kCurrent));
        m_button->SetBitmapPressed(Disc(kPressed));
        m_other = new wxPictureButton(m_panel, 4712, Disc(kNormal), wxPoint(80, 20));
        m_panel->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
            m_clicks.push_back(e.GetId());
            m_sources.push_back(e.GetEventObject());
        });
        m_frame->Show();
        ASSERT_TRUE(tw::test::WaitFor([&] { return m_button->IsShownOnScreen(); }));
    }

    void TearDown() override { m_frame->Destroy(); tw::test::Pump(20); }

    void Mouse(wxPictureButton* button, wxEventType type, wxPoint at = wxPoint(kSide / 2, kSide / 2))
    {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(button);
        event.SetId(button->GetId());
        event.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK || type == wxEVT_MOTION;
        button->GetEventHandler()->ProcessEvent(event);
    }

    void Key(wxPictureButton* button, int code)
    {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }

    wxFrame* m_frame = nullptr;
    wxPanel* m_panel = nullptr;
    wxPictureButton* m_button = nullptr;
    wxPictureButton* m_other = nullptr;
    std::vector<int> m_clicks;
    std::vector<wxObject*> m_sources;
};

// A step of a pointer sequence: an event and, for moves, where it happens.
struct Step {
    wxEventType type;
    wxPoint at;
};
const wxPoint kIn(kSide / 2, kSide / 2);
const wxPoint kOut(kSide + 30, kSide / 2);

struct Sequence {
    const char* name;
    std::vector<Step> steps;
    wxPictureButton::Face face;   // shown after the steps
    int clicks;
};

TEST_F(PictureButtonTest, PointerSequencesGiveTheFaceAndTheClicks)
{
    const std::vector<Sequence> cases = {
        {"nothing", {}, wxPictureButton::Face_Normal, 0},
        {"enter", {{wxEVT_ENTER_WINDOW, kIn}}, wxPictureButton::Face_Current, 0},
        {"enter, leave", {{wxEVT_ENTER_WINDOW, kIn}, {wxEVT_LEAVE_WINDOW, kOut}}, wxPictureButton::Face_Normal, 0},
        {"press", {{wxEVT_ENTER_WINDOW, kIn}, {wxEVT_LEFT_DOWN, kIn}}, wxPictureButton::Face_Pressed, 0},
        {"press, release inside",
         {{wxEVT_ENTER_WINDOW, kIn}, {wxEVT_LEFT_DOWN, kIn}, {wxEVT_LEFT_UP, kIn}},
         wxPictureButton::Face_Current,
         1},
        {"press, drag out",
         {{wxEVT_ENTER_WINDOW, kIn}, {wxEVT_LEFT_DOWN, kIn}, {wxEVT_MOTION, kOut}},
         wxPictureButton::Face_Normal,
         0},
        {"press, leave, release outside",
         {{wxEVT_ENTER_WINDOW, kIn}, {wxEVT_LEFT_DOWN, kIn}, {wxEVT_LEAVE_WINDOW, kOut}, {wxEVT_LEFT_UP, kOut}},
         wxPictureButton::Face_Normal,
         0},
        {"press, drag out and back, release inside",
         {{wxEVT_ENTER_WINDOW, kIn},
          {wxEVT_LEFT_DOWN, kIn},
          {wxEVT_MOTION, kOut},
          {wxEVT_MOTION, kIn},
          {wxEVT_LEFT_UP, kIn}},
         wxPictureButton::Face_Current,
         1},
        {"release without a press", {{wxEVT_ENTER_WINDOW, kIn}, {wxEVT_LEFT_UP, kIn}}, wxPictureButton::Face_Current, 0},
        {"quick double click",
         {{wxEVT_ENTER_WINDOW, kIn},
          {wxEVT_LEFT_DOWN, kIn},
          {wxEVT_LEFT_UP, kIn},
          {wxEVT_LEFT_DCLICK, kIn},
          {wxEVT_LEFT_UP, kIn}},
         wxPictureButton::Face_Current,
         2},
    };
    for (const Sequence& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_clicks.clear();
        Mouse(m_button, wxEVT_LEAVE_WINDOW, kOut);
        for (const Step& s : c.steps)
            Mouse(m_button, s.type, s.at);
        EXPECT_EQ(m_button->GetCurrentFace(), c.face);
        EXPECT_EQ(static_cast<int>(m_clicks.size()), c.clicks);
        Mouse(m_button, wxEVT_LEFT_UP, kOut);   // end any press left open
    }
}

TEST_F(PictureButtonTest, ClickCarriesTheButtonsIdAndObject)
{
    Mouse(m_other, wxEVT_ENTER_WINDOW);
    Mouse(m_other, wxEVT_LEFT_DOWN);
    Mouse(m_other, wxEVT_LEFT_UP);
    Mouse(m_button, wxEVT_ENTER_WINDOW);
    Mouse(m_button, wxEVT_LEFT_DOWN);
    Mouse(m_button, wxEVT_LEFT_UP);
    ASSERT_EQ(m_clicks, (std::vector<int>{4712, 4711}));
    EXPECT_EQ(m_sources[0], m_other);
    EXPECT_EQ(m_sources[1], m_button);
}

TEST_F(PictureButtonTest, DisabledButtonShowsItsDisabledFaceAndSendsNothing)
{
    Mouse(m_button, wxEVT_ENTER_WINDOW);
    m_button->Disable();
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Disabled);
    Mouse(m_button, wxEVT_LEFT_DOWN);
    Mouse(m_button, wxEVT_LEFT_UP);
    Key(m_button, WXK_SPACE);
    EXPECT_TRUE(m_clicks.empty());

    // Without a disabled face: a greyed copy of the normal one.
    const wxImage greyed = m_button->GetFaceBitmap().ConvertToImage();
    const wxColour centre = At(greyed, kSide / 2, kSide / 2);
    EXPECT_FALSE(Near(centre, kNormal, 30));
    EXPECT_LE(std::abs(centre.Red() - centre.Blue()), 30) << "not grey";
    EXPECT_EQ(greyed.GetAlpha(0, 0), 0) << "the corners stay transparent";

    m_button->SetBitmapDisabled(Disc(kDisabled));
    EXPECT_TRUE(Near(At(m_button->GetFaceBitmap().ConvertToImage(), kSide / 2, kSide / 2), kDisabled, 0));

    // Enabled again it is neither hovered nor pressed until the pointer says so.
    m_button->Enable();
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Normal);
    Mouse(m_button, wxEVT_MOTION);
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Current);

    // A disabled parent disables the button's face too.
    m_panel->Disable();
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Disabled);
    m_panel->Enable();
}

TEST_F(PictureButtonTest, SelectedButtonKeepsItsPressedFace)
{
    m_button->SetSelected();
    EXPECT_TRUE(m_button->IsSelected());
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Pressed);
    Mouse(m_button, wxEVT_ENTER_WINDOW);
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Pressed);
    Mouse(m_button, wxEVT_LEFT_DOWN);
    Mouse(m_button, wxEVT_LEFT_UP);
    EXPECT_EQ(m_clicks.size(), 1u) << "a selected button still clicks";
    m_button->SetSelected(false);
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Current);
    m_button->Disable();
    m_button->SetSelected();
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Disabled);
}

TEST_F(PictureButtonTest, KeysClickOnlyWithSpaceOrReturn)
{
    Key(m_button, 'A');
    Key(m_button, WXK_TAB);
    EXPECT_TRUE(m_clicks.empty());
    Key(m_button, WXK_SPACE);
    Key(m_button, WXK_RETURN);
    Key(m_button, WXK_NUMPAD_ENTER);
    EXPECT_EQ(m_clicks, (std::vector<int>{4711, 4711, 4711}));
}

TEST_F(PictureButtonTest, MissingFacesFallBackToTheNormalFace)
{
    // m_other has only its normal face.
    Mouse(m_other, wxEVT_ENTER_WINDOW);
    EXPECT_TRUE(Near(At(m_other->GetFaceBitmap().ConvertToImage(), kSide / 2, kSide / 2), kNormal, 0));
    Mouse(m_other, wxEVT_LEFT_DOWN);
    EXPECT_EQ(m_other->GetCurrentFace(), wxPictureButton::Face_Pressed);
    EXPECT_TRUE(Near(At(m_other->GetFaceBitmap().ConvertToImage(), kSide / 2, kSide / 2), kNormal, 0));
    Mouse(m_other, wxEVT_LEFT_UP, kOut);
    EXPECT_FALSE(m_other->GetBitmap(wxPictureButton::Face_Current).IsOk());
}

TEST_F(PictureButtonTest, FocusFaceShowsOnlyWhenGiven)
{
    m_button->SetFocus();
    if (!tw::test::WaitFor([&] { return m_button->HasFocus(); }, 2000))
        GTEST_SKIP() << "the display gives no keyboard focus";
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Normal);
    m_button->SetBitmapFocus(Disc(kFocus));
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Focus);
    Mouse(m_button, wxEVT_ENTER_WINDOW);
    EXPECT_EQ(m_button->GetCurrentFace(), wxPictureButton::Face_Current);
}

// Screen readers see a push button named by its tooltip; a name given
// explicitly wins over any tooltip, before or after it.
TEST_F(PictureButtonTest, ReadersSeeAPushButtonNamedByItsTooltip)
{
    EXPECT_EQ(tw::AccessibleRoleName(m_button), "push button");
    EXPECT_EQ(tw::AccessibleName(m_button), "");
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* name;
    };
    const std::vector<Step> steps = {
        {"first tooltip", [&] { m_button->SetToolTip("Zoom in on content map"); }, "Zoom in on content map"},
        {"tooltip changed", [&] { m_button->SetToolTip("Zoom out on content map"); }, "Zoom out on content map"},
        {"tooltip removed", [&] { m_button->UnsetToolTip(); }, ""},
        {"tooltip again", [&] { m_button->SetToolTip(new wxToolTip("Launch the Help window")); },
         "Launch the Help window"},
        {"own name", [&] { m_button->SetAccessibleName("Help"); }, "Help"},
        {"tooltip after the own name", [&] { m_button->SetToolTip("Something else"); }, "Help"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(tw::AccessibleName(m_button), s.name);
        EXPECT_EQ(tw::AccessibleRoleName(m_button), "push button");
    }
    // A button named before it ever had a tooltip keeps its name too.
    m_other->SetAccessibleName("Zoom out");
    m_other->SetToolTip("tip");
    EXPECT_EQ(tw::AccessibleName(m_other), "Zoom out");
}

// The focused button shows a dashed black and white frame along its edge,
// over the face it shows (selected and hovered included); without the focus
// its edge shows the ground again.
TEST_F(PictureButtonTest, FocusedButtonShowsAFocusFrame)
{
    auto edge = [&] {
        wxBitmap canvas(kSide, kSide, 24);
        {
            wxMemoryDC dc(canvas);
            dc.SetBackground(wxBrush(kGround));
            dc.Clear();
            m_button->DrawFace(dc);
        }
        const wxImage img = canvas.ConvertToImage();
        // The colours along the top edge and down the right edge.
        std::vector<wxColour> seen;
        for (int x = 0; x < kSide; ++x)
            seen.push_back(At(img, x, 0));
        for (int y = 0; y < kSide; ++y)
            seen.push_back(At(img, kSide - 1, y));
        return seen;
    };
    auto dashed = [](const std::vector<wxColour>& seen) {
        int black = 0, white = 0;
        for (const wxColour& c : seen) {
            black += Near(c, *wxBLACK, 0);
            white += Near(c, *wxWHITE, 0);
        }
        return black + white == static_cast<int>(seen.size()) && black >= 10 && white >= 10;
    };
    auto ground = [](const std::vector<wxColour>& seen) {
        return std::all_of(seen.begin(), seen.end(), [](const wxColour& c) { return Near(c, kGround, 0); });
    };

    m_other->SetFocus();
    if (!tw::test::WaitFor([&] { return m_other->HasFocus(); }, 2000))
        GTEST_SKIP() << "the display gives no keyboard focus";
    EXPECT_TRUE(ground(edge())) << "no frame without the focus";
    m_button->SetFocus();
    ASSERT_TRUE(tw::test::WaitFor([&] { return m_button->HasFocus(); }, 2000));
    EXPECT_TRUE(dashed(edge()));
    m_button->SetSelected();
    Mouse(m_button, wxEVT_ENTER_WINDOW);
    EXPECT_TRUE(dashed(edge())) << "over the pressed face too";
    m_button->SetSelected(false);
    Mouse(m_button, wxEVT_LEAVE_WINDOW, kOut);

    // And on the screen, where it comes and goes with the focus.
    const wxPoint origin = m_button->GetPosition();
    auto framePoints = [&](bool focused) {
        std::vector<ScreenPoint> points;
        for (int x : {0, 1, 2, 3})
            points.push_back({origin + wxPoint(x, 0), focused ? ((x / 2) % 2 ? *wxWHITE : *wxBLACK) : kGround,
                              "top edge"});
        points.push_back({origin + wxPoint(kSide / 2, kSide / 2), kNormal, "face"});
        return points;
    };
    EXPECT_EQ(ScreenMismatches(m_panel, framePoints(true), 0), "");
    m_other->SetFocus();
    ASSERT_TRUE(tw::test::WaitFor([&] { return m_other->HasFocus(); }, 2000));
    EXPECT_EQ(ScreenMismatches(m_panel, framePoints(false), 0), "");
}

TEST_F(PictureButtonTest, BestSizeIsTheNormalFacesSize)
{
    EXPECT_EQ(m_button->GetSize(), wxSize(kSide, kSide));
    EXPECT_EQ(m_button->GetBestSize(), wxSize(kSide, kSide));
    m_other->SetBitmap(Disc(kNormal, 40));
    EXPECT_EQ(m_other->GetBestSize(), wxSize(40, 40));
    auto* sized = new wxPictureButton(m_panel, wxID_ANY, Disc(kNormal), wxPoint(150, 10), wxSize(36, 30));
    EXPECT_EQ(sized->GetSize(), wxSize(36, 30)) << "a given size is kept";
}

// DrawFace into a bitmap of the ground colour: the face in the middle, the
// ground in the corners (the transparent corners are not filled).
TEST_F(PictureButtonTest, DrawsItsFaceOverWhatLiesBeneath)
{
    struct Case {
        const char* name;
        std::function<void()> act;
        wxColour centre;
    };
    const std::vector<Case> cases = {
        {"normal", [] {}, kNormal},
        {"hover", [&] { Mouse(m_button, wxEVT_ENTER_WINDOW); }, kCurrent},
        {"pressed", [&] { Mouse(m_button, wxEVT_LEFT_DOWN); }, kPressed},
        {"released outside", [&] { Mouse(m_button, wxEVT_LEFT_UP, kOut); }, kNormal},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.act();
        wxBitmap canvas(kSide, kSide, 24);
        {
            wxMemoryDC dc(canvas);
            dc.SetBackground(wxBrush(kGround));
            dc.Clear();
            m_button->DrawFace(dc);
        }
        const wxImage img = canvas.ConvertToImage();
        EXPECT_TRUE(Near(At(img, kSide / 2, kSide / 2), c.centre, 0));
        EXPECT_TRUE(Near(At(img, 0, 0), kGround, 0));
        EXPECT_TRUE(Near(At(img, kSide - 1, kSide - 1), kGround, 0));
    }
}

// On the screen: the corners show the parent, a plain colour or a painting.
TEST_F(PictureButtonTest, ScreenShowsTheParentThroughTheCorners)
{
    const wxPoint origin = m_button->GetPosition();
    EXPECT_EQ(ScreenMismatches(m_panel, {{origin + wxPoint(kSide / 2, kSide / 2), kNormal, "face"},
                                         {origin + wxPoint(1, 1), kGround, "corner"},
                                         {origin + wxPoint(kSide - 2, kSide - 2), kGround, "corner"}}),
              "");

    // A parent that paints stripes of two colours behind the button.
    auto* painted = new wxPanel(m_panel, wxID_ANY, wxPoint(120, 10), wxSize(100, 60));
    painted->SetBackgroundStyle(wxBG_STYLE_PAINT);
    painted->Bind(wxEVT_PAINT, [painted](wxPaintEvent&) {
        wxPaintDC dc(painted);
        const wxSize size = painted->GetClientSize();
        for (int y = 0; y < size.y; y += 4)
        {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush((y / 4) % 2 ? wxColour(250, 250, 250) : wxColour(0, 0, 0)));
            dc.DrawRectangle(0, y, size.x, 4);
        }
    });
    auto* over = new wxPictureButton(painted, wxID_ANY, Disc(kNormal), wxPoint(10, 10));
    over->SetBitmapCurrent(Disc(kCurrent));
    ASSERT_TRUE(tw::test::WaitFor([&] { return over->IsShownOnScreen(); }));
    for (bool hover : {false, true})
    {
        SCOPED_TRACE(hover ? "hover" : "normal");
        Mouse(over, hover ? wxEVT_ENTER_WINDOW : wxEVT_LEAVE_WINDOW);
        // Corner pixels at rows of either stripe colour.
        std::vector<ScreenPoint> points = {{wxPoint(10 + kSide / 2, 10 + kSide / 2), hover ? kCurrent : kNormal, "face"}};
        for (int y : {10, 14, 11 + kSide - 2})
        {
            const wxColour stripe = (y / 4) % 2 ? wxColour(250, 250, 250) : wxColour(0, 0, 0);
            points.push_back({wxPoint(10, y), stripe, "left corner"});
            points.push_back({wxPoint(10 + kSide - 1, y), stripe, "right corner"});
        }
        EXPECT_EQ(ScreenMismatches(painted, points), "");
    }
}

// The real faces: the page strip's buttons on the strip's ground picture and
// a few of the Portal's on its grey, looked at in the saved screenshot; no
// button may show a box of its own colour around its face.
TEST(PictureButtonLook, RealFacesSitCleanlyOnPicturesAndColours)
{
    const wxString res = tw::test::ResourcesDir() + "/res/";
    auto face = [&](const wxString& name) {
        wxBitmap bmp;
        EXPECT_TRUE(bmp.LoadFile(res + name, wxBITMAP_TYPE_PNG)) << name;
        return bmp;
    };

    auto* frame = new wxFrame(nullptr, wxID_ANY, wxS("Picture buttons"), CornerPlace(wxSize(640, 190)), wxDefaultSize);
    frame->SetClientSize(640, 190);
    auto* root = new wxPanel(frame);
    root->SetBackgroundColour(wxColour(129, 129, 129));

    wxImage stripGround;
    ASSERT_TRUE(stripGround.LoadFile(res + "loadwin_toll_bkg_no_transp.png", wxBITMAP_TYPE_PNG));
    const wxBitmap stripBitmap(stripGround);
    auto* strip = new wxPanel(root, wxID_ANY, wxPoint(10, 10), wxSize(601, 54));
    strip->SetBackgroundStyle(wxBG_STYLE_PAINT);
    strip->Bind(wxEVT_PAINT, [strip, &stripBitmap](wxPaintEvent&) {
        wxPaintDC dc(strip);
        dc.DrawBitmap(stripBitmap, 0, 0, false);
    });
    const char* stems[] = {"GribWeather", "WeatherCharts", "TextForecast", "SatelliteImagery",
                           "Buoys", "SurfaceCurrents", "GribFishing", "Preferences",
                           "Home", "GPS", "Gateway"};
    std::vector<wxPictureButton*> buttons;
    for (int place = 0; place < 11; ++place)
    {
        const wxString stem = wxString("tool_") + stems[place];
        auto* b = new wxPictureButton(strip, 10136 + place, face(stem + ".png"), wxPoint(13 + 54 * place, 9),
                                      wxSize(36, 36));
        b->SetBitmapPressed(face(stem + "_select.png"));
        b->SetBitmapCurrent(face(stem + "_over.png"));
        buttons.push_back(b);
    }
    buttons[2]->SetSelected();
    {
        wxMouseEvent enter(wxEVT_ENTER_WINDOW);
        enter.SetEventObject(buttons[5]);
        buttons[5]->GetEventHandler()->ProcessEvent(enter);
    }

    struct Wide {
        const char* stem;
        wxPoint at;
    };
    const Wide wides[] = {{"btn_Download", {10, 80}}, {"btn_LaunchWizard", {200, 80}},
                          {"btn_BasicMode", {200, 120}}, {"btn_ZoomIn", {400, 80}}, {"tool_Help", {440, 80}}};
    std::vector<wxPictureButton*> onGrey;
    for (const Wide& w : wides)
    {
        auto* b = new wxPictureButton(root, wxID_ANY, face(wxString(w.stem) + ".png"), w.at, wxDefaultSize,
                                      wxBORDER_NONE, wxDefaultValidator, w.stem);
        b->SetBitmapCurrent(face(wxString(w.stem) + "_over.png"));
        onGrey.push_back(b);
    }
    onGrey[1]->Disable();

    frame->Show();
    ASSERT_TRUE(tw::test::WaitFor([&] { return buttons.back()->IsShownOnScreen(); }));
    // The keyboard focus on a field of its own, off the buttons: a focused
    // button shows its focus frame along its edge (tested on its own above).
    auto* field = new wxTextCtrl(root, wxID_ANY, wxEmptyString, wxPoint(520, 150), wxSize(100, -1));
    field->SetFocus();
    tw::test::WaitFor([&] { return field->HasFocus(); }, 2000);
    tw::test::Screenshot(frame, wxFileName::GetTempDir() + "/tw-picture-buttons.png");

    std::vector<ScreenPoint> stripPoints;
    for (int place = 0; place < 11; ++place)
    {
        const int x = 13 + 54 * place, y = 9;
        for (const wxPoint corner : {wxPoint(x, y), wxPoint(x + 35, y), wxPoint(x, y + 35), wxPoint(x + 35, y + 35)})
            stripPoints.push_back({corner, At(stripGround, corner.x, corner.y),
                                   "corner of place " + std::to_string(place + 1)});
    }
    EXPECT_EQ(ScreenMismatches(strip, stripPoints, 3), "");
    std::vector<ScreenPoint> greyPoints;
    for (wxPictureButton* b : onGrey)
        greyPoints.push_back({b->GetPosition(), wxColour(129, 129, 129), "corner of " + b->GetName().ToStdString()});
    EXPECT_EQ(ScreenMismatches(root, greyPoints, 3), "");
    frame->Destroy();
    tw::test::Pump(20);
}

} // namespace
