#pragma once

#include <wx/string.h>

// ---------------------------------------------------------------------------
// Database text codec.
//
// Two columns of the catalogue's products table (Path and Compression) are
// stored through a per-character substitution. The encoder table maps every
// character code 32..127 to another code of the same range; the decoder
// table is its inverse. Characters outside 32..127 pass through unchanged.
//
// The tables are chosen so that SQL LIKE works on encoded text exactly as it
// would on the plain text:
//  - letters map to letters and the two cases of one letter map to the two
//    cases of one letter, so LIKE's ASCII case folding matches the same rows;
//  - every other character maps to a non-letter;
//  - the LIKE wildcards '%' and '_' are the images of DEL (127) and the
//    backtick, two characters that never occur in server-side names; the
//    escaping below covers them in any case.
// ---------------------------------------------------------------------------

// Indexed by character code minus 32.
extern const wchar_t g_arDecoder[96];
extern const wchar_t g_arEncoder[96];

class CDbTextEncoder
{
public:
    CDbTextEncoder() = delete;

    // Decodes a stored text in place. With unescape, LIKE escapes made by
    // encode_db_string(..., true) are removed first.
    static void decode_db_string(wxString& text, bool unescape = false);

    // The stored form of a text. With escape, the result is further escaped
    // for a quoted SQL LIKE pattern whose ESCAPE character is the backslash:
    // backslash doubled, then '%' and '_' preceded by a backslash, then each
    // apostrophe doubled.
    static wxString encode_db_string(const wxString& text, bool escape);

    // One character through either table (unchanged outside 32..127).
    static wxUniChar EncodeChar(wxUniChar c);
    static wxUniChar DecodeChar(wxUniChar c);

    // The LIKE escaping step alone, and its inverse.
    static wxString EscapeForLike(const wxString& text);
    static wxString UnescapeForLike(const wxString& text);
};
// --- end of database text codec ---

// ---------------------------------------------------------------------------
// Reply-token parser.
//
// The value of a key-and-equals-sign token in a gateway reply line: the text
// after the first occurrence of the whole key (for example "--zir=") up to the
// next blank or tab or the end of the line; empty when the key is absent.
// With skipBlanks, blanks and tabs right after the key are passed over first
// (when nothing else follows, the value is empty). Lines are 8-bit text as
// received; the wxString form works on characters the same way.
// ---------------------------------------------------------------------------
#include <string>

std::string extract_equals_token(const std::string& key, const std::string& line, bool skipBlanks = false);
wxString extract_equals_token(const wxString& key, const wxString& line, bool skipBlanks = false);
// --- end of reply-token parser ---
