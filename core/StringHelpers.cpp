#include "core/StringHelpers.h"

// --- database text codec ---

const wchar_t g_arEncoder[96] = {
    0x60, 0x2F, 0x3F, 0x34, 0x3E, 0x2D, 0x5E, 0x7B, 0x37, 0x2A, 0x32, 0x7D,
    0x30, 0x2E, 0x36, 0x24, 0x28, 0x29, 0x3B, 0x3D, 0x5B, 0x5D, 0x23, 0x7F,
    0x27, 0x35, 0x39, 0x3C, 0x2B, 0x31, 0x21, 0x26, 0x2C, 0x69, 0x4F, 0x79,
    0x53, 0x50, 0x68, 0x51, 0x56, 0x6D, 0x58, 0x64, 0x45, 0x52, 0x46, 0x47,
    0x55, 0x61, 0x6C, 0x42, 0x57, 0x4E, 0x63, 0x4A, 0x6B, 0x7A, 0x54, 0x7E,
    0x33, 0x7C, 0x38, 0x3A, 0x5F, 0x49, 0x6F, 0x59, 0x73, 0x70, 0x48, 0x71,
    0x76, 0x4D, 0x78, 0x44, 0x65, 0x72, 0x66, 0x67, 0x75, 0x41, 0x4C, 0x62,
    0x77, 0x6E, 0x43, 0x6A, 0x4B, 0x5A, 0x74, 0x5C, 0x22, 0x20, 0x40, 0x25,
};

const wchar_t g_arDecoder[96] = {
    0x7D, 0x3E, 0x7C, 0x36, 0x2F, 0x7F, 0x3F, 0x38, 0x30, 0x31, 0x29, 0x3C,
    0x40, 0x25, 0x2D, 0x21, 0x2C, 0x3D, 0x2A, 0x5C, 0x23, 0x39, 0x2E, 0x28,
    0x5E, 0x3A, 0x5F, 0x32, 0x3B, 0x33, 0x24, 0x22, 0x7E, 0x71, 0x53, 0x76,
    0x6B, 0x4C, 0x4E, 0x4F, 0x66, 0x61, 0x57, 0x78, 0x72, 0x69, 0x55, 0x42,
    0x45, 0x47, 0x4D, 0x44, 0x5A, 0x50, 0x48, 0x54, 0x4A, 0x63, 0x79, 0x34,
    0x7B, 0x35, 0x26, 0x60, 0x20, 0x51, 0x73, 0x56, 0x4B, 0x6C, 0x6E, 0x6F,
    0x46, 0x41, 0x77, 0x58, 0x52, 0x49, 0x75, 0x62, 0x65, 0x67, 0x6D, 0x64,
    0x7A, 0x70, 0x68, 0x74, 0x6A, 0x43, 0x59, 0x27, 0x5D, 0x2B, 0x5B, 0x37,
};

namespace
{
wxUniChar Substitute(const wchar_t* table, wxUniChar c)
{
    const wxUniChar::value_type v = c.GetValue();
    if (v < 32 || v > 127)
        return c;
    return wxUniChar(table[v - 32]);
}

wxString SubstituteAll(const wchar_t* table, const wxString& text)
{
    wxString out;
    out.reserve(text.length());
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it)
        out += Substitute(table, *it);
    return out;
}
} // namespace

wxUniChar CDbTextEncoder::EncodeChar(wxUniChar c)
{
    return Substitute(g_arEncoder, c);
}

wxUniChar CDbTextEncoder::DecodeChar(wxUniChar c)
{
    return Substitute(g_arDecoder, c);
}

wxString CDbTextEncoder::EscapeForLike(const wxString& text)
{
    wxString out;
    out.reserve(text.length() + 8);
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it)
    {
        const wxUniChar c = *it;
        if (c == wxUniChar('\\'))
            out += wxS("\\\\");
        else if (c == wxUniChar('%'))
            out += wxS("\\%");
        else if (c == wxUniChar('_'))
            out += wxS("\\_");
        else if (c == wxUniChar('\''))
            out += wxS("''");
        else
            out += c;
    }
    return out;
}

wxString CDbTextEncoder::UnescapeForLike(const wxString& text)
{
    wxString out;
    out.reserve(text.length());
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it)
    {
        const wxUniChar c = *it;
        wxString::const_iterator next = it;
        ++next;
        if (c == wxUniChar('\\') && next != text.end())
        {
            out += *next;
            it = next;
        }
        else if (c == wxUniChar('\'') && next != text.end() && *next == wxUniChar('\''))
        {
            out += c;
            it = next;
        }
        else
        {
            out += c;
        }
    }
    return out;
}

void CDbTextEncoder::decode_db_string(wxString& text, bool unescape)
{
    if (unescape)
        text = UnescapeForLike(text);
    text = SubstituteAll(g_arDecoder, text);
}

wxString CDbTextEncoder::encode_db_string(const wxString& text, bool escape)
{
    wxString out = SubstituteAll(g_arEncoder, text);
    if (escape)
        out = EscapeForLike(out);
    return out;
}

// --- end of database text codec ---

// --- reply-token parser ---

namespace {

template <class Text>
Text ExtractEqualsToken(const Text& key, const Text& line, bool skipBlanks)
{
    const size_t at = line.find(key);
    if (key.empty() || at == Text::npos)
        return Text();
    size_t start = at + key.length();
    if (skipBlanks) {
        size_t p = start;
        while (p < line.length() && (line[p] == ' ' || line[p] == '\t'))
            ++p;
        if (p < line.length())
            start = p;
    }
    size_t end = start;
    while (end < line.length() && line[end] != ' ' && line[end] != '\t')
        ++end;
    return line.substr(start, end - start);
}

} // namespace

std::string extract_equals_token(const std::string& key, const std::string& line, bool skipBlanks)
{
    return ExtractEqualsToken(key, line, skipBlanks);
}

wxString extract_equals_token(const wxString& key, const wxString& line, bool skipBlanks)
{
    return ExtractEqualsToken(key, line, skipBlanks);
}
// --- end of reply-token parser ---
