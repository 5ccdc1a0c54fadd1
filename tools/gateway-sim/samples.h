// Names of served files and the sample content for every catalogue item.
#pragma once

#include <string>

namespace sim {

// The product name of a requested path: the part after the last "://", then
// after the last "/", then after the first "=>".
std::string ProductName(const std::string& requested);

// The name a product is stored under in the served folder: the product name
// without the area text ("._LAT=LON=WIDTH_") that interactive requests carry.
std::string StoredName(const std::string& productName);

// Writes one sample file per catalogue item of the catalogue database `db`
// into `outDir` (made when missing): deterministic text-like content of the
// item's RawSize in KB (at most maxKb), plus "<name>.bz2" when the item has a
// compression option. Returns false when the database cannot be read or a
// file cannot be written.
bool MakeSamples(const std::string& db, const std::string& outDir, long maxKb);

} // namespace sim
