#include "wizard/ContentWizardLauncher.h"

#include <utility>

#include <wx/log.h>

namespace tw {
namespace {

ContentWizardRunner& Runner()
{
    static ContentWizardRunner runner;
    return runner;
}

// The real wizard, created, run and destroyed.
bool RunRealWizard(wxWindow* /*parent*/, int /*page*/)
{
    wxLogWarning("The content wizard is not available.");
    return false;
}

} // namespace

bool RunContentWizard(wxWindow* parent, int page)
{
    const ContentWizardRunner runner = Runner();
    return runner ? runner(parent, page) : RunRealWizard(parent, page);
}

ContentWizardRunner SetContentWizardRunner(ContentWizardRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

} // namespace tw
