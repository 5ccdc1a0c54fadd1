// The items list's context menu under real pointer and key input (the X
// server's test extension, through xdotool): one right click opens the menu
// once, whatever ends it.
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include <wx/menu.h>

#include "library/LibraryFixtures.h"

namespace library_test {
namespace {

using tw::test::Ui;

bool XDo(const std::string& args)
{
    return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

class ContextMenuPointerTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ASSERT_EQ(std::system("command -v xdotool >/dev/null 2>&1"), 0) << "xdotool is needed";
    }
};

TEST_F(ContextMenuPointerTest, ARightClickOnAnItemOpensTheMenuOnce)
{
    const struct {
        const char* name;
        const char* keys;   // typed into the open menu
        int answer;         // to the question the command asks, if any
    } cases[] = {
        {"Copy", "Down Down Down Return", 0},
        {"Delete Un-Selected answered No", "Down Down Down Down Down Down Down Down Return", wxNO},
        {"closed with Escape", "Escape", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetStore();
        Open();
        ClickRow(window->m_batchesList, RowOfBatch(3));
        tw::test::ResetUi();
        if (c.answer)
            tw::test::AnswerBox(c.answer);
        const int items = Query("SELECT count(*) FROM batch_items WHERE batchID=3");

        std::atomic<int> menus{0};
        std::atomic<bool> over{false};
        window->Bind(wxEVT_MENU_OPEN, [&menus](wxMenuEvent& event) {
            if (event.IsPopup())
                ++menus;
            event.Skip();
        });
        const wxPoint at =
            RowArea(window->m_itemsList)->ClientToScreen(RowPoint(window->m_itemsList, RowOfItem("G1"), 1));
        // The menu runs a loop of its own inside the click: the pointer and
        // the keys come from another thread, each step once the program has
        // shown what it waits for. A menu that opens again is closed.
        std::thread user([&] {
            XDo("mousemove --sync 1 1");
            XDo("mousemove --sync " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 3");
            wxStopWatch sw;
            while (menus == 0 && sw.Time() < 5000)
                wxMilliSleep(5);
            wxMilliSleep(100);   // the menu takes keys once it has the keyboard
            XDo(std::string("key ") + c.keys);
            sw.Start();
            while (!over && menus < 2 && sw.Time() < 5000)
                wxMilliSleep(5);
            if (menus >= 2) {
                wxMilliSleep(100);
                XDo("key Escape");
            }
        });
        EXPECT_TRUE(WaitFor([&] { return menus >= 1; }, 5000)) << "the menu opened";
        EXPECT_TRUE(tw::test::RunLoopUntilIdle());
        over = true;
        user.join();
        Pump(20);

        EXPECT_EQ(menus, 1);
        EXPECT_EQ(Query("SELECT count(*) FROM batch_items WHERE batchID=3"), items);
        if (std::string(c.name) == "Copy") {
            ASSERT_EQ(window->m_itemClipboard.GetCount(), 1u);
            EXPECT_EQ(window->m_itemClipboard.Item(0).info.FileID, "G1");
        }
        if (c.answer)
            EXPECT_EQ(Ui().boxes.size(), 1u) << "asked once";
        Close();
    }
}

} // namespace
} // namespace library_test
