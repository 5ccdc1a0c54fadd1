#include "model/Batch.h"

CActiveFile::~CActiveFile() = default;

CActiveFileList::~CActiveFileList() = default;

void CActiveFileList::Add(const wxString& FileID, const wxString& Path, const wxString& Compression,
                          const wxString& CompressedSize, const wxString& RawSize, const wxString& Price,
                          const wxString& application, const wxString& folder, int args, int runstat,
                          int bCombineGribs, const wxString& gribfile, int bInteractive, float width,
                          float lat, float lon, int runwexpg)
{
    CActiveFile f;
    f.FileID = FileID;
    f.Path = Path;
    f.Compression = Compression;
    f.CompressedSize = CompressedSize;
    f.RawSize = RawSize;
    f.Price = Price;
    f.application = application;
    f.folder = folder;
    f.args = args;
    f.runstat = runstat;
    f.bCombineGribs = bCombineGribs;
    f.gribfile = gribfile;
    f.bInteractive = bInteractive;
    f.width = width;
    f.lat = lat;
    f.lon = lon;
    f.runwexpg = runwexpg;
    files.Add(std::move(f));
}

void CActiveFileList::Append(const CActiveFileList& other)
{
    if (&other == this) {
        const CActiveFileList copy(other);
        Append(copy);
        return;
    }
    files.Reserve(files.GetCount() + other.files.GetCount());
    for (const CActiveFile& f : other.files)
        files.Add(f);
}

CBatch::~CBatch() = default;

void CBatch::GetActiveFiles(CActiveFileList& list) const
{
    for (const CFileInfo& item : items) {
        const CFileInfo::t_info& i = item.info;
        if (i.status == 0)
            continue;
        list.Add(i.FileID, i.Path, i.Compression, i.CompressedSize, i.RawSize, i.Price,
                 info.application, info.folder, info.args, info.runstat, info.bCombineGribs,
                 info.gribfile, info.bInteractive, info.width, info.lat, info.lon, info.runwexpg);
    }
}
