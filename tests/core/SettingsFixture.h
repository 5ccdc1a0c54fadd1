// A private home (so a private settings file) and a private resources folder
// (so a private defaults file) for each settings test, plus direct access to
// the user file that does not go through the code under test.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <wx/fileconf.h>

#include "core/Registry.h"
#include "support/TestSupport.h"

class SettingsFixture : public ::testing::Test
{
protected:
    SettingsFixture()
    {
        if (const char* old = std::getenv("TIDEWRIGHT_RESOURCES")) {
            m_hadResources = true;
            m_savedResources = old;
        }
        setenv("TIDEWRIGHT_RESOURCES", m_resources.Path().utf8_str(), 1);
    }

    ~SettingsFixture() override
    {
        if (m_hadResources)
            setenv("TIDEWRIGHT_RESOURCES", m_savedResources.c_str(), 1);
        else
            unsetenv("TIDEWRIGHT_RESOURCES");
    }

    // Writes the defaults file of the installation; withEvt false leaves the
    // edition key out.
    void WriteDefaults(long evt, const wxString& evn, bool withEvt = true)
    {
        wxFileConfig file(wxS("Tidewright"), wxS("TALVO"), CRegistry::DefaultsFileName(), wxString(),
                          wxCONFIG_USE_LOCAL_FILE);
        if (withEvt)
            file.Write("Default/evt", evt);
        file.Write("Default/evn", evn);
        file.Flush();
    }

    // The user file opened on its own, as another program would.
    std::unique_ptr<wxFileConfig> Raw()
    {
        auto file = std::make_unique<wxFileConfig>(wxS("Tidewright"), wxS("TALVO"), CRegistry::UserFileName(),
                                                   wxString(), wxCONFIG_USE_LOCAL_FILE);
        file->SetExpandEnvVars(false);
        return file;
    }

    wxString RawRead(const wxString& key)
    {
        wxString value;
        Raw()->Read(key, &value);
        return value;
    }

    bool RawHas(const wxString& key) { return Raw()->HasEntry(key); }

    void RawWrite(const wxString& key, const wxString& value)
    {
        auto file = Raw();
        file->Write(key, value);
        file->Flush();
    }

    tw::test::TempHome m_home;
    tw::test::TempDir m_resources;

private:
    bool m_hadResources = false;
    std::string m_savedResources;
};
