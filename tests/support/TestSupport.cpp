#include "support/TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dir.h>
#include <wx/evtloop.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/utils.h>
#include <wx/window.h>
#include <wx/wxsqlite3.h>

namespace tw::test {

namespace {

std::string MakeTempDir(const char* prefix)
{
    std::string templ = (wxFileName::GetTempDir() + "/" + prefix + "XXXXXX").ToStdString();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        return std::string();
    return std::string(buf.data());
}

void RemoveTree(const wxString& path)
{
    if (!path.empty() && wxDirExists(path))
        wxFileName::Rmdir(path, wxPATH_RMDIR_RECURSIVE);
}

std::mutex g_logLock;
std::vector<LogEntry> g_log;

} // namespace

// ---------------------------------------------------------------- TempHome

TempHome::TempHome()
{
    m_path = wxString::FromUTF8(MakeTempDir("tw-home-"));
    const std::pair<const char*, wxString> vars[] = {
        {"HOME", m_path},
        {"XDG_DATA_HOME", m_path + "/.local/share"},
        {"XDG_CONFIG_HOME", m_path + "/.config"},
        {"XDG_DOCUMENTS_DIR", m_path + "/Documents"},
        {"XDG_CACHE_HOME", m_path + "/.cache"},
        {"XDG_RUNTIME_DIR", m_path + "/.run"},
    };
    for (const auto& [name, value] : vars) {
        if (const char* old = std::getenv(name))
            m_saved.emplace_back(name, old);
        else
            m_unset.emplace_back(name);
        wxFileName::Mkdir(value, 0700, wxPATH_MKDIR_FULL);
        setenv(name, value.utf8_str(), 1);
    }
}

TempHome::~TempHome()
{
    for (const auto& [name, value] : m_saved)
        setenv(name.c_str(), value.c_str(), 1);
    for (const auto& name : m_unset)
        unsetenv(name.c_str());
    RemoveTree(m_path);
}

wxString TempHome::DataHome() const { return m_path + "/.local/share"; }
wxString TempHome::ConfigHome() const { return m_path + "/.config"; }
wxString TempHome::Documents() const { return m_path + "/Documents"; }

// ---------------------------------------------------------------- TempDir

TempDir::TempDir() : m_path(wxString::FromUTF8(MakeTempDir("tw-test-"))) {}
TempDir::~TempDir() { RemoveTree(m_path); }
wxString TempDir::operator/(const wxString& name) const { return m_path + "/" + name; }

// ---------------------------------------------------------------- log

void RecordLog(unsigned long level, const wxString& text)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_log.push_back({level, text});
}

std::vector<LogEntry> CapturedLog()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return g_log;
}

void ClearLog()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_log.clear();
}

bool LogContains(const wxString& fragment)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    for (const auto& e : g_log)
        if (e.text.Contains(fragment))
            return true;
    return false;
}

// ---------------------------------------------------------------- UI script

UiScript& Ui()
{
    static UiScript script;
    return script;
}

namespace {
std::mutex g_uiLock;
}

void ResetUi()
{
    std::lock_guard<std::mutex> lock(g_uiLock);
    Ui() = UiScript();
    SetMessageBoxHandler([](const MessageBoxRequest& req) {
        std::lock_guard<std::mutex> lock(g_uiLock);
        Ui().boxes.push_back(req);
        if (!Ui().boxAnswers.empty()) {
            int a = Ui().boxAnswers.front();
            Ui().boxAnswers.pop_front();
            return a;
        }
        if (req.style & wxCANCEL)
            return int(wxCANCEL);
        if (req.style & wxYES_NO)
            return int(wxNO);
        return int(wxOK);
    });
    SetFileChooserHandler([](const FileChooserRequest& req) {
        std::lock_guard<std::mutex> lock(g_uiLock);
        Ui().choosers.push_back(req);
        if (!Ui().chooserAnswers.empty()) {
            wxString a = Ui().chooserAnswers.front();
            Ui().chooserAnswers.pop_front();
            return a;
        }
        return wxString();
    });
}

void AnswerBox(int answer)
{
    std::lock_guard<std::mutex> lock(g_uiLock);
    Ui().boxAnswers.push_back(answer);
}

void AnswerChooser(const wxString& path)
{
    std::lock_guard<std::mutex> lock(g_uiLock);
    Ui().chooserAnswers.push_back(path);
}

bool BoxShown(const wxString& fragment)
{
    std::lock_guard<std::mutex> lock(g_uiLock);
    for (const auto& b : Ui().boxes)
        if (b.message.Contains(fragment) || b.caption.Contains(fragment))
            return true;
    return false;
}

// ---------------------------------------------------------------- events

void Pump(int ms)
{
    wxStopWatch sw;
    do {
        if (wxTheApp) {
            wxTheApp->ProcessPendingEvents();
            wxTheApp->Yield(true);
        }
        wxMilliSleep(2);
    } while (sw.Time() < ms);
}

bool RunLoopUntilIdle(int timeoutMs)
{
    if (!wxTheApp)
        return false;
    int idlePasses = 0;
    wxGUIEventLoop loop;
    const auto onIdle = [&](wxIdleEvent& event) {
        event.Skip();
        if (++idlePasses >= 2 && loop.IsRunning())
            loop.Exit();
    };
    wxTheApp->Bind(wxEVT_IDLE, onIdle);
    wxStopWatch sw;
    wxTimer tick;
    tick.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (sw.Time() > timeoutMs && loop.IsRunning())
            loop.Exit();
        wxWakeUpIdle();
    });
    tick.Start(10);
    struct Unbind {
        std::function<void()> run;
        ~Unbind() { run(); }
    } unbind{[&] {
        tick.Stop();
        wxTheApp->Unbind(wxEVT_IDLE, onIdle);
    }};
    loop.Run();
    return idlePasses >= 2;
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs)
{
    wxStopWatch sw;
    while (!pred()) {
        if (sw.Time() > timeoutMs)
            return pred();
        if (wxTheApp) {
            wxTheApp->ProcessPendingEvents();
            wxTheApp->Yield(true);
        }
        wxMilliSleep(2);
    }
    return true;
}

bool Screenshot(wxWindow* window, const wxString& path)
{
    if (!window)
        return false;
    Pump(100);
    wxClientDC dc(window);
    wxSize size = window->GetClientSize();
    if (size.x <= 0 || size.y <= 0)
        return false;
    wxBitmap bmp(size.x, size.y);
    wxMemoryDC mem(bmp);
    mem.Blit(0, 0, size.x, size.y, &dc, 0, 0);
    mem.SelectObject(wxNullBitmap);
    return bmp.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
}

// ---------------------------------------------------------------- files

wxString ResourcesDir() { return wxS(TIDEWRIGHT_BUILD_RESOURCES); }
wxString SourceDir() { return wxS(TIDEWRIGHT_SOURCE_DIR); }

std::string ReadFile(const wxString& path)
{
    std::ifstream in(path.fn_str(), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool WriteFile(const wxString& path, const std::string& bytes)
{
    std::ofstream out(path.fn_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bool(out);
}

void Exec(const wxString& path, const wxString& sql)
{
    wxSQLite3Database db;
    db.Open(path);
    db.ExecuteUpdate(sql);
    db.Close();
}

int QueryInt(const wxString& path, const wxString& sql, int missing)
{
    wxSQLite3Database db;
    db.Open(path, wxString(), WXSQLITE_OPEN_READONLY);
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    const int v = rs.NextRow() ? rs.GetInt(0, missing) : missing;
    rs.Finalize();
    db.Close();
    return v;
}

std::vector<wxString> QueryTexts(const wxString& path, const wxString& sql)
{
    wxSQLite3Database db;
    db.Open(path, wxString(), WXSQLITE_OPEN_READONLY);
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    std::vector<wxString> out;
    while (rs.NextRow())
        out.push_back(rs.GetAsString(0));
    rs.Finalize();
    db.Close();
    return out;
}

// ---------------------------------------------------------------- windows on the display

namespace {

std::string WindowSearch(const std::string& title)
{
    return "xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | tail -n 1";
}

bool WindowThere(const std::string& title)
{
    return std::system((WindowSearch(title) + " | grep -q .").c_str()) == 0;
}

} // namespace

bool WindowShown(const std::string& title, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (WindowThere(title))
            return true;
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool EscapeOnWindow(const std::string& title)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!WindowThere(title))
            return attempt > 0;
        const std::string key = "W=$(" + WindowSearch(title) + "); [ -n \"$W\" ] || exit 0; "
                                "xdotool windowfocus \"$W\" 2>/dev/null; sleep 0.2; xdotool key Escape; sleep 0.3";
        std::system(key.c_str());
    }
    return !WindowThere(title);
}

} // namespace tw::test
