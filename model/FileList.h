// The list of files of one transfer: what is asked of the gateway, where each
// file is received and placed, what it costs and, once the server answered,
// how large each file is and whether it failed. The application object owns
// one list for the whole run and refills it before every transfer.
#pragma once

#include <cstddef>

#include <wx/arrstr.h>
#include <wx/string.h>
#include <wx/thread.h>

#include "model/OwningArray.h"

// One requested file.
struct FileInfo {
    wxString serverPath;    // the item's server-side name, sent in its request line
    wxString tmpPath;       // where the bytes are received (download folder/tmp/name)
    wxString finalPath;     // where the finished file is placed (download folder/name)
    wxString fileName;      // the last component of the server path
    wxString compression;   // the item's compression option
    wxString price;         // the item's price text
    wxString error;         // failure text of this file; empty when none
    wxUint32 size = 0;      // size in bytes from the server's header line
    bool placed = false;    // arrived whole and was placed at finalPath by a transfer of this list
    bool interactive = false;
    float width = 0.0f;     // side of the area in degrees
    float lat = 0.0f;       // centre latitude, north positive
    float lon = 0.0f;       // centre longitude, east positive
};

// Owning array of entries (adding stores a copy).
class FileInfoArray : public TOwningArray<FileInfo>
{
public:
    // Deletes `count` entries from `start` on and closes the gap; a start at or
    // past the end removes nothing, a range running past the end is cut there.
    void RemoveRange(size_t start, size_t count = 1);
};

class CFileList
{
public:
    CFileList();
    CFileList(const CFileList& other);
    CFileList& operator=(const CFileList& other);
    virtual ~CFileList();

    // Deletes every entry, sets the sums to 0, the mode to -1 and the position to unset.
    void Clear();

    // Appends one entry with an empty error text and size 0.
    void Add(const wxString& serverPath, const wxString& tmpPath, const wxString& finalPath,
             const wxString& fileName, const wxString& compression, const wxString& price,
             bool interactive, float width, float lat, float lon);

    // Sum of the entries' sizes in bytes (32-bit, wrapping like the sizes it adds).
    int GetDataSize() const;

    void SetDefaultPosition(double lat, double lon, int width);
    // Copies the position out when one is set; otherwise leaves the outputs alone.
    bool GetDefaultPosition(double& lat, double& lon, int& width) const;
    bool HasDefaultPosition() const;

    size_t GetCount() const { return files.GetCount(); }
    FileInfo& Item(size_t index) { return files.Item(index); }
    const FileInfo& Item(size_t index) const { return files.Item(index); }

    // While a transfer runs the worker writes an entry's size and error text
    // and the transfer window reads them; these go through the list's lock so
    // that neither side sees a half-written text.
    void SetFileSize(size_t index, wxUint32 size);
    wxUint32 GetFileSize(size_t index) const;
    void SetFileError(size_t index, const wxString& error);
    wxString GetFileError(size_t index) const;
    // The worker marks an entry placed, with the path it was placed at; the
    // caller reads which entries arrived (and where) once the transfer ended.
    void SetFilePlaced(size_t index, const wxString& finalPath);
    // Forgets which entries were placed (a new transfer of the list begins).
    void ClearPlaced();
    void SetFinalPath(size_t index, const wxString& finalPath);
    bool IsFilePlaced(size_t index, wxString* finalPath = nullptr) const;
    // The paths of the entries placed since the placed marks were last
    // cleared, in the order they were placed, handed out once: the worker
    // keeps them as it places each file, so the end of a large transfer
    // need not copy them on the main thread. Entries marked placed again
    // after the paths were taken are not in a later take. `paths` is
    // replaced, not copied into.
    void TakePlacedPaths(wxArrayString& paths);

    FileInfoArray files;
    int compressedSize = 0;   // sum of the items' CompressedSize (KB)
    int rawSize = 0;          // sum of the items' RawSize
    double price = 0.0;       // sum of the items' prices
    int xferMode = -1;        // purpose of the transfer; -1 when cleared

private:
    bool m_positionSet = false;
    double m_lat = 0.0;
    double m_lon = 0.0;
    int m_width = 0;
    wxArrayString m_placedPaths;   // see TakePlacedPaths
    mutable wxMutex m_lock;
};
