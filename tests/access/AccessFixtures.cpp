#include "access/AccessFixtures.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "model/FileList.h"
#include "windows/transfer/filexfer.h"
#include "startup/StartupFixtures.h"
#include "windows/common/PictureButton.h"

extern char** environ;

namespace access_test {

std::string NoBusReason()
{
    if (const char* why = std::getenv("TIDEWRIGHT_NO_ACCESSIBILITY_BUS"))
        return why;
    if (std::getenv("NO_AT_BRIDGE"))
        return "NO_AT_BRIDGE is set, so the toolkit stays off the bus; run this program through "
               "tests/support/run-with-accessibility-bus (ctest does)";
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        return "there is no session bus; run this program through tests/support/run-with-accessibility-bus "
               "(ctest does)";
    return std::string();
}

namespace {

// The system's Python, which has the bus bindings; else the first on PATH.
std::string Python()
{
    return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

std::vector<AccessibleObject> ParseObjects(const std::string& text)
{
    std::vector<AccessibleObject> objects;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (fields.size() != 4)
            continue;
        AccessibleObject object;
        object.depth = std::atoi(fields[0].c_str());
        object.role = fields[1];
        object.name = fields[2];
        std::istringstream states(fields[3]);
        std::string state;
        while (std::getline(states, state, ','))
            object.states.insert(state);
        objects.push_back(object);
    }
    return objects;
}

} // namespace

std::vector<AccessibleObject> ReadAccessibleObjects(std::string& error)
{
    error.clear();
    tw::test::TempDir dir;
    const std::string output = (dir / "objects.txt").utf8_string();
    const std::string script = (tw::test::SourceDir() + "/tests/access/read-accessible-tree.py").utf8_string();
    const std::string python = Python();
    const std::string pid = std::to_string(getpid());
    std::vector<char*> argv = {const_cast<char*>(python.c_str()), const_cast<char*>(script.c_str()),
                               const_cast<char*>(pid.c_str()), const_cast<char*>(output.c_str()), nullptr};
    pid_t reader = -1;
    if (posix_spawnp(&reader, python.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        error = "cannot start " + python;
        return {};
    }
    // The reader asks this program over the bus: the loop must keep running.
    int status = 0;
    bool ended = false;
    tw::test::WaitFor(
        [&] {
            ended = ended || waitpid(reader, &status, WNOHANG) == reader;
            return ended;
        },
        90000);
    if (!ended) {
        kill(reader, SIGKILL);
        waitpid(reader, &status, 0);
        error = "the reader did not finish";
        return {};
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "the reader failed with status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) +
                " (see its message above)";
        return {};
    }
    std::vector<AccessibleObject> objects = ParseObjects(tw::test::ReadFile(wxString::FromUTF8(output)));
    if (objects.empty())
        error = "the reader wrote no objects";
    return objects;
}

int CountObjects(const std::vector<AccessibleObject>& objects, const std::string& role, const std::string& name)
{
    int count = 0;
    for (const AccessibleObject& o : objects)
        count += o.role == role && o.name == name;
    return count;
}

std::vector<wxPictureButton*> PictureButtons(wxWindow* window, bool shownOnly)
{
    std::vector<wxPictureButton*> found;
    std::function<void(wxWindow*)> walk = [&](wxWindow* w) {
        for (wxWindow* child : w->GetChildren()) {
            if (child->IsTopLevel())
                continue;
            auto* button = dynamic_cast<wxPictureButton*>(child);
            if (button && (!shownOnly || button->IsShownOnScreen()))
                found.push_back(button);
            walk(child);
        }
    };
    walk(window);
    return found;
}

void PressKey(int keyCode)
{
    wxUIActionSimulator keys;
    keys.Char(keyCode);
}

void AccessTest::SetUp()
{
    startup_test::ResetApp();
    ASSERT_TRUE(CInit::InitializeAppFolders());
}

void AccessTest::TearDown()
{
    for (wxWindow* w : std::vector<wxWindow*>(wxTopLevelWindows.begin(), wxTopLevelWindows.end()))
        if (w != app.topWindow)
            w->Destroy();
    startup_test::ResetApp();
}

wxWindow* AccessTest::Start(const wxString& mode)
{
    startup_test::WriteSetting("General/DefaultView", mode);
    if (!app.Startup() || !app.topWindow)
        return nullptr;
    wxWindow* top = app.topWindow;
    tw::test::WaitFor([top] { return top->IsShownOnScreen(); });
    tw::test::Pump(100);
    return top;
}

wxWindow* AccessTest::OpenTransferWindow(CFileList& list)
{
    {
        CUserConfig config;
        config.WriteText("Connection/connection", CRegistry::kNetworkConnection);
    }
    list.xferMode = 1;
    FileXfer* w = FileXfer::CreateInstance(&list, wxGetApp().TransferWindowJob(), nullptr, wxID_ANY,
                                           "File Transfer and Control Status", wxDefaultPosition, wxSize(670, 500),
                                           wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
    w->ShowModal();
    tw::test::WaitFor([w] { return w->IsShownOnScreen(); });
    tw::test::Pump(100);
    return w;
}

} // namespace access_test
