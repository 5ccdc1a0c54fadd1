// The stand-in's answer to the product-database update query ("nupdate").
#pragma once

#include <string>

namespace sim {

// What the stand-in offers, set by fault keys (command line or faults file):
//
//   update-zir=N          catalogue version offered (default 0)
//   update-mz=N           marine-zones version offered (default 0)
//   update-zirsz=TEXT     catalogue size as sent (default: the size of the
//                         served "zir.db.bz2", or 0 when there is none)
//   update-mzsz=TEXT      the same for "MarineZones.db.bz2"
//   update-line=TEXT      the whole first reply line instead of the tokens
//                         (e.g. "ERROR: Invalid login")
//   update-notes=TEXT     the notes text; "\n" in it stands for a line end,
//                         "\0" for a NUL byte
//   update-count=N        the notes byte count sent (default: the true one)
//   update-stall          answer nothing after the query line
struct UpdateOffer {
    std::string zir = "0";
    std::string mz = "0";
    std::string zirSize;
    std::string mzSize;
    std::string line;
    std::string notes = "No service notes at this time.\n";
    long long count = -1;
    bool stall = false;

    // Applies one key; false when the key is not one of the above.
    bool Apply(const std::string& key, const std::string& value);
};

// The reply to "nupdate": the token line, "<readme> <count>", one more line
// and the notes bytes. Sizes not given are those of the files under `root`.
std::string UpdateReply(const UpdateOffer& offer, const std::string& root, const std::string& readme);

// Reads everything the peer sends until it closes the connection.
std::string ReadUntilClosed(int fd);

} // namespace sim
