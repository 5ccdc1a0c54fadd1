// The text of one field of a content item, held compactly: the catalogue
// keeps hundreds of thousands of items, most of whose texts are short
// (numbers, ids, option words) or repeated (category, chart type, source).
//
// A CItemText is one machine word. Up to seven bytes of UTF-8 are held in
// the word itself; longer texts live in one immutable block shared by every
// copy (copying takes a reference, it never copies the characters). Equal
// texts of a whole catalogue can share one block (CItemTextPool).
//
// It reads as a wxString: it converts to one wherever a wxString is taken,
// compares and concatenates with wxString and C strings, formats with "%s",
// and offers wxString's reading members (Lower, Find, StartsWith, ToLong
// ...), each working on a wxString made for the call. Members that would
// hand out pointers into such a passing wxString (wc_str, begin, end) are
// left out on purpose; c_str() gives the wxString itself, and the byte
// buffers (utf8_str, mb_str ...) own their bytes. Assigning any
// text replaces the field's text.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <wx/string.h>
#include <wx/strvararg.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "CItemText keeps its tag in the word's lowest byte");

class CItemText
{
public:
    CItemText() noexcept = default;
    // From C strings, as wxString takes them (a char string in the current
    // locale's encoding); implicit, so that literals assign and compare.
    CItemText(const char* text) { Assign(wxString(text)); }
    CItemText(const wchar_t* text) { Assign(wxString(text)); }
    explicit CItemText(const wxString& text) { Assign(text); }
    explicit CItemText(const wxCStrData& text) { Assign(text.AsString()); }
    explicit CItemText(const std::string& text) { Assign(wxString(text)); }
    explicit CItemText(const std::wstring& text) { Assign(wxString(text)); }
    CItemText(const CItemText& other) noexcept : m_word(other.m_word) { Retain(); }
    CItemText(CItemText&& other) noexcept : m_word(other.m_word) { other.m_word = 0; }
    ~CItemText() { Release(); }

    CItemText& operator=(const CItemText& other) noexcept
    {
        if (m_word != other.m_word) {
            other.Retain();
            Release();
            m_word = other.m_word;
        }
        return *this;
    }
    CItemText& operator=(CItemText&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_word = other.m_word;
            other.m_word = 0;
        }
        return *this;
    }
    CItemText& operator=(const wxString& text) { return *this = CItemText(text); }
    CItemText& operator=(const wxCStrData& text) { return *this = CItemText(text); }
    CItemText& operator=(const char* text) { return *this = CItemText(text); }
    CItemText& operator=(const wchar_t* text) { return *this = CItemText(text); }
    CItemText& operator=(const std::string& text) { return *this = CItemText(text); }
    CItemText& operator=(const std::wstring& text) { return *this = CItemText(text); }

    // A text from UTF-8 bytes, which must be valid UTF-8 (see IsValidUTF8).
    static CItemText FromUTF8(const char* bytes, size_t length);
    static bool IsValidUTF8(const char* bytes, size_t length);

    // The text as a wxString (also what the conversion gives).
    wxString AsString() const;
    operator wxString() const { return AsString(); }
    // The UTF-8 bytes (not terminated) and their count.
    const char* Utf8Data() const { return IsInline() ? InlineBytes() : (Block() ? BlockBytes(Block()) : ""); }
    size_t Utf8Length() const { return IsInline() ? InlineLength() : (Block() ? Block()->length : 0); }

    // Characters (code points), as wxString counts them on this platform.
    size_t length() const;
    size_t Length() const { return length(); }
    size_t Len() const { return length(); }
    size_t size() const { return length(); }
    bool empty() const { return m_word == 0; }
    bool IsEmpty() const { return empty(); }
    bool IsNull() const { return empty(); }

    void clear() { Release(); m_word = 0; }
    void Clear() { clear(); }
    void Empty() { clear(); }
    void swap(CItemText& other) noexcept { std::swap(m_word, other.m_word); }

    CItemText& operator+=(const wxString& text) { return *this = CItemText(AsString() + text); }
    CItemText& operator+=(const CItemText& text) { return *this += text.AsString(); }
    CItemText& operator+=(const char* text) { return *this += wxString(text); }
    CItemText& operator+=(const wchar_t* text) { return *this += wxString(text); }
    CItemText& operator+=(wxUniChar c) { return *this += wxString(c); }
    CItemText& operator+=(char c) { return *this += wxString(c); }
    CItemText& operator+=(wchar_t c) { return *this += wxString(c); }

    // Exact comparison, as wxString::Cmp: negative, 0 or positive.
    int Cmp(const CItemText& other) const;
    int Cmp(const wxString& other) const;
    int Cmp(const char* other) const { return Cmp(wxString(other)); }
    int Cmp(const wchar_t* other) const { return Cmp(wxString(other)); }
    int compare(const CItemText& other) const { return Cmp(other); }
    int compare(const wxString& other) const { return Cmp(other); }

    // Hash of the text; equal texts (whatever their storage) hash alike, and
    // HashOf(wxString) hashes a wxString the same way without converting it.
    size_t Hash() const { return HashBytes(Utf8Data(), Utf8Length()); }
    static size_t HashOf(const wxString& text);
    static size_t HashBytes(const char* bytes, size_t length);

    // Whether two fields share one block of characters (tests, pools).
    bool SharesWith(const CItemText& other) const { return m_word == other.m_word && !IsInline() && m_word != 0; }
    bool IsInline() const { return (m_word & 1) != 0; }
    // Heap bytes this field holds (its share of a block: all of it).
    size_t HeapBytes() const;

    // c_str() here is the text itself (a wxString), not a pointer into it.
    wxString c_str() const { return AsString(); }
    // Byte buffers of the text; each owns its bytes (a wxString's buffers
    // may point into the string, which here would be gone at once).
    wxCharBuffer utf8_str() const
    {
        wxCharBuffer b(Utf8Length());
        std::memcpy(b.data(), Utf8Data(), Utf8Length());
        return b;
    }
    wxCharBuffer ToUTF8() const { return utf8_str(); }
    wxCharBuffer mb_str(const wxMBConv& conv = wxConvLibc) const { return Owned(AsString().mb_str(conv)); }
    wxCharBuffer fn_str() const { return Owned(AsString().fn_str()); }
    wxCharBuffer ToAscii(char replaceWith = '_') const { return Owned(AsString().ToAscii(replaceWith)); }

    // wxString's reading members, on a wxString of this text. Each returns by
    // value, so nothing refers to that passing wxString afterwards.
#define TW_ITEMTEXT_FORWARD(name)                                                                         \
    template <typename... Args>                                                                           \
    auto name(Args&&... args) const                                                                       \
        -> std::decay_t<decltype(std::declval<const wxString&>().name(std::forward<Args>(args)...))>      \
    {                                                                                                     \
        return AsString().name(std::forward<Args>(args)...);                                             \
    }
    TW_ITEMTEXT_FORWARD(Lower)
    TW_ITEMTEXT_FORWARD(Upper)
    TW_ITEMTEXT_FORWARD(Capitalize)
    TW_ITEMTEXT_FORWARD(Mid)
    TW_ITEMTEXT_FORWARD(Left)
    TW_ITEMTEXT_FORWARD(Right)
    TW_ITEMTEXT_FORWARD(SubString)
    TW_ITEMTEXT_FORWARD(substr)
    TW_ITEMTEXT_FORWARD(Find)
    TW_ITEMTEXT_FORWARD(find)
    TW_ITEMTEXT_FORWARD(rfind)
    TW_ITEMTEXT_FORWARD(find_first_of)
    TW_ITEMTEXT_FORWARD(find_last_of)
    TW_ITEMTEXT_FORWARD(find_first_not_of)
    TW_ITEMTEXT_FORWARD(find_last_not_of)
    TW_ITEMTEXT_FORWARD(Contains)
    TW_ITEMTEXT_FORWARD(StartsWith)
    TW_ITEMTEXT_FORWARD(EndsWith)
    TW_ITEMTEXT_FORWARD(IsSameAs)
    TW_ITEMTEXT_FORWARD(CmpNoCase)
    TW_ITEMTEXT_FORWARD(BeforeFirst)
    TW_ITEMTEXT_FORWARD(BeforeLast)
    TW_ITEMTEXT_FORWARD(AfterFirst)
    TW_ITEMTEXT_FORWARD(AfterLast)
    TW_ITEMTEXT_FORWARD(Freq)
    TW_ITEMTEXT_FORWARD(Matches)
    TW_ITEMTEXT_FORWARD(IsNumber)
    TW_ITEMTEXT_FORWARD(IsAscii)
    TW_ITEMTEXT_FORWARD(IsWord)
    TW_ITEMTEXT_FORWARD(Strip)
    TW_ITEMTEXT_FORWARD(Clone)
    TW_ITEMTEXT_FORWARD(ToLong)
    TW_ITEMTEXT_FORWARD(ToULong)
    TW_ITEMTEXT_FORWARD(ToLongLong)
    TW_ITEMTEXT_FORWARD(ToULongLong)
    TW_ITEMTEXT_FORWARD(ToDouble)
    TW_ITEMTEXT_FORWARD(ToCLong)
    TW_ITEMTEXT_FORWARD(ToCULong)
    TW_ITEMTEXT_FORWARD(ToCDouble)
    TW_ITEMTEXT_FORWARD(GetChar)
    TW_ITEMTEXT_FORWARD(Last)
    TW_ITEMTEXT_FORWARD(at)
    TW_ITEMTEXT_FORWARD(ToStdString)
    TW_ITEMTEXT_FORWARD(ToStdWstring)
    TW_ITEMTEXT_FORWARD(utf8_string)
#undef TW_ITEMTEXT_FORWARD
    wxUniChar operator[](size_t index) const { return AsString()[index]; }

private:
    // A copy of the bytes, whoever owned them.
    static wxCharBuffer Owned(const wxScopedCharBuffer& b) { return wxCharBuffer(b); }

    // A block: reference count, byte count, then the UTF-8 bytes.
    struct BlockHeader {
        std::atomic<uint32_t> refs;
        uint32_t length;
    };
    static constexpr size_t kInlineMax = 7;

    bool IsBlock() const { return m_word != 0 && (m_word & 1) == 0; }
    BlockHeader* Block() const { return IsBlock() ? reinterpret_cast<BlockHeader*>(m_word) : nullptr; }
    static const char* BlockBytes(const BlockHeader* b) { return reinterpret_cast<const char*>(b + 1); }
    size_t InlineLength() const { return (m_word >> 1) & 7; }
    const char* InlineBytes() const { return reinterpret_cast<const char*>(&m_word) + 1; }
    void Retain() const
    {
        if (BlockHeader* b = Block())
            b->refs.fetch_add(1, std::memory_order_relaxed);
    }
    void Release()
    {
        if (IsBlock())
            ReleaseBlock();
    }
    void ReleaseBlock();
    void Assign(const wxString& text);
    void SetBytes(const char* bytes, size_t length);

    uintptr_t m_word = 0;   // 0 empty; low bit 1: inline (length in bits 1-3); else a block
};

// Comparisons with texts of every kind.
inline bool operator==(const CItemText& a, const CItemText& b)
{
    return a.Utf8Length() == b.Utf8Length() && std::memcmp(a.Utf8Data(), b.Utf8Data(), a.Utf8Length()) == 0;
}
bool operator==(const CItemText& a, const wxString& b);
inline bool operator==(const wxString& a, const CItemText& b) { return b == a; }
inline bool operator==(const CItemText& a, const char* b) { return a == wxString(b); }
inline bool operator==(const char* a, const CItemText& b) { return b == wxString(a); }
inline bool operator==(const CItemText& a, const wchar_t* b) { return a == wxString(b); }
inline bool operator==(const wchar_t* a, const CItemText& b) { return b == wxString(a); }
inline bool operator!=(const CItemText& a, const CItemText& b) { return !(a == b); }
inline bool operator!=(const CItemText& a, const wxString& b) { return !(a == b); }
inline bool operator!=(const wxString& a, const CItemText& b) { return !(b == a); }
inline bool operator!=(const CItemText& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CItemText& b) { return !(b == a); }
inline bool operator!=(const CItemText& a, const wchar_t* b) { return !(a == b); }
inline bool operator!=(const wchar_t* a, const CItemText& b) { return !(b == a); }

#define TW_ITEMTEXT_ORDER(op)                                                                             \
    inline bool operator op(const CItemText& a, const CItemText& b) { return a.Cmp(b) op 0; }            \
    inline bool operator op(const CItemText& a, const wxString& b) { return a.Cmp(b) op 0; }             \
    inline bool operator op(const wxString& a, const CItemText& b) { return 0 op b.Cmp(a); }             \
    inline bool operator op(const CItemText& a, const char* b) { return a.Cmp(b) op 0; }                 \
    inline bool operator op(const char* a, const CItemText& b) { return 0 op b.Cmp(a); }                 \
    inline bool operator op(const CItemText& a, const wchar_t* b) { return a.Cmp(b) op 0; }              \
    inline bool operator op(const wchar_t* a, const CItemText& b) { return 0 op b.Cmp(a); }
TW_ITEMTEXT_ORDER(<)
TW_ITEMTEXT_ORDER(>)
TW_ITEMTEXT_ORDER(<=)
TW_ITEMTEXT_ORDER(>=)
#undef TW_ITEMTEXT_ORDER

// Concatenation gives a wxString.
inline wxString operator+(const CItemText& a, const CItemText& b) { return a.AsString() + b.AsString(); }
inline wxString operator+(const CItemText& a, const wxString& b) { return a.AsString() + b; }
inline wxString operator+(const wxString& a, const CItemText& b) { return a + b.AsString(); }
inline wxString operator+(const CItemText& a, const char* b) { return a.AsString() + b; }
inline wxString operator+(const char* a, const CItemText& b) { return a + b.AsString(); }
inline wxString operator+(const CItemText& a, const wchar_t* b) { return a.AsString() + b; }
inline wxString operator+(const wchar_t* a, const CItemText& b) { return a + b.AsString(); }
inline wxString operator+(const CItemText& a, wxUniChar b) { return a.AsString() + b; }
inline wxString operator+(wxUniChar a, const CItemText& b) { return a + b.AsString(); }
inline wxString operator+(const CItemText& a, char b) { return a.AsString() + b; }
inline wxString operator+(const CItemText& a, wchar_t b) { return a.AsString() + b; }
inline wxString& operator<<(wxString& s, const CItemText& t) { return s += t.AsString(); }

// Written as UTF-8.
std::ostream& operator<<(std::ostream& out, const CItemText& text);

inline void swap(CItemText& a, CItemText& b) noexcept { a.swap(b); }

template <>
struct std::hash<CItemText> {
    size_t operator()(const CItemText& text) const { return text.Hash(); }
};

// "%s" in wxString::Format, wxLogError and the like takes a CItemText.
template <>
struct wxArgNormalizerWchar<const CItemText&> {
    wxArgNormalizerWchar(const CItemText& text, const wxFormatString* fmt, unsigned index) : m_value(text.AsString())
    {
        wxASSERT_ARG_TYPE(fmt, index, wxFormatString::Arg_String);
    }
    const wchar_t* get() const { return m_value.wc_str(); }
    wxString m_value;
};
template <>
struct wxArgNormalizerWchar<CItemText> : public wxArgNormalizerWchar<const CItemText&> {
    wxArgNormalizerWchar(const CItemText& text, const wxFormatString* fmt, unsigned index)
        : wxArgNormalizerWchar<const CItemText&>(text, fmt, index)
    {
    }
};
template <>
struct wxFormatStringSpecifier<CItemText> {
    enum { value = wxFormatString::Arg_String };
};

// Equal texts share one block: while a catalogue is built, each text goes
// through Intern, which hands back the pool's copy of an equal text seen
// before. A column whose texts rarely repeat stops going through the pool
// after a trial (looking them up would only cost time and memory). Texts
// short enough to sit in the field itself are never pooled.
class CItemTextPool
{
public:
    // `column` names the source of the texts (0 .. columns-1), so that each
    // column decides on its own whether pooling pays.
    explicit CItemTextPool(size_t columns = 1);
    CItemTextPool(const CItemTextPool&) = delete;
    CItemTextPool& operator=(const CItemTextPool&) = delete;

    // The pool's text equal to these UTF-8 bytes (valid UTF-8), or a new one.
    CItemText Intern(size_t column, const char* bytes, size_t length);
    CItemText Intern(size_t column, const CItemText& text);

    size_t Size() const { return m_count; }

private:
    struct ColumnState {
        size_t lookups = 0;
        size_t hits = 0;
        bool storing = true;
    };
    size_t Find(const char* bytes, size_t length, size_t hash) const;
    void Grow();

    std::vector<CItemText> m_slots;
    std::vector<ColumnState> m_columns;
    size_t m_count = 0;
};
