#include "samples.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

#include <bzlib.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "app/StringHelpers.h"

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

namespace {

std::string Decode(const unsigned char* text)
{
    wxString s = wxString::FromUTF8(text ? reinterpret_cast<const char*>(text) : "");
    CDbTextEncoder::decode_db_string(s);
    return std::string(s.utf8_str());
}

bool WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::vector<char> Content(const std::string& name, size_t size)
{
    std::seed_seq seed(name.begin(), name.end());
    std::mt19937 rng(seed);
    std::vector<char> out;
    out.reserve(size);
    std::string head = "Sample content of " + name + "\n";
    out.insert(out.end(), head.begin(), head.end());
    char line[64];
    while (out.size() < size) {
        int n = std::snprintf(line, sizeof line, "%04u %+07.2f %+08.2f %05u\n", static_cast<unsigned>(rng() % 9999),
                              (rng() % 18000) / 100.0 - 90.0, (rng() % 36000) / 100.0 - 180.0,
                              static_cast<unsigned>(rng() % 99999));
        out.insert(out.end(), line, line + n);
    }
    out.resize(size);
    return out;
}

} // namespace

bool MakeSamples(const std::string& db, const std::string& outDir, long maxKb)
{
    for (size_t slash = outDir.find('/', 1);; slash = outDir.find('/', slash + 1)) {
        ::mkdir(outDir.substr(0, slash).c_str(), 0777);
        if (slash == std::string::npos)
            break;
    }
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "gateway-sim: cannot open %s\n", db.c_str());
        sqlite3_close(handle);
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT Path, Compression, RawSize FROM products WHERE FileID <> ''", -1, &stmt,
                           nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "gateway-sim: %s\n", sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return false;
    }
    bool ok = true;
    std::set<std::string> done;
    unsigned files = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string path = Decode(sqlite3_column_text(stmt, 0));
        std::string compression = Decode(sqlite3_column_text(stmt, 1));
        long kb = std::atol(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2) ? sqlite3_column_text(stmt, 2)
                                                                                        : reinterpret_cast<const unsigned char*>("0")));
        std::string name = StoredName(ProductName(path));
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bz2") == 0)
            name.erase(name.size() - 4);
        if (name.empty() || !done.insert(name).second)
            continue;
        if (kb <= 0)
            kb = 4;
        if (kb > maxKb)
            kb = maxKb;
        std::vector<char> bytes = Content(name, static_cast<size_t>(kb) * 1024);
        std::string target = outDir + "/" + name;
        if (!WriteBytes(target, bytes)) {
            std::fprintf(stderr, "gateway-sim: cannot write %s\n", target.c_str());
            ok = false;
            break;
        }
        ++files;
        if (!compression.empty() || path.find(".bz2") != std::string::npos) {
            std::vector<char> packed(bytes.size() + bytes.size() / 100 + 601);
            unsigned packedSize = static_cast<unsigned>(packed.size());
            if (BZ2_bzBuffToBuffCompress(packed.data(), &packedSize, bytes.data(), static_cast<unsigned>(bytes.size()),
                                         9, 0, 0) != BZ_OK) {
                ok = false;
                continue;
            }
            packed.resize(packedSize);
            if (!WriteBytes(target + ".bz2", packed)) {
                std::fprintf(stderr, "gateway-sim: cannot write %s.bz2\n", target.c_str());
                ok = false;
            }
            ++files;
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(handle);
    std::printf("gateway-sim: %u sample files in %s\n", files, outDir.c_str());
    return ok;
}

} // namespace sim
