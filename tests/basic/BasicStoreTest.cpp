// The Basic window and the store it keeps its products and area in: the
// toggles, the product list and the Basic batch always agree, and the window
// never sends an area the user did not choose, whatever the databases say.
#include <wx/toplevel.h>

#include "basic/BasicFixtures.h"
#include "windows/transfer/filexfer.h"

using namespace basic_test;
using namespace xfer_test;
using tw::test::Ui;

namespace {

class BasicStoreTest : public BasicTest
{
protected:
    void SetUp() override
    {
        BasicTest::SetUp();
        WriteButtons(Catalogue(), Personality("Harbour", 100, 20, "bmpnw", "Harbour", "basic_pacific_northwest.png"));
        SetDescription("Harbour");
    }
    static int ErrorBoxes()
    {
        int n = 0;
        for (const auto& box : Ui().boxes)
            n += box.caption == "Error";
        return n;
    }
    bool TransferWindowShown() const
    {
        for (wxWindow* w : wxTopLevelWindows)
            if (w != window && w->IsShown())
                return true;
        return false;
    }
};

// A product whose row cannot be made (the batch's own record cannot be read)
// is not stored: the button springs back, no row, nothing in the batch, and
// a second press stores no duplicate once the store is whole again.
TEST_F(BasicStoreTest, ToggleWhoseRowCannotBeBuiltStoresNothing)
{
    BasicWindow* w = Open();
    tw::test::ResetUi();
    User().ExecuteUpdate("ALTER TABLE batches RENAME TO batches_away");
    Press(0);
    EXPECT_EQ(ErrorBoxes(), 1);
    EXPECT_FALSE(w->m_toggleButtons[0]->GetValue());
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(Items().empty()) << "the batch holds what the toggles and the list show";

    User().ExecuteUpdate("ALTER TABLE batches_away RENAME TO batches");
    Press(0);
    EXPECT_TRUE(w->m_toggleButtons[0]->GetValue());
    EXPECT_EQ(Rows(), std::vector<long>({0}));
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw01"}));
}

// The user database held by another program: a press or a release changes
// neither the batch, nor the list, nor the button.
TEST_F(BasicStoreTest, TogglesOnALockedStoreChangeNothing)
{
    BasicWindow* w = Open();
    Press(1);
    ASSERT_EQ(Items(), std::vector<wxString>({"bmpnw02"}));
    wxSQLite3Database locker;
    locker.Open(dir / "zir_user.db");
    locker.ExecuteUpdate("BEGIN EXCLUSIVE");
    for (int position : {0, 1}) {
        SCOPED_TRACE(position);
        tw::test::ResetUi();
        const bool pressed = w->m_toggleButtons[position]->GetValue();
        Press(position);
        EXPECT_EQ(ErrorBoxes(), 1);
        EXPECT_EQ(w->m_toggleButtons[position]->GetValue(), pressed);
        EXPECT_EQ(Rows(), std::vector<long>({1}));
    }
    locker.ExecuteUpdate("ROLLBACK");
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw02"}));
}

// The personalities cannot be read at start (the buttons query fails): the
// stored area is still the window's, and a Download would send it.
TEST_F(BasicStoreTest, AreaIsTheStoredOneWhenThePersonalityCannotBeRead)
{
    SetArea(30.5, -40.25, 12);
    Catalogue().ExecuteUpdate("ALTER TABLE buttons RENAME TO buttons_away");
    BasicWindow* w = Open();
    EXPECT_FLOAT_EQ(w->m_lat, 30.5f);
    EXPECT_FLOAT_EQ(w->m_lon, -40.25f);
    EXPECT_FLOAT_EQ(w->m_width, 12.0f);
}

// The stored area cannot be read at start (the user database is locked): a
// Download sends nothing while it still cannot be read, and the stored area,
// never the window's default, once it can.
TEST_F(BasicStoreTest, DownloadSendsOnlyTheStoredArea)
{
    SetArea(30.5, -40.25, 12);
    User().ExecuteUpdate("INSERT INTO batch_items (batchID,productID,status) VALUES (1,'bmpnw01',1)");
    wxSQLite3Database locker;
    locker.Open(dir / "zir_user.db");
    locker.ExecuteUpdate("BEGIN EXCLUSIVE");
    BasicWindow* w = Open();
    tw::test::ResetUi();
    Command(ID_BASIC_DOWNLOAD_BUTTON);
    tw::test::Pump(20);
    EXPECT_EQ(ErrorBoxes(), 1);
    EXPECT_EQ(FindXfer(), nullptr);
    locker.ExecuteUpdate("ROLLBACK");

    Command(ID_BASIC_DOWNLOAD_BUTTON);
    FileXfer* x = FindXfer();
    ASSERT_NE(x, nullptr);
    wxWeakRef<FileXfer> ref(x);
    double lat = 0, lon = 0;
    int width = 0;
    ASSERT_TRUE(wxGetApp().transferList.GetDefaultPosition(lat, lon, width));
    EXPECT_DOUBLE_EQ(lat, 30.5);
    EXPECT_DOUBLE_EQ(lon, -40.25);
    EXPECT_EQ(width, 12);
    EXPECT_FLOAT_EQ(w->m_lat, 30.5f);
    Click(x, FileXfer::ID_CLOSE_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor([&] { return !ref; }, 10000));
    tw::test::Pump(30);
}

} // namespace
