#include "windows/wizard/ContentWizardLauncher.h"

#include <utility>

#include "windows/wizard/contentwizard.h"

namespace tw {
namespace {

ContentWizardRunner& Runner()
{
    static ContentWizardRunner runner;
    return runner;
}

// The real wizard, created, run and destroyed.
bool RunRealWizard(wxWindow* parent, int page)
{
    auto* wizard = new ContentWizard(parent, ID_CONTENTWIZARD, wxDefaultPosition);
    const bool finished = page == kWizardWelcome ? wizard->Run() : wizard->RunFromPage(page);
    wizard->Destroy();
    return finished;
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
