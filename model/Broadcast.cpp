#include "model/Broadcast.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <sys/stat.h>

#include "model/Batch.h"
#include "platform/WireText.h"

namespace {

bool Exists(const wxString& path)
{
    struct stat st {};
    return !path.empty() && ::stat(tw::FsPath(path).c_str(), &st) == 0;
}

// Appends `path` as UTF-8, written straight into `text` (a large transfer
// has tens of thousands of paths: no buffer of its own for each). A text
// holding something that is no character is left to the toolkit's own
// conversion.
void AppendUtf8(std::string& text, const wxString& path)
{
    static_assert(sizeof(wchar_t) == 4, "texts are read as code points");
    const wchar_t* at = path.wx_str();
    const size_t length = path.length();
    const size_t start = text.size();
    for (size_t k = 0; k < length; ++k) {
        const uint32_t c = static_cast<uint32_t>(at[k]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            text.resize(start);
            const wxScopedCharBuffer utf8 = path.utf8_str();
            text.append(utf8.data(), utf8.length());
            return;
        }
        unsigned char bytes[4];
        text.append(reinterpret_cast<const char*>(bytes), tw::EncodeUtf8(c, bytes));
    }
}

// The clipboard text of the paths `count` and `at` give, in their order, as
// UTF-8; `known(i)` tells a path known to exist.
template <typename PathAt, typename Known>
std::string TextOf(size_t count, PathAt at, Known known)
{
    size_t length = 0;
    for (size_t i = 0; i < count; ++i)
        length += at(i).length() + 2;
    std::string text;
    text.reserve(length);
    for (size_t i = 0; i < count; ++i) {
        const wxString& path = at(i);
        if (!path.empty() && (known(i) || Exists(path))) {
            AppendUtf8(text, path);
            text += "\r\n";
        }
    }
    if (text.empty())
        text = "\r\n";
    return text;
}

// Clipboard text held once, as the UTF-8 the clipboard hands out: the paths
// of a large transfer are not also kept as wide text.
class Utf8TextObject : public wxTextDataObject
{
public:
    explicit Utf8TextObject(std::string text) : m_text(std::move(text)) {}

    size_t GetTextLength() const override { return GetText().length() + 1; }
    wxString GetText() const override { return wxString::FromUTF8(m_text.data(), m_text.size()); }
    void SetText(const wxString& text) override
    {
        const wxScopedCharBuffer utf8 = text.utf8_str();
        m_text.assign(utf8.data(), utf8.length());
    }

    size_t GetDataSize(const wxDataFormat& format) const override
    {
        return format == wxDF_UNICODETEXT ? m_text.size() : Local().length();
    }
    bool GetDataHere(const wxDataFormat& format, void* buf) const override
    {
        if (!buf)
            return false;
        if (format == wxDF_UNICODETEXT) {
            std::memcpy(buf, m_text.data(), m_text.size());
        } else {
            const wxCharBuffer local = Local();
            std::memcpy(buf, local.data(), local.length());
        }
        return true;
    }
    bool SetData(const wxDataFormat& format, size_t len, const void* buf) override
    {
        if (format == wxDF_UNICODETEXT)
            m_text.assign(static_cast<const char*>(buf), len);
        else
            SetText(wxString(static_cast<const char*>(buf), wxConvLocal, len));
        return true;
    }
    using wxTextDataObject::GetDataHere;
    using wxTextDataObject::GetDataSize;
    using wxTextDataObject::SetData;

private:
    wxCharBuffer Local() const { return wxConvLocal.cWC2MB(GetText().wc_str()); }

    std::string m_text;
};

std::string TextOfPaths(const wxArrayString& paths)
{
    return TextOf(paths.size(), [&](size_t i) -> const wxString& { return paths[i]; }, [](size_t) { return false; });
}

void Put(std::string text)
{
    if (!wxTheClipboard || !wxTheClipboard->Open())
        return;
    wxTheClipboard->SetData(new Utf8TextObject(std::move(text)));
    wxTheClipboard->Close();
}

} // namespace

wxString CBroadcast::BuildText(const wxArrayString& paths)
{
    const std::string text = TextOfPaths(paths);
    return wxString::FromUTF8(text.data(), text.size());
}

void CBroadcast::BroadcastFiles(const wxArrayString& paths)
{
    Put(TextOfPaths(paths));
}

void CBroadcast::BroadcastFile(const wxString& path)
{
    wxArrayString paths;
    paths.Add(path);
    BroadcastFiles(paths);
}

void CBroadcast::BroadcastFiles2ExternApps(const CActiveFileList& files)
{
    BroadcastFiles2ExternApps(files, nullptr);
}

void CBroadcast::BroadcastFiles2ExternApps(const CActiveFileList& files,
                                           const std::function<bool(const CActiveFile&)>& placed)
{
    Put(TextOf(
        files.GetCount(), [&](size_t i) -> const wxString& { return files.Item(i).LocalPath; },
        [&](size_t i) { return placed && placed(files.Item(i)); }));
}
