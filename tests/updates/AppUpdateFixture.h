// The update fixture with the application object knowing the installed
// databases' versions, for the update dialog and the update flow.
#pragma once

#include "app/tidewrightapp.h"
#include "tests/engine/UpdateFixtures.h"

namespace update_test {

class AppUpdateFixture : public UpdateFixture
{
protected:
    void SetUp() override
    {
        UpdateFixture::SetUp();
        app.productDbVersion = kInstalledVersion;
        app.marineZonesDbVersion = kInstalledVersion;
    }

    TidewrightApp& app = wxGetApp();
};

} // namespace update_test
