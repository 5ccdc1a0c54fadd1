#include "samples.h"

namespace sim {

std::string ProductName(const std::string& requested)
{
    std::string name = requested;
    size_t scheme = name.rfind("://");
    if (scheme != std::string::npos)
        name.erase(0, scheme + 3);
    size_t slash = name.rfind('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    size_t arrow = name.find("=>");
    if (arrow != std::string::npos)
        name.erase(0, arrow + 2);
    return name;
}

std::string StoredName(const std::string& productName)
{
    // "._47.4=-122.3=15.0_" sits before the extension of an interactive name.
    size_t start = productName.find("._");
    while (start != std::string::npos) {
        size_t end = productName.find('_', start + 2);
        if (end == std::string::npos)
            break;
        std::string area = productName.substr(start + 2, end - start - 2);
        size_t eqs = 0;
        for (char c : area)
            eqs += c == '=';
        if (eqs == 2)
            return productName.substr(0, start) + productName.substr(end + 1);
        start = productName.find("._", start + 1);
    }
    return productName;
}

} // namespace sim
