// Sets or clears environment variables for one scope and puts the previous
// values back afterwards (the time zone is read again after each change, so
// TZ takes effect too).
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <wx/string.h>

namespace tw::test {

class EnvGuard
{
public:
    EnvGuard() = default;
    ~EnvGuard()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
        tzset();
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

    EnvGuard& Set(const std::string& name, const wxString& value)
    {
        Save(name);
        setenv(name.c_str(), value.utf8_str(), 1);
        tzset();
        return *this;
    }
    EnvGuard& Unset(const std::string& name)
    {
        Save(name);
        unsetenv(name.c_str());
        tzset();
        return *this;
    }

private:
    void Save(const std::string& name)
    {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// One variable set for the lifetime of the object.
class ScopedEnv : public EnvGuard
{
public:
    ScopedEnv(const std::string& name, const wxString& value) { Set(name, value); }
};

} // namespace tw::test
