// Pieces shared by the transfer-window tests: a launcher that records what
// would be started, installed stand-in viewers, a handler that records the
// end-of-transfer event, the clipboard, and finding and closing the window.
#pragma once

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filename.h>
#include <wx/weakref.h>

#include "app/tidewrightapp.h"
#include "model/Batch.h"
#include "platform/Launcher.h"
#include "support/TestSupport.h"
#include "support/DialerSim.h"
#include "windows/transfer/filexfer.h"

// Readable test failures for texts.
inline void PrintTo(const wxString& text, std::ostream* os)
{
    *os << '"' << text.utf8_string() << '"';
}

namespace xfer_test {

// Records every program start as its argument vector and starts nothing.
class RecordingLauncher
{
public:
    RecordingLauncher()
        : m_scope([this](const tw::LaunchRequest& request) {
              std::lock_guard<std::mutex> lock(m_lock);
              m_starts.push_back(request.argv);
              return 4242L;
          })
    {
    }
    std::vector<std::vector<wxString>> Starts()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_starts;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_starts.clear();
    }

private:
    std::mutex m_lock;
    std::vector<std::vector<wxString>> m_starts;
    tw::ScopedLauncher m_scope;
};

// The maker's viewers installed as application folders of a private
// applications folder (TIDEWRIGHT_APPS); each can be left out.
class FakeApps
{
public:
    explicit FakeApps(bool chart = true, bool grib = true, bool image = true)
        : m_env("TIDEWRIGHT_APPS", m_dir.Path())
    {
        if (chart)
            Install("Chartloom");
        if (grib)
            Install("Isobarion");
        if (image)
            Install("Imvra");
    }
    wxString Chart() const { return m_dir / "Chartloom"; }
    wxString Grib() const { return m_dir / "Isobarion"; }
    wxString Image() const { return m_dir / "Imvra"; }

private:
    void Install(const wxString& name)
    {
        const wxString folder = m_dir / name;
        wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL);
        const wxString program = folder + "/" + name.Lower();
        tw::test::WriteFile(program, "#!/bin/sh\nexit 0\n");
        wxFileName(program).SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE | wxPOSIX_USER_EXECUTE);
    }
    tw::test::TempDir m_dir;
    tw::test::ScopedEnv m_env;
};

// Receives wxEVT_TRANSFER_DONE and, when asked, runs the epilogue on its own
// active files as a main window's done-handler does.
class DoneRecorder : public wxEvtHandler
{
public:
    void OnDone(wxCommandEvent& event)
    {
        results.push_back(event.GetInt());
        if (onDone)
            onDone(event);
    }
    std::vector<int> results;
    std::function<void(wxCommandEvent&)> onDone;
};

// The transfer window now shown, or null.
inline FileXfer* FindXfer()
{
    for (wxWindow* w : wxTopLevelWindows) {
        auto* xfer = dynamic_cast<FileXfer*>(w);
        if (xfer && xfer->IsShown() && !xfer->IsBeingDeleted())
            return xfer;
    }
    return nullptr;
}

// Whether any transfer window object still exists.
inline bool AnyXferAlive()
{
    for (wxWindow* w : wxTopLevelWindows)
        if (dynamic_cast<FileXfer*>(w))
            return true;
    return false;
}

inline void Click(wxWindow* window, int id, wxEventType type = wxEVT_BUTTON)
{
    wxCommandEvent event(type, id);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

inline wxString ClipboardText()
{
    wxString text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT)) {
            wxTheClipboard->GetData(data);
            text = data.GetText();
        }
        wxTheClipboard->Close();
    }
    return text;
}

inline void SetClipboardText(const wxString& text)
{
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject(text));
        wxTheClipboard->Close();
    }
}

// Closes a window that is still open (close box) and waits until it and its
// worker are gone.
inline void CloseAndWait(FileXfer* xfer)
{
    wxWeakRef<FileXfer> ref(xfer);
    if (ref && !ref->IsBeingDeleted())
        ref->InitiateWindowClose(true);
    tw::test::WaitFor([&] { return !ref; }, 5000);
    FileXfer::WaitForWorkers(10000);
}

// Short close waits for the lifetime of the object.
class QuickClose
{
public:
    explicit QuickClose(int pauseMs = 20, int tickMs = 30) { FileXfer::SetCloseTimings(pauseMs, tickMs); }
    ~QuickClose() { FileXfer::SetCloseTimings(100, 300); }
};

// An active file as a batch would make it.
struct Active {
    wxString id, path, folder;
    int runstat = 1;
    int runwexpg = 0;
    int combine = 0;
    wxString gribfile;
    wxString application;
    int args = 0;
    wxString price = "1.25", compressed = "100", raw = "200";
};

inline void AddActive(CActiveFileList& list, const Active& a)
{
    list.Add(a.id, a.path, wxS("bz2"), a.compressed, a.raw, a.price, a.application, a.folder, a.args, a.runstat,
             a.combine, a.gribfile, 0, 0.0f, 0.0f, 0.0f, a.runwexpg);
}

inline std::string Utf8(const wxString& s)
{
    return std::string(s.utf8_str());
}

} // namespace xfer_test
