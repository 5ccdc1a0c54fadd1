#include "engine/transfer/IPUpdates.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>
#include <sstream>
#include <vector>

#include "core/Numbers.h"
#include "core/Registry.h"
#include "core/StringHelpers.h"
#include "core/ThreadHelper.h"

const char CIPUpdates::kQueryLine[] = "nupdate --version=13.05m\r\n";
const char CIPUpdates::kEndMarker[4] = {'E', 'O', 'T', '\0'};

CIPUpdates::CIPUpdates(IThreadResource* resource, const CTransferJob& job) : CIPGlue(resource, job) {}

CIPUpdates::CIPUpdates(IThreadResource* resource) : CIPGlue(resource) {}

CIPUpdates::~CIPUpdates() = default;

int CIPUpdates::ParseWhole(const std::string& text)
{
    return tw::LeadingInt(text);
}

int CIPUpdates::ParseTruncated(const std::string& text)
{
    double value = 0.0;
    if (tw::ReadReal(text, value) == tw::NumberRead::None)
        return 0;
    value = std::trunc(value);
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

bool CIPUpdates::QueryUpdate(bool brief)
{
    if (!ConnectToServer())
        throwError();
    if (TestDestroy())
        return false;

    if (!Login()) {
        wxString text = m_errorText;
        if (text.empty())
            text = "Your username or password have not been entered ";
        if (m_resource)
            m_resource->TrErrorBox(text);
        return false;
    }

    ServerWrite(std::string(kQueryLine));
    if (TestDestroy())
        return false;

    std::string line;
    ServerReadHead(line);
    if (TestDestroy())
        return false;
    if (line.find("ERROR: Invalid login") != std::string::npos)
        doLoginError(true, line.c_str());
    if (line.find("ERROR") != std::string::npos)
        throwError(line);

    const std::string zir = extract_equals_token(std::string("--zir="), line);
    if (!zir.empty())
        m_productDBVersion = ParseWhole(zir);
    const std::string zirSize = extract_equals_token(std::string("--oexsz="), line);
    if (!zirSize.empty())
        m_productDBSize = ParseWhole(zirSize);
    const std::string mz = extract_equals_token(std::string("--mz="), line);
    if (!mz.empty())
        m_marineZonesVersion = ParseWhole(mz);
    const std::string mzSize = extract_equals_token(std::string("--mzsz="), line);
    if (!mzSize.empty())
        m_marineZonesSize = ParseTruncated(mzSize);

    // Line 2: the readme word and the size of the notes.
    m_notes.clear();
    ServerReadHead(line);
    std::string readme;
    long long count = 0;
    {
        std::istringstream words(line);
        if (words >> readme) {
            std::string number;
            if (words >> number)
                count = std::max(0, ParseWhole(number));
        }
    }
    if (TestDestroy())
        return false;

    // Line 3 is not examined.
    ServerReadHead(line);

    if (!brief) {
        std::vector<char> piece(kNotesPiece);
        long long read = 0;
        while (read < count) {
            if (TestDestroy())
                return false;
            const int size = static_cast<int>(std::min<long long>(kNotesPiece, count - read));
            ServerRead(piece.data(), size);
            // A NUL byte ends what is kept of a piece.
            const void* nul = std::memchr(piece.data(), '\0', static_cast<size_t>(size));
            const size_t keep = nul ? static_cast<size_t>(static_cast<const char*>(nul) - piece.data())
                                    : static_cast<size_t>(size);
            m_notes.append(piece.data(), keep);
            read += size;
        }
    }

    ServerWrite(kEndMarker, static_cast<int>(sizeof kEndMarker));

    // The settings file is shared with the main thread: hold its lock from
    // the snapshot to the write, so no change made meanwhile is lost.
    {
        std::lock_guard<std::recursive_mutex> lock(CRegistry::ConfigLock());
        CRegistry settings;
        settings.m_readme = wxString::FromUTF8(readme.data(), readme.size());
        if (settings.m_readme.empty() && !readme.empty())
            settings.m_readme = wxString(readme.data(), wxConvISO8859_1, readme.size());
        settings.WriteMISCInfo();
    }
    m_readme = readme;
    return true;
}
