// Names of served files: what a request names, and the name it is stored under.
#pragma once

#include <string>

namespace sim {

// The product name of a requested path: the part after the last "://", then
// after the last "/", then after the first "=>".
std::string ProductName(const std::string& requested);

// The name a product is stored under in the served folder: the product name
// without the area text ("._LAT=LON=WIDTH_") that interactive requests carry.
std::string StoredName(const std::string& productName);

} // namespace sim
