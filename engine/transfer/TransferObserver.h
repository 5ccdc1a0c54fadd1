// The one channel through which the transfer worker reports to the window
// that runs the transfer. Every operation is called on the worker thread; an
// implementation hands what it receives over to the main thread itself and
// guards its own state. Only TransferMessageBox may block, until the user has
// answered on the main thread.
#pragma once

#include <wx/string.h>
#include <wx/datetime.h>

class ITransferObserver
{
public:
    // The worker has started.
    virtual void TransferEntry() = 0;
    // The worker is about to end (always the last report).
    virtual void TransferExit() = 0;
    // The downloads begin: a text for the log, the estimated total time and
    // the total bytes to receive.
    virtual void TransferBegin(const wxString& text, const wxTimeSpan& estimate, int totalBytes) = 0;
    // The transfer has finished: closing text for the log and overall success.
    virtual void TransferDone(const wxString& text, bool ok) = 0;
    // A log text, line ends included.
    virtual void TransferStatus(const wxString& text) = 0;
    // Time spent on the current file and on the whole transfer.
    virtual void TransferElapsedTime(const wxTimeSpan& fileElapsed, const wxTimeSpan& totalElapsed) = 0;
    // Progress, 0 to 100 each.
    virtual void TransferProgress(int filePercent, int totalPercent) = 0;
    // A file begins: its name, its size in bytes and its estimated time.
    virtual void TransferFileBegin(const wxString& name, int sizeBytes, const wxTimeSpan& fileEstimate) = 0;
    // A file has ended, and whether it arrived whole.
    virtual void TransferFileDone(const wxString& name, bool ok) = 0;
    // A question or notice for the user; returns the toolkit's answer code
    // (wxYES, wxNO, wxOK, wxCANCEL).
    virtual int TransferMessageBox(const wxString& text, const wxString& caption, int style) = 0;

protected:
    // Not deleted through this interface.
    ~ITransferObserver() = default;
};
