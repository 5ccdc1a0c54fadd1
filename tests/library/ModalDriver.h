// Drives modal dialogs that the code under test shows itself: while one of
// these is alive, every dialog that starts a modal run is handed (once its
// run has begun) to the step registered for its class, or, without one, is
// recorded and ended with wxID_CANCEL. A run still open after a few seconds
// is ended with kModalTimedOut, so a test never hangs.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/weakref.h>

namespace library_test {

constexpr int kModalTimedOut = -4242;

class ModalDriver : public wxModalDialogHook
{
public:
    using Step = std::function<void(wxDialog*)>;

    ModalDriver() { Register(); }
    ~ModalDriver() override { Unregister(); }

    // The step for dialogs of a class (by its class-information name).
    void On(const wxString& className, Step step) { m_steps[className] = std::move(step); }

    struct Shown {
        wxString className;
        wxString title;
        int id;
    };
    std::vector<Shown> shown;

protected:
    int Enter(wxDialog* dialog) override
    {
        const wxString name = dialog->GetClassInfo() ? wxString(dialog->GetClassInfo()->GetClassName()) : wxString();
        shown.push_back({name, dialog->GetTitle(), dialog->GetId()});
        const auto found = m_steps.find(name);
        Step step = found != m_steps.end() ? found->second : Step([](wxDialog* d) { d->EndModal(wxID_CANCEL); });
        wxWeakRef<wxDialog> ref(dialog);
        auto guard = std::make_unique<wxTimer>();
        guard->Bind(wxEVT_TIMER, [ref](wxTimerEvent&) {
            if (ref && ref->IsModal())
                ref->EndModal(kModalTimedOut);
        });
        guard->StartOnce(10000);
        m_guards[dialog] = std::move(guard);
        dialog->CallAfter([ref, step] {
            if (ref && ref->IsModal())
                step(ref);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override { m_guards.erase(dialog); }

private:
    std::map<wxString, Step> m_steps;
    std::map<wxDialog*, std::unique_ptr<wxTimer>> m_guards;
};

// A click on a dialog's button or check box as the user's click sends it.
inline void Press(wxWindow* parent, int id, wxEventType type = wxEVT_BUTTON)
{
    wxWindow* control = parent->FindWindow(id);
    wxCommandEvent event(type, id);
    event.SetEventObject(control ? control : parent);
    if (type == wxEVT_CHECKBOX || type == wxEVT_RADIOBUTTON)
        event.SetInt(1);
    (control ? control : parent)->GetEventHandler()->ProcessEvent(event);
}

} // namespace library_test
