// Numbers as text, the same in every locale: what reaches SQL, the wire, file
// names and the settings file, and what is read back from them or typed into
// a field. The decimal point is always '.', there is no digit grouping, and
// the process locale (LC_NUMERIC) plays no part.
//
// Reading. A number is read from the start of a text: white space before it
// is skipped, then comes an optional '+' or '-' and
//   - an integer: decimal digits;
//   - a real: decimal digits with at most one '.', at least one digit in all,
//     then optionally an exponent ('e' or 'E', an optional sign and digits;
//     an 'e' without digits after it is not part of the number). A text in
//     the fixed form (what "%f" writes, such as a batch file's numbers) has
//     no exponent: there "1e3" is 1.
// Words such as "inf" or "nan", hexadecimal and digit groups are not numbers.
// The Read functions tell what they found; the Leading functions use what the
// text starts with and ignore the rest; the Parse functions want the whole
// text (white space around the number allowed) to be the number.
//
// Out of range. An integer beyond the range of its type reads as the nearest
// limit: Read* says OutOfRange, Leading* clamps and takes it, Parse* refuses
// it. A real too large for a double is OutOfRange (value +-DBL_MAX): Leading*
// and Parse* refuse it. A real too small to tell from zero reads as 0.
//
// Writing. FormatFixed is printf's "%.Nf" and FormatG printf's "%g" (six
// significant digits, no trailing zeros) in the C locale; FormatFixed writes a
// value that is not finite as 0.
#pragma once

#include <string>
#include <string_view>

#include <wx/buffer.h>
#include <wx/string.h>

namespace tw {

// Any text a number may be read from: 8-bit text (UTF-8 or ASCII) or a
// wxString. Only for passing a text to the functions below.
class NumberText
{
public:
    NumberText(const char* text) : m_view(text ? text : "") {}
    NumberText(std::string_view text) : m_view(text) {}
    NumberText(const std::string& text) : m_view(text) {}
    NumberText(const wxString& text) : m_utf8(text.utf8_str()), m_view(m_utf8.data(), m_utf8.length()) {}

    std::string_view View() const { return m_view; }

private:
    wxScopedCharBuffer m_utf8;
    std::string_view m_view;
};

// The forms a real may take.
enum class RealForm {
    General,   // with an optional exponent
    Fixed      // digits and a point only
};

enum class NumberRead {
    None,        // the text does not start with a number; the value is left alone
    Ok,          // the value is the number
    OutOfRange   // too large for the type; the value is the nearest limit
};

// The number at the start of the text. `end`, when given, gets the offset
// (in 8-bit text) just after the number, or 0 when there is none.
NumberRead ReadInteger(const NumberText& text, long long& value, size_t* end = nullptr);
NumberRead ReadReal(const NumberText& text, double& value, size_t* end = nullptr,
                    RealForm form = RealForm::General);

// The number the text starts with; false (value left alone) when it starts
// with none. Integers clamp to the limits of their type.
bool LeadingInt(const NumberText& text, int& value);
bool LeadingLong(const NumberText& text, long& value);
bool LeadingDouble(const NumberText& text, double& value, RealForm form = RealForm::General);

// The same with a value for a text that starts with no number.
int LeadingInt(const NumberText& text);
long LeadingLong(const NumberText& text);
double LeadingDouble(const NumberText& text);

// The whole text is one number that fits the type; false (value left alone)
// otherwise.
bool ParseInt(const NumberText& text, int& value);
bool ParseLong(const NumberText& text, long& value);
bool ParseDouble(const NumberText& text, double& value);

// printf's "%.Nf" (decimals clamped to 0..60) and "%g".
wxString FormatFixed(double value, int decimals);
wxString FormatG(double value);

} // namespace tw
