// Conversions between the program's texts and the bytes of the gateway line
// protocol and of the file system.
#pragma once

#include <string>

#include <wx/string.h>

namespace tw {

// Text on the wire is UTF-8 whatever the process locale.
inline std::string ToWire(const wxString& text)
{
    wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// Received text as a wxString: UTF-8, or byte for byte when it is not UTF-8,
// so that no text from the server is lost from a message.
inline wxString FromWire(const std::string& bytes)
{
    wxString text = wxString::FromUTF8(bytes.data(), bytes.size());
    if (text.empty() && !bytes.empty())
        text = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
    return text;
}

// A path in the file system's encoding.
inline std::string FsPath(const wxString& path)
{
    wxCharBuffer buf = path.fn_str();
    return buf.data() ? std::string(buf.data()) : std::string();
}

} // namespace tw
