// Running the content wizard from a main window: the wizard is created with
// the window as parent (id 10156, default position), run modally from its
// welcome page (page 0) or from the page with the given wizard page number,
// and destroyed. Tests put a stand-in in place of the real wizard.
#pragma once

#include <functional>

class wxWindow;

namespace tw {

// Wizard page numbers (as the page strip and the callers use them).
enum WizardPageNumber {
    kWizardWelcome = 0,
    kWizardGrib = 1,
    kWizardCharts = 2,
    kWizardTextForecasts = 3,
    kWizardSatellite = 4,
    kWizardBuoys = 5,
    kWizardOceanData = 6,
    kWizardFishingData = 7,
    kWizardHomeLocation = 8,
    kWizardGps = 9,
    kWizardPreferences = 10,
    kWizardAccount = 11
};

// True when the user finished the wizard (its answers are stored), false on
// Cancel or when it could not be shown.
bool RunContentWizard(wxWindow* parent, int page);

// Replaces the way the wizard is run (tests); an empty function restores the
// real wizard. Returns the previous one.
using ContentWizardRunner = std::function<bool(wxWindow* parent, int page)>;
ContentWizardRunner SetContentWizardRunner(ContentWizardRunner runner);

} // namespace tw
