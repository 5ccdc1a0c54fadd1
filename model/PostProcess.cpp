#include "model/PostProcess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mimetype.h>

#include "core/LocalFiles.h"
#include "model/Batch.h"
#include "model/Broadcast.h"
#include "platform/Launcher.h"
#include "platform/WireText.h"

namespace {

using tw::FsPath;

std::mutex g_lookupLock;
CPostProcess::FileTypeLookup g_lookup;

bool Contains(const wxString& path, std::initializer_list<const char*> parts)
{
    const wxString lower = path.Lower();
    for (const char* part : parts)
        if (lower.find(part) != wxString::npos)
            return true;
    return false;
}

bool Exists(const wxString& path)
{
    return !path.empty() && wxFileName::Exists(path, wxFILE_EXISTS_ANY);
}


wxString FromFs(const std::string& path)
{
    return wxString(path.c_str(), wxConvFile);
}

// The desktop's registry: the toolkit's MIME database.
CPostProcess::FileType RealLookup(const wxString& extension, const wxString& file)
{
    CPostProcess::FileType out;
    if (!wxTheMimeTypesManager)
        return out;
    wxLogNull quiet;
    std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(extension));
    if (!type)
        return out;
    out.known = true;
    wxString mime;
    type->GetMimeType(&mime);
    wxString command;
    out.hasOpener = type->GetOpenCommand(&command, wxFileType::MessageParameters(file, mime)) && !command.empty();
    return out;
}

CPostProcess::FileType LookUpType(const wxString& extension, const wxString& file)
{
    CPostProcess::FileTypeLookup lookup;
    {
        std::lock_guard<std::mutex> lock(g_lookupLock);
        lookup = g_lookup;
    }
    return lookup ? lookup(extension, file) : RealLookup(extension, file);
}

// The extension used for ordering: from the last "." of the whole path on.
bool ExtensionOf(const wxString& path, wxString& ext)
{
    const size_t dot = path.rfind('.');
    if (dot == wxString::npos)
        return false;
    ext = path.Mid(dot);
    return true;
}

// Whether two paths name the same file (the same file system object, so
// links and different spellings of one path count as the same).
bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string DirName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Copies the whole of `in` to `out` in chunks of 32768 bytes; false when a
// write fails.
bool CopyData(int in, int out)
{
    std::vector<char> buffer(32768);
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        const char* p = buffer.data();
        size_t left = static_cast<size_t>(n);
        while (left > 0) {
            ssize_t w = ::write(out, p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            p += w;
            left -= static_cast<size_t>(w);
        }
    }
}

// The key under which a combined file is known during one run: its
// absolute, normalised path.
wxString CombinedKey(const wxString& gribfile)
{
    wxFileName name(gribfile);
    name.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE | wxPATH_NORM_TILDE);
    return name.GetFullPath();
}

} // namespace

// ---------------------------------------------------------------- file kinds

bool CPostProcess::isText(const wxString& path)
{
    return Contains(path, {".txt", ".text"});
}

bool CPostProcess::isImage(const wxString& path)
{
    return Contains(path, {".jpg", ".tif", ".png", ".gif", ".ani"});
}

bool CPostProcess::isGrib(const wxString& path)
{
    return Contains(path, {".grib", ".grb"});
}

bool CPostProcess::isText(const CActiveFile& file)
{
    return isText(file.LocalPath);
}

bool CPostProcess::isImage(const CActiveFile& file)
{
    return isImage(file.LocalPath);
}

bool CPostProcess::isGrib(const CActiveFile& file)
{
    return isGrib(file.LocalPath);
}

CPostProcess::FileTypeLookup CPostProcess::SetFileTypeLookup(FileTypeLookup lookup)
{
    std::lock_guard<std::mutex> lock(g_lookupLock);
    FileTypeLookup previous = std::move(g_lookup);
    g_lookup = std::move(lookup);
    return previous;
}

wxString CPostProcess::GetActualFile(const wxString& path)
{
    if (Exists(path))
        return path;
    const size_t dot = path.rfind('.');
    if (dot == wxString::npos)
        return wxString();
    const wxString stem = path.Left(dot);
    const size_t slash = stem.rfind('/');
    const wxString folder = slash == wxString::npos ? wxString(wxS(".")) : stem.Left(slash == 0 ? 1 : slash);
    const wxString prefix = (slash == wxString::npos ? stem : stem.Mid(slash + 1)) + ".";

    DIR* dir = ::opendir(FsPath(folder).c_str());
    if (!dir)
        return wxString();
    const std::string want = FsPath(prefix);
    wxString found;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (name.compare(0, want.size(), want) == 0) {
            found = (folder == wxS("/") ? wxString() : folder) + "/" + FromFs(name);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// ---------------------------------------------------------------- starting programs

void CPostProcess::RunApp(const wxString& application, int args, const wxString& /*folder*/, const wxString& file)
{
    if (application.empty())
        return;
    std::vector<wxString> argv {application};
    if (args != 1 && !file.empty())
        argv.push_back(file);
    tw::Launch(argv);
}

namespace {

// While the files of one transfer are processed: the file types that found
// no viewer, told once at the end instead of once per file.
std::set<wxString>* g_typesWithoutViewer = nullptr;

class TypesWithoutViewer
{
public:
    TypesWithoutViewer() : m_outer(g_typesWithoutViewer) { g_typesWithoutViewer = &m_types; }
    ~TypesWithoutViewer()
    {
        g_typesWithoutViewer = m_outer;
        if (m_types.empty())
            return;
        wxString list;
        for (const wxString& type : m_types)
            list += (list.empty() ? "'" : ", '") + type + "'";
        wxLogMessage("%s", wxString("No viewer is set up for files of type ") + list
                               + ", so those downloaded files were not opened. To open them, choose a program "
                                 "in the Library window: right-click the item and use View With > Choose Program...");
    }

private:
    std::set<wxString> m_types;
    std::set<wxString>* m_outer;
};

} // namespace

void CPostProcess::RunAssocApp(const wxString& /*folder*/, const wxString& file)
{
    const wxString actual = GetActualFile(file);
    if (actual.empty())
        return;
    const wxString finalName = wxFileName(actual).GetFullName();
    const size_t dot = finalName.rfind('.');
    const wxString extension = dot == wxString::npos ? wxString() : finalName.Mid(dot + 1);

    const FileType type = LookUpType(extension, actual);
    if (!type.known) {
        if (g_typesWithoutViewer)
            g_typesWithoutViewer->insert(extension);
        else
            wxLogError("%s", wxString("No viewer exists for files of type '") + extension + "'.");
        return;
    }
    if (!type.hasOpener) {
        if (extension == wxS("ani"))
            wxLogError("%s", wxString("TALVO Chartloom required but not found for this file type (") + actual + ")");
        else
            wxLogError("%s", wxString("No viewer found for file '") + actual + "'.");
        return;
    }
    if (tw::OpenWithDefault(actual) == 0)
        wxLogError("%s", wxString("Failed to execute command '") + "xdg-open " + actual + "'.");
}

void CPostProcess::RunImageDisplayApp(const wxString& application, int args, const wxString& folder,
                                      const wxString& file)
{
    const wxString actual = GetActualFile(file);
    if (actual.empty())
        return;
    if (!isImage(actual))
        RunAssocApp(folder, actual);
    else
        RunApp(application, args, folder, actual);
}

void CPostProcess::RunImvra(const wxString& folder, const wxString& file)
{
    RunImageDisplayApp(tw::GetIFVAppPath(), 0, folder, file);
}

void CPostProcess::RunIt(const wxString& application, int runstat, int runwexpg, int args, const wxString& folder,
                         const wxString& file)
{
    if (!Exists(file))
        return;
    if (runwexpg != 0 && isGrib(file)) {
        RunApp(tw::GetIsobarionPath(), 0, folder, file);
        return;
    }
    switch (runstat) {
    case 3:
        RunApp(application, args, folder, file);
        break;
    case 4:
        if (isText(file))
            RunApp(tw::GetWSPath(), 0, folder, file);
        else
            RunImageDisplayApp(tw::GetWSPath(), args, folder, file);
        break;
    default:
        RunAssocApp(folder, file);
        break;
    }
}

void CPostProcess::RunAndBroadcast(const CBatch& batch, const wxString& folder, const wxString& file)
{
    const CBatch::t_batch& b = batch.info;
    RunIt(b.application, b.runstat, b.runwexpg, b.args, folder, file);
    CBroadcast().BroadcastFile(file);
}

// ---------------------------------------------------------------- combined GRIB files

bool CPostProcess::ConcatGrib(const CActiveFile& file, bool startNew)
{
    if (!isGrib(file.LocalPath) || file.gribfile.empty())
        return false;
    const std::string combined = FsPath(file.gribfile);
    const std::string input = FsPath(file.LocalPath);
    if (combined.empty() || input.empty())
        return false;
    if (SameFile(input, combined)) {
        wxLogError("%s", wxString("The GRIB file ") + file.LocalPath
                             + " is the combined GRIB file itself and is not appended to it.");
        return false;
    }

    std::string target = combined;
    int out = -1;
    if (startNew) {
        static std::atomic<unsigned> counter {0};
        target = DirName(combined) + "/." + BaseName(combined) + ".tw" + std::to_string(::getpid()) + "-"
                 + std::to_string(++counter);
        out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } else {
        out = ::open(combined.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    }
    if (out < 0) {
        wxLogError("Could not open output GRIB file %s.", file.gribfile);
        return false;
    }
    const int in = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        wxLogError("Cound not open input GRIB file %s.", file.LocalPath);
        ::close(out);
        if (startNew)
            ::unlink(target.c_str());
        return false;
    }
    bool ok = CopyData(in, out);
    ::close(in);
    if (::close(out) != 0)
        ok = false;
    if (!ok) {
        wxLogError("Could not write output GRIB file %s.", file.gribfile);
        if (startNew)
            ::unlink(target.c_str());
        return false;
    }
    if (startNew && ::rename(target.c_str(), combined.c_str()) != 0) {
        wxLogError("Could not open output GRIB file %s.", file.gribfile);
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- after a transfer

int SortAscendingExt(const CActiveFile& first, const CActiveFile& second)
{
    wxString a, b;
    const bool hasA = ExtensionOf(first.LocalPath, a);
    const bool hasB = ExtensionOf(second.LocalPath, b);
    if (!hasA || !hasB)
        return hasA == hasB ? 0 : (hasA ? 1 : -1);
    const int c = a.compare(b);
    return c > 0 ? 1 : (c == 0 ? 0 : -1);
}

namespace {

// A GRIB file of a combining batch: by what arrived, or by what was asked
// for when nothing arrived.
bool CombinesAsGrib(const CActiveFile& f)
{
    if (!f.bCombineGribs || f.gribfile.empty())
        return false;
    return f.LocalPath.empty() ? CPostProcess::isGrib(f.Path) : CPostProcess::isGrib(f.LocalPath);
}

} // namespace

std::vector<CPostProcess::CombinedShortfall> CPostProcess::CombinedShortfalls(const CActiveFileList& files)
{
    std::vector<CombinedShortfall> out;
    std::map<wxString, size_t> byKey;   // combined file -> its place in `out`
    std::set<wxString> arrived;         // combined files some GRIB file arrived for
    for (size_t i = 0; i < files.GetCount(); ++i) {
        const CActiveFile& f = files.Item(i);
        if (!CombinesAsGrib(f))
            continue;
        const wxString key = CombinedKey(f.gribfile);
        if (!f.LocalPath.empty()) {
            arrived.insert(key);
            continue;
        }
        auto found = byKey.find(key);
        if (found == byKey.end()) {
            found = byKey.emplace(key, out.size()).first;
            out.push_back(CombinedShortfall());
            out.back().gribfile = f.gribfile;
        }
        out[found->second].missing.push_back(i);
    }
    for (const auto& entry : byKey)
        out[entry.second].rebuilt = arrived.count(entry.first) != 0;
    return out;
}

wxArrayString CPostProcess::IncompleteCombinedFiles(const CActiveFileList& files)
{
    wxArrayString out;
    for (const CombinedShortfall& shortfall : CombinedShortfalls(files))
        out.Add(shortfall.gribfile);
    return out;
}

wxArrayString CPostProcess::PostProcess(CActiveFileList& files, bool runPrograms)
{
    const TypesWithoutViewer told;
    // A combined file is built afresh from the GRIB files that arrived now;
    // an older copy of one that did not arrive must not pass for new data.
    const wxArrayString incomplete = IncompleteCombinedFiles(files);

    // Sort (stable: files of one extension keep their order), in the order
    // of SortAscendingExt, each file's extension found once; the entries are
    // moved into their places, never copied.
    const size_t count = files.GetCount();
    std::vector<std::wstring_view> extensions(count);
    std::vector<bool> hasExtension(count);
    for (size_t i = 0; i < count; ++i) {
        const wxString& path = files.Item(i).LocalPath;
        static_assert(std::is_same<wxStringCharType, wchar_t>::value, "texts are read in place");
        const std::wstring_view text(path.wx_str(), path.length());
        const size_t dot = text.rfind(L'.');
        hasExtension[i] = dot != std::wstring_view::npos;
        if (hasExtension[i])
            extensions[i] = text.substr(dot);
    }
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (!hasExtension[a] || !hasExtension[b])
            return !hasExtension[a] && hasExtension[b];
        return extensions[a] < extensions[b];
    });
    files.files.Permute(order);

    const wxString gribViewer = tw::GetIsobarionPath();
    const wxString chartViewer = tw::GetWSPath();
    bool gribViewerStarted = false;
    bool chartViewerStarted = false;
    // Combined file -> the first active file appended to it in this run.
    std::map<wxString, CActiveFile> combined;

    for (size_t i = 0; i < files.GetCount(); ++i) {
        const CActiveFile& f = files.Item(i);
        if (f.LocalPath.empty())
            continue;   // did not arrive in this transfer
        if (f.bCombineGribs) {
            const wxString key = CombinedKey(f.gribfile);
            const bool first = combined.find(key) == combined.end();
            if (ConcatGrib(f, first) && first)
                combined.emplace(key, f);
        }
        if (!runPrograms || f.runstat == 0 || (f.bCombineGribs && isGrib(f)))
            continue;
        if (!gribViewerStarted && f.runwexpg && isGrib(f) && Exists(gribViewer)) {
            RunApp(gribViewer, 1, wxString(), wxString());
            gribViewerStarted = true;
        } else if (!chartViewerStarted && f.runstat == 4 && (isImage(f) || isText(f)) && Exists(chartViewer)) {
            RunApp(chartViewer, 1, wxString(), wxString());
            chartViewerStarted = true;
        }
        RunIt(f.application, f.runstat, f.runwexpg, f.args, f.folder, f.LocalPath);
    }

    for (const auto& entry : combined) {
        const CActiveFile& copy = entry.second;
        if (!runPrograms || copy.runstat == 0)
            continue;
        if (!gribViewerStarted && copy.runwexpg && Exists(gribViewer)) {
            RunApp(gribViewer, 1, wxString(), wxString());
            gribViewerStarted = true;
        }
        RunIt(copy.application, copy.runstat, copy.runwexpg, copy.args, copy.folder, copy.gribfile);
    }
    return incomplete;
}
