// The product-database update query: asks the gateway which versions of the
// two replaceable catalogue databases (the catalogue "zir.db" and the marine
// zones "MarineZones.db") it offers and how large their compressed files are,
// and, unless asked to be brief, fetches the service's notes text.
//
// One exchange per object, on a worker thread, after the ordinary login:
//   client: "nupdate --version=13.05m" CR LF
//   server: "--zir=N --oexsz=BYTES --mz=N --mzsz=BYTES"   (or a line with "ERROR")
//           "<readme word> <notes byte count>"
//           one more line (not examined)
//           the notes bytes
//   client: "EOT" and a NUL byte, then closes the connection.
// After a complete exchange the server's readme word is stored as Misc/readme.
#pragma once

#include <string>

#include "engine/transfer/IpGlue.h"

class CIPUpdates : public CIPGlue
{
public:
    CIPUpdates(IThreadResource* resource, const CTransferJob& job);
    // The same for a job of the settings file as it is now.
    explicit CIPUpdates(IThreadResource* resource);
    ~CIPUpdates() override;

    // True after a complete exchange, with the results filled in and the
    // readme word stored; false when the job is to stop or the login was
    // refused (an error box says why). Throws like the protocol client on a
    // failed connection (the error text as std::string) or a failed read
    // (a CBlockingSocketException).
    bool QueryUpdate(bool brief);

    // Results of the last query.
    int GetProductDBSize() const { return m_productDBSize; }
    int GetMarineZonesSize() const { return m_marineZonesSize; }
    int GetProductDBVersion() const { return m_productDBVersion; }
    int GetMarineZonesVersion() const { return m_marineZonesVersion; }
    // The service's notes as received (8-bit text); empty in the brief form.
    const std::string& GetNotes() const { return m_notes; }
    // The readme word of the last complete exchange.
    const std::string& GetReadme() const { return m_readme; }

    // Reply values: a whole number (leading digits with an optional sign,
    // 0 when the text does not start with one) and a decimal number truncated
    // toward zero ("1.9e3" gives 1900); both clamped to int.
    static int ParseWhole(const std::string& text);
    static int ParseTruncated(const std::string& text);

    // The query line and the end marker as sent.
    static const char kQueryLine[];
    static const char kEndMarker[4];

    // Notes are read in pieces of at most this many bytes.
    static constexpr int kNotesPiece = 254;

private:
    int m_productDBSize = 0;       // "--oexsz="
    int m_marineZonesSize = 0;     // "--mzsz="
    int m_productDBVersion = 0;    // "--zir="
    int m_marineZonesVersion = 0;  // "--mz="
    std::string m_notes;
    std::string m_readme;
};
