// A small shell for window tests that run without the application object:
// the marine-zones database a test hands it, the rest answered empty, and a
// record of what the windows asked for.
#pragma once

#include <vector>

#include <wx/string.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"

namespace shell_test {

class FakeShell : public tw::Shell
{
public:
    FakeShell() : m_before(tw::InstallShell(this)) {}
    ~FakeShell() override { tw::InstallShell(m_before); }

    void ChangeWindowMode(const wxString& mode) override { modes.push_back(mode); }
    void RecordViewMode() override {}
    void ShowHelpViewer(__help_section_id section) override { help.push_back(section); }
    void OnUpdateDB() override {}
    bool FileTransferStart(CActiveFileList&, wxEvtHandler*, wxObjectEventFunction, int, HomePosition*) override
    {
        return false;
    }
    void FileTransferEpilogue(CActiveFileList&, bool, HomePosition*) override {}
    const TransferOutcome& LastTransferOutcome() const override { return outcome; }
    wxString GetTransferFolder() override { return wxString(); }
    void SetTransferFolder(wxString, bool) override {}
    void ViewItemGlobal(wxString, int) override {}
    int BatchDialog(CBatch*, bool) override { return 0; }
    bool AddEditBatchToBatchesListCtrl(CBatch*, long) override { return true; }
    CFileInfo* FindFileInfo(CFileInfo&, const wxString&) override { return nullptr; }
    CFileInfo* FindFileInfoFilteredBasic(CFileInfo&, const wxString&, bool) override { return nullptr; }
    void UpdateHomePosition() override {}
    void SetBasicHomePosition(double, double, int) override {}
    void ClearBasicHomePosition() override {}
    bool HasBasicHomePosition() const override { return false; }
    bool GetBasicHomePosition(HomePosition&) const override { return false; }
    bool OpenAutoDialerService(bool) override { return false; }
    bool QueryAutodialerStatus(CRegistry&, const wxString&) override { return true; }
    wxSQLite3Database* GetProductDb() const override { return nullptr; }
    wxSQLite3Database* GetUserDb() const override { return nullptr; }
    wxSQLite3Database* GetMarineZonesDb() const override { return zones; }

    wxSQLite3Database* zones = nullptr;
    std::vector<wxString> modes;
    std::vector<__help_section_id> help;
    TransferOutcome outcome;

private:
    tw::Shell* m_before;
};

} // namespace shell_test
