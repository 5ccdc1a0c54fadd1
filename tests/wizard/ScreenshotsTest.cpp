// Every page of the wizard as the screen shows it: kept as pictures for
// looking at (in the build tree's wizard-pictures folder), and checked for
// the things a user sees at once: the page fits the wizard, the strip shows
// its picture and its buttons, the page picture stands at the side.
#include <gtest/gtest.h>

#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "WizardFixtures.h"
#include "windows/common/PictureButton.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/wizardpagebase.h"
#include "windows/wizard/wizardnavigator.h"

using namespace wizard_test;

namespace {

wxString PictureDir()
{
    const wxString dir = wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/wizard-pictures";
    wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return dir;
}

wxColour At(const wxImage& image, wxPoint p)
{
    return wxColour(image.GetRed(p.x, p.y), image.GetGreen(p.x, p.y), image.GetBlue(p.x, p.y));
}

// The window's pixels at its client area, as the screen shows them.
wxImage Shot(wxWindow* window, const wxString& name)
{
    const wxString path = PictureDir() + "/" + name + ".png";
    if (!tw::test::Screenshot(window, path))
        return wxImage();
    wxImage image;
    image.LoadFile(path, wxBITMAP_TYPE_PNG);
    return image;
}

// Every child of `window` lies inside it (nothing cut off at its edges), and
// no label is narrower than its text; group boxes are looked into.
void ExpectChildrenInside(wxWindow* window)
{
    const wxSize size = window->GetClientSize();
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        const wxRect r = child->GetRect();
        const std::string what = std::string(child->GetName().utf8_str()) + " '" + child->GetLabel().utf8_str().data() + "'";
        EXPECT_GE(r.x, 0) << what;
        EXPECT_GE(r.y, 0) << what;
        EXPECT_LE(r.GetRight(), size.x - 1) << what;
        EXPECT_LE(r.GetBottom(), size.y - 1) << what;
        const bool labelled = dynamic_cast<wxStaticText*>(child) || dynamic_cast<wxCheckBox*>(child)
                              || dynamic_cast<wxRadioButton*>(child) || dynamic_cast<wxButton*>(child);
        if (labelled) {
            EXPECT_GE(r.width, child->GetBestSize().x) << what << " is cut off";
        }
        if (dynamic_cast<wxStaticBox*>(child))
            ExpectChildrenInside(child);
    }
}

} // namespace

class ScreenshotsTest : public WizardTest
{
};

TEST_F(ScreenshotsTest, EveryPageFitsAndShowsItsPictures)
{
    app.dlPrefs.SetDefaults();
    app.dlPrefs.HomeLocation_CityIdx = 4;
    for (int place = 0; place < tw::wizard::kChainLength; ++place) {
        const int number = tw::wizard::PageNumberAtPlace(place);
        SCOPED_TRACE(number);
        ContentWizard* w = MakeWizard();
        RunWizard(*w, number == 0 ? 13 : number, [&] {
            wxWizardPage* page = w->GetCurrentPage();
            ASSERT_EQ(page, w->GetChainPage(place));
            tw::test::Pump(200);
            const wxImage image = Shot(w, wxString::Format("wizard-%02d-page-%d", place, number));
            ASSERT_TRUE(image.IsOk());
            const wxImage pageImage = Shot(page, wxString::Format("page-%02d-%d", place, number));
            ExpectChildrenInside(page);

            // The page's picture (or the wizard's own) at the left.
            const wxPoint bitmapAt = page->GetScreenPosition() - w->GetClientAreaOrigin() - w->GetScreenPosition();
            EXPECT_GT(bitmapAt.x, 150) << "room for the side picture";

            if (number != 0) {
                auto* content = static_cast<ContentWizardPage*>(page);
                WizardNavigator* strip = content->GetNavigator();
                EXPECT_EQ(strip->GetSize(), wxSize(601, 54));
                const wxImage stripImage = Shot(strip, wxString::Format("strip-%d", number));
                // Between the buttons the strip shows its picture, not its
                // plain grey background; each button shows its face.
                int grey = 0;
                for (int x = 0; x < 601; x += 3)
                    grey += At(stripImage, wxPoint(x, 2)) == wxColour(159, 159, 159);
                EXPECT_LT(grey, 20) << "the strip's picture is drawn";
                for (int p = 1; p <= 11; ++p) {
                    wxPictureButton* b = strip->GetPageButton(tw::wizard::StripButtons()[p - 1].pageNumber);
                    EXPECT_EQ(b->GetPosition(), wxPoint(tw::wizard::StripButtons()[p - 1].x, 9));
                    EXPECT_EQ(b->GetSize(), wxSize(36, 36));
                    EXPECT_TRUE(b->GetFaceBitmap().IsOk());
                }
                int marked = 0;
                for (int p = 1; p <= 11; ++p)
                    marked += strip->GetPageButton(tw::wizard::StripButtons()[p - 1].pageNumber)->GetFaceBitmap()
                                  .IsSameAs(strip->GetPageButton(tw::wizard::StripButtons()[p - 1].pageNumber)
                                                ->GetBitmap(wxPictureButton::Face_Pressed));
                EXPECT_EQ(strip->GetPageButton(number)->GetCurrentFace(), wxPictureButton::Face_Pressed)
                    << "its own page is marked";
                EXPECT_EQ(marked, 1) << "and no other";
                EXPECT_TRUE(content->GetFinishButton()->IsShownOnScreen());
            }
            Cancel(*w);
        });
    }
}
