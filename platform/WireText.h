// Conversions between the program's texts and the bytes of the gateway line
// protocol and of the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <wx/string.h>

namespace tw {

// Text on the wire is UTF-8 whatever the process locale.
inline std::string ToWire(const wxString& text)
{
    wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// The UTF-8 bytes of one code point (at most U+10FFFF) written to `out`;
// returns their count.
inline size_t EncodeUtf8(uint32_t c, unsigned char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

// The bytes are well-formed UTF-8: no overlong form, no surrogate, nothing
// above U+10FFFF, no sequence cut short.
inline bool IsUtf8(const char* data, size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t i = 0;
    while (i < size) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;   // range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;                       // overlong
            else if (c == 0xED)
                high = 0x9F;                      // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;                       // overlong
            else if (c == 0xF4)
                high = 0x8F;                      // above U+10FFFF
        } else {
            return false;
        }
        if (size - i < length || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (size_t k = 2; k < length; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        i += length;
    }
    return true;
}

// Bytes as a text: UTF-8 when they are well-formed UTF-8, otherwise byte for
// byte as Latin-1, so that every byte sequence gives a text that converts
// back to UTF-8.
inline wxString FromUtf8OrLatin1(const char* data, size_t size)
{
    if (IsUtf8(data, size))
        return wxString::FromUTF8(data, size);
    return wxString(data, wxConvISO8859_1, size);
}

// Received text as a wxString: UTF-8, or byte for byte when it is not UTF-8,
// so that no text from the server is lost from a message.
inline wxString FromWire(const std::string& bytes)
{
    return FromUtf8OrLatin1(bytes.data(), bytes.size());
}

// A path in the file system's encoding.
inline std::string FsPath(const wxString& path)
{
    wxCharBuffer buf = path.fn_str();
    return buf.data() ? std::string(buf.data()) : std::string();
}

} // namespace tw
