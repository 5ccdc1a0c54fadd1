// Shared pieces of the update tests (the query's here, the dialog's and the
// flow's in tests/updates): a private home with the installed databases, the
// gateway stand-in offering newer ones, and small database edits.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "support/TestSupport.h"
#include "support/GatewaySim.h"

namespace update_test {

using tw::test::Exec;

inline int Version(const wxString& path)
{
    return tw::test::QueryInt(path, "SELECT Version FROM Version");
}

constexpr int kInstalledVersion = 500;

// A private home with the seed databases installed (both at version 500),
// and the gateway stand-in configured as the service.
class UpdateFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Running());
        ASSERT_TRUE(CInit::InitializeAppFolders());
        dbDir = CInit::GetUserDBDir();
        updates = CInit::GetProductDBUpdatesDir();
        Exec(dbDir + "/zir.db", wxString::Format("UPDATE Version SET Version=%d", kInstalledVersion));
        Exec(dbDir + "/MarineZones.db", wxString::Format("UPDATE Version SET Version=%d", kInstalledVersion));
        sim.Configure();
    }

    // A copy of an installed database with another version, as bytes.
    std::string Newer(const wxString& name, int version, const wxString& extraSql = wxString())
    {
        const wxString copy = scratch / name;
        wxCopyFile(dbDir + "/" + name, copy, true);
        Exec(copy, wxString::Format("UPDATE Version SET Version=%d", version));
        if (!extraSql.empty())
            Exec(copy, extraSql);
        return tw::test::ReadFile(copy);
    }

    // Offers `name` (compressed with bzip2) at `version`.
    void Offer(const wxString& name, int version, const std::string& bytes)
    {
        sim.ServeWithCompressed(name, bytes);
        offers.push_back(std::string(name == "zir.db" ? "update-zir=" : "update-mz=") + std::to_string(version));
        sim.SetFaults(offers);
    }

    tw::test::TempHome home;
    tw::test::TempDir scratch;
    tw::test::GatewaySim sim;
    std::vector<std::string> offers;
    wxString dbDir;
    wxString updates;
};

} // namespace update_test
