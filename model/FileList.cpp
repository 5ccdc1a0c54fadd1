#include "model/FileList.h"

#include <cstdint>

void FileInfoArray::RemoveRange(size_t start, size_t count)
{
    const size_t n = GetCount();
    if (start >= n)
        return;
    size_t stop = (count > n - start) ? n : start + count;
    // Remove from the back so the indices in front stay put.
    while (stop > start)
        RemoveAt(--stop);
}

CFileList::CFileList() = default;

CFileList::CFileList(const CFileList& other)
    : files(other.files),
      compressedSize(other.compressedSize),
      rawSize(other.rawSize),
      price(other.price),
      xferMode(other.xferMode),
      m_positionSet(other.m_positionSet),
      m_lat(other.m_lat),
      m_lon(other.m_lon),
      m_width(other.m_width),
      m_placedPaths(other.m_placedPaths)
{
}

CFileList& CFileList::operator=(const CFileList& other)
{
    if (this != &other) {
        files = other.files;
        compressedSize = other.compressedSize;
        rawSize = other.rawSize;
        price = other.price;
        xferMode = other.xferMode;
        m_positionSet = other.m_positionSet;
        m_lat = other.m_lat;
        m_lon = other.m_lon;
        m_width = other.m_width;
        m_placedPaths = other.m_placedPaths;
    }
    return *this;
}

CFileList::~CFileList() = default;

void CFileList::Clear()
{
    files.Empty();
    compressedSize = 0;
    rawSize = 0;
    price = 0.0;
    xferMode = -1;
    m_positionSet = false;
    m_placedPaths.Clear();
}

void CFileList::Add(const wxString& serverPath, const wxString& tmpPath, const wxString& finalPath,
                    const wxString& fileName, const wxString& compression, const wxString& price,
                    bool interactive, float width, float lat, float lon)
{
    FileInfo entry;
    entry.serverPath = serverPath;
    entry.tmpPath = tmpPath;
    entry.finalPath = finalPath;
    entry.fileName = fileName;
    entry.compression = compression;
    entry.price = price;
    entry.interactive = interactive;
    entry.width = width;
    entry.lat = lat;
    entry.lon = lon;
    files.Add(std::move(entry));
}

int CFileList::GetDataSize() const
{
    wxMutexLocker lock(m_lock);
    std::uint32_t sum = 0;
    for (const FileInfo& f : files)
        sum += f.size;
    return static_cast<int>(static_cast<std::int32_t>(sum));
}

void CFileList::SetDefaultPosition(double lat, double lon, int width)
{
    m_lat = lat;
    m_lon = lon;
    m_width = width;
    m_positionSet = true;
}

bool CFileList::GetDefaultPosition(double& lat, double& lon, int& width) const
{
    if (!m_positionSet)
        return false;
    lat = m_lat;
    lon = m_lon;
    width = m_width;
    return true;
}

bool CFileList::HasDefaultPosition() const
{
    return m_positionSet;
}

void CFileList::SetFileSize(size_t index, wxUint32 size)
{
    wxMutexLocker lock(m_lock);
    if (index < files.GetCount())
        files.Item(index).size = size;
}

wxUint32 CFileList::GetFileSize(size_t index) const
{
    wxMutexLocker lock(m_lock);
    return index < files.GetCount() ? files.Item(index).size : 0;
}

void CFileList::SetFileError(size_t index, const wxString& error)
{
    wxMutexLocker lock(m_lock);
    if (index < files.GetCount()) {
        // A deep copy, so that the text shares no buffer with the caller's
        // thread. A NUL (a name from the server may hold one) is written as
        // "\0": every reader gets the whole text, also one that takes it as
        // a C string.
        wxString copy;
        copy.reserve(error.length());
        for (wxUniChar c : error) {
            if (c.GetValue() == 0)
                copy += wxS("\\0");
            else
                copy += c;
        }
        files.Item(index).error = copy;
    }
}

wxString CFileList::GetFileError(size_t index) const
{
    wxMutexLocker lock(m_lock);
    return index < files.GetCount() ? wxString(files.Item(index).error.wc_str()) : wxString();
}

void CFileList::SetFilePlaced(size_t index, const wxString& finalPath)
{
    wxMutexLocker lock(m_lock);
    if (index < files.GetCount()) {
        FileInfo& entry = files.Item(index);
        entry.finalPath = wxString(finalPath.wc_str());
        if (!entry.placed)
            m_placedPaths.Add(entry.finalPath);
        entry.placed = true;
    }
}

bool CFileList::IsFilePlaced(size_t index, wxString* finalPath) const
{
    wxMutexLocker lock(m_lock);
    if (index >= files.GetCount() || !files.Item(index).placed)
        return false;
    if (finalPath)
        *finalPath = wxString(files.Item(index).finalPath.wc_str());
    return true;
}

void CFileList::SetFinalPath(size_t index, const wxString& finalPath)
{
    wxMutexLocker lock(m_lock);
    if (index < files.GetCount())
        files.Item(index).finalPath = wxString(finalPath.wc_str());
}

void CFileList::ClearPlaced()
{
    wxMutexLocker lock(m_lock);
    for (size_t i = 0; i < files.GetCount(); ++i)
        files.Item(i).placed = false;
    m_placedPaths.Clear();
}

void CFileList::TakePlacedPaths(wxArrayString& paths)
{
    wxMutexLocker lock(m_lock);
    paths.swap(m_placedPaths);
    m_placedPaths.Clear();
}
