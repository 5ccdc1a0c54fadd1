#include "updates.h"

#include <cerrno>
#include <cstdlib>

#include <sys/socket.h>
#include <sys/stat.h>

namespace sim {

namespace {

std::string SizeOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return "0";
    return std::to_string(static_cast<long long>(st.st_size));
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '0')) {
            out += text[i + 1] == 'n' ? '\n' : '\0';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

bool UpdateOffer::Apply(const std::string& key, const std::string& value)
{
    if (key == "update-zir") zir = value;
    else if (key == "update-mz") mz = value;
    else if (key == "update-zirsz") zirSize = value;
    else if (key == "update-mzsz") mzSize = value;
    else if (key == "update-line") line = value;
    else if (key == "update-notes") notes = Unescape(value);
    else if (key == "update-count") count = std::atoll(value.c_str());
    else if (key == "update-stall") stall = true;
    else return false;
    return true;
}

std::string UpdateReply(const UpdateOffer& offer, const std::string& root, const std::string& readme)
{
    std::string first = offer.line;
    if (first.empty()) {
        const std::string zirSize = offer.zirSize.empty() ? SizeOf(root + "/zir.db.bz2") : offer.zirSize;
        const std::string mzSize = offer.mzSize.empty() ? SizeOf(root + "/MarineZones.db.bz2") : offer.mzSize;
        first = "--zir=" + offer.zir + " --oexsz=" + zirSize + " --mz=" + offer.mz + " --mzsz=" + mzSize;
    }
    const long long count = offer.count >= 0 ? offer.count : static_cast<long long>(offer.notes.size());
    return first + "\r\n" + readme + " " + std::to_string(count) + "\r\n" + "Notes follow\r\n" + offer.notes;
}

std::string ReadUntilClosed(int fd)
{
    std::string all;
    char buf[4096];
    for (;;) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        all.append(buf, static_cast<size_t>(n));
    }
    return all;
}

} // namespace sim
