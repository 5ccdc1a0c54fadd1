// What happens to downloaded files: GRIB files of batches that ask for it are
// joined into one combined GRIB file per batch, each file (or combined file)
// is opened as its batch's after-download action says, and single items are
// opened on request from the lists.
//
// After-download action code `runstat` of a batch: 0 nothing after a
// transfer, 3 the batch's application, 4 text and image files in the chart
// viewer, any other value the desktop's default application. GRIB files go
// to the GRIB viewer whenever the batch's `runwexpg` is set. `args` 1 starts
// the application without the file.
//
// Programs are always started with an argument vector (platform/Launcher.h):
// a file name cannot add arguments of its own. File kinds are told by the
// text of a path alone.
#pragma once

#include <functional>
#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

class CActiveFile;
class CActiveFileList;
class CBatch;

class CPostProcess
{
public:
    // Lower-cased path contains ".txt" or ".text".
    static bool isText(const wxString& path);
    // ... ".jpg", ".tif", ".png", ".gif" or ".ani".
    static bool isImage(const wxString& path);
    // ... ".grib" or ".grb".
    static bool isGrib(const wxString& path);
    // The same tests on an active file's local path.
    static bool isText(const CActiveFile& file);
    static bool isImage(const CActiveFile& file);
    static bool isGrib(const CActiveFile& file);

    // The file that is really there for a requested path: the path itself
    // when something exists there; otherwise the first entry (in directory
    // order) of the path's folder named like the path without its last
    // extension followed by "." and anything; empty when none.
    static wxString GetActualFile(const wxString& path);

    // Starts the application (nothing when its path is empty), with the file
    // as its one argument unless args is 1. The folder takes no part.
    static void RunApp(const wxString& application, int args, const wxString& folder, const wxString& file);
    // Opens the actual file in the desktop's default application for its
    // type; a type without a viewer is logged.
    static void RunAssocApp(const wxString& folder, const wxString& file);
    // Images in the given application, anything else in the default one.
    static void RunImageDisplayApp(const wxString& application, int args, const wxString& folder,
                                   const wxString& file);
    // RunImageDisplayApp with the image viewer.
    static void RunImvra(const wxString& folder, const wxString& file);
    // One file's action (nothing when the file does not exist).
    static void RunIt(const wxString& application, int runstat, int runwexpg, int args, const wxString& folder,
                      const wxString& file);
    // RunIt with the batch's settings, then the file's path on the clipboard.
    static void RunAndBroadcast(const CBatch& batch, const wxString& folder, const wxString& file);

    // Appends the active file's GRIB data to its batch's combined GRIB file;
    // false when the file is not a GRIB file, the batch names no combined
    // file, the combined file is the downloaded file itself, or a file could
    // not be opened (logged). With startNew the combined file is built afresh:
    // written under a temporary name beside it and renamed over it, so an
    // older combined file is replaced whole and never appended to.
    static bool ConcatGrib(const CActiveFile& file, bool startNew);

    // The whole processing after a transfer: sorts the list in place
    // (SortAscendingExt), joins the GRIB files of combining batches, starts
    // each viewer at most once, runs every file's action and finally opens
    // every combined file once. Files whose local path is empty (not
    // received in this transfer) take no part. A combined file is rebuilt
    // from the GRIB files that arrived in this transfer, never from older
    // copies of the others; one that none of its GRIB files arrived for is
    // left as it was, neither appended to nor opened. Without runPrograms
    // (the user ended the transfer by force) the files are joined but no
    // program is started. Returns the combined files that not every one of
    // their GRIB files arrived for.
    static wxArrayString PostProcess(CActiveFileList& files, bool runPrograms = true);
    // The combined GRIB files that some GRIB file of a combining batch did
    // not arrive for (a GRIB file by its local path, or by its server-side
    // name when it has no local path), in list order, each once.
    static wxArrayString IncompleteCombinedFiles(const CActiveFileList& files);
    // The same with, for each, the list positions of its GRIB files that did
    // not arrive, and whether any of them arrived (it was then rebuilt from
    // those).
    struct CombinedShortfall {
        wxString gribfile;
        std::vector<size_t> missing;
        bool rebuilt = false;
    };
    static std::vector<CombinedShortfall> CombinedShortfalls(const CActiveFileList& files);

    // The desktop's file-type registry as the default-application step asks
    // it: whether an extension names a known type, and whether that type has
    // an application that opens the file. Tests put their own in place.
    struct FileType {
        bool known = false;
        bool hasOpener = false;
    };
    using FileTypeLookup = std::function<FileType(const wxString& extension, const wxString& file)>;
    // Returns the lookup that was in place; an empty function restores the real one.
    static FileTypeLookup SetFileTypeLookup(FileTypeLookup lookup);
};

// The order of PostProcess: by the text from the last "." of the local path
// on (plain character comparison); a path without "." comes first. -1, 0, 1.
int SortAscendingExt(const CActiveFile& first, const CActiveFile& second);
