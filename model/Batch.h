// A batch: a named set of catalogue items with the settings that say where
// its files are downloaded to and what happens to them afterwards; and the
// active-file list, the flat list of files of the batches taking part in a
// transfer, each entry carrying its item's fields and its batch's settings.
#pragma once

#include <wx/datetime.h>
#include <wx/object.h>
#include <wx/string.h>

#include "model/FileInfo.h"
#include "model/OwningArray.h"

// Reserved batch ids; user batches have ids above 2.
enum {
    kGlobalBatchId = 0,   // global properties: its folder is the global download folder
    kBasicBatchId = 1,    // the Basic window's batch
    kWizardBatchId = 2,   // the content wizard's batch
};

// One file to download.
class CActiveFile : public wxObject
{
public:
    CActiveFile() = default;
    CActiveFile(const CActiveFile& other) = default;
    CActiveFile& operator=(const CActiveFile& other) = default;
    ~CActiveFile() override;

    wxString FileID;          // the item's
    wxString Path;            // the item's server-side name
    wxString LocalPath;       // set by the transfer epilogue when the file arrived and was placed
    wxString folder;          // the batch's download folder
    wxString Compression;     // the item's
    wxString application;     // the batch's
    int runstat = 0;
    int args = 0;
    wxString Price;           // the item's (text)
    wxString CompressedSize;  // the item's, KB as text
    wxString RawSize;         // the item's, KB as text
    int bCombineGribs = 0;
    wxString gribfile;
    int bInteractive = 0;
    float width = 0.0f;
    float lat = 0.0f;
    float lon = 0.0f;
    int runwexpg = 0;
};

using ActiveFileList = TOwningArray<CActiveFile>;

class CActiveFileList : public wxObject
{
public:
    CActiveFileList() = default;
    CActiveFileList(const CActiveFileList& other) : wxObject(), files(other.files) {}
    CActiveFileList& operator=(const CActiveFileList& other)
    {
        if (this != &other)
            files = other.files;
        return *this;
    }
    ~CActiveFileList() override;

    // Appends one entry with these values and an empty local path.
    void Add(const wxString& FileID, const wxString& Path, const wxString& Compression,
             const wxString& CompressedSize, const wxString& RawSize, const wxString& Price,
             const wxString& application, const wxString& folder, int args, int runstat,
             int bCombineGribs, const wxString& gribfile, int bInteractive, float width,
             float lat, float lon, int runwexpg);
    // Appends copies of all of `other`'s entries, in order.
    void Append(const CActiveFileList& other);

    size_t GetCount() const { return files.GetCount(); }
    CActiveFile& Item(size_t index) { return files.Item(index); }
    const CActiveFile& Item(size_t index) const { return files.Item(index); }
    CActiveFile& operator[](size_t index) { return files.Item(index); }
    const CActiveFile& operator[](size_t index) const { return files.Item(index); }

    ActiveFileList files;
};

class CBatch : public wxObject
{
public:
    struct t_batch {
        wxString title;
        wxString description;
        wxDateTime create_date;   // invalid in a new record; whole seconds when stored
        int runstat = 0;          // after-download action code
        wxString application;     // application that action 3 starts
        int args = 0;             // 1: start the application without a file argument
        int status = 1;           // 1 enabled, 0 disabled
        wxString folder;          // download folder (absolute)
        wxString gribfile;        // combined GRIB file
        int bCombineGribs = 0;
        int bInteractive = 0;
        float width = 0.0f;       // side of the area of interest, degrees
        float lat = 0.0f;         // centre latitude, north positive
        float lon = 0.0f;         // centre longitude, east positive
        int runwexpg = 0;         // GRIB files open in the GRIB viewer
        int ID = -1;              // row id in `batches`
        float version = 3.05f;
    };

    CBatch() = default;
    CBatch(const CBatch& other) : wxObject(), info(other.info), items(other.items) {}
    CBatch(CBatch&& other) noexcept
        : wxObject(), info(std::move(other.info)), items(std::move(other.items)) {}
    CBatch& operator=(const CBatch& other)
    {
        if (this != &other) {
            info = other.info;
            items = other.items;
        }
        return *this;
    }
    CBatch& operator=(CBatch&& other) noexcept
    {
        if (this != &other) {
            info = std::move(other.info);
            items = std::move(other.items);
        }
        return *this;
    }
    ~CBatch() override;

    // Appends one active file per selected item (any status but 0) to `list`;
    // entries already in `list` stay in front.
    void GetActiveFiles(CActiveFileList& list) const;

    t_batch info;
    CFileInfoArray items;
};
