#include "model/ItemText.h"

#include <cstdlib>
#include <new>
#include <ostream>

#include "platform/WireText.h"

using tw::EncodeUtf8;

namespace {

// Decodes the code point at `p` (valid UTF-8) and advances `p`.
uint32_t DecodeUtf8(const unsigned char*& p)
{
    const uint32_t b = *p++;
    if (b < 0x80)
        return b;
    if (b < 0xE0) {
        const uint32_t c = ((b & 0x1F) << 6) | (p[0] & 0x3F);
        p += 1;
        return c;
    }
    if (b < 0xF0) {
        const uint32_t c = ((b & 0x0F) << 12) | ((p[0] & 0x3Fu) << 6) | (p[1] & 0x3F);
        p += 2;
        return c;
    }
    const uint32_t c = ((b & 0x07) << 18) | ((p[0] & 0x3Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3F);
    p += 3;
    return c;
}

// A code unit of a wxString as a code point (wchar_t holds whole code
// points on this platform).
inline uint32_t CodePoint(wchar_t c)
{
    const uint32_t v = static_cast<uint32_t>(c);
    return v <= 0x10FFFF ? v : 0xFFFD;
}

// A word-at-a-time hash of a byte string (the multiply-and-fold mix of
// the well-known fast string hashes); short ids and titles hash in a few
// steps instead of one multiply per byte.
inline uint64_t Mix(uint64_t a, uint64_t b)
{
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(r) ^ static_cast<uint64_t>(r >> 64);
}

constexpr uint64_t kHashSeed = 0x9E3779B97F4A7C15ULL;
constexpr uint64_t kHashK1 = 0xA0761D6478BD642FULL;
constexpr uint64_t kHashK2 = 0xE7037ED1A0B428DBULL;

inline uint64_t Load64(const unsigned char* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline uint64_t LoadTail(const unsigned char* p, size_t n)
{
    uint64_t v = 0;
    std::memcpy(&v, p, n);
    return v;
}

} // namespace

bool CItemText::IsValidUTF8(const char* bytes, size_t length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char* end = p + length;
    while (p < end) {
        // Eight plain ASCII bytes at a time.
        if (end - p >= 8 && (Load64(p) & 0x8080808080808080ULL) == 0) {
            p += 8;
            continue;
        }
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        size_t extra;
        uint32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - p) <= extra)
            return false;
        for (size_t i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond U+10FFFF.
        if ((extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

CItemText CItemText::FromUTF8(const char* bytes, size_t length)
{
    CItemText t;
    t.SetBytes(bytes, length);
    return t;
}

void CItemText::SetBytes(const char* bytes, size_t length)
{
    Release();
    m_word = 0;
    if (length == 0)
        return;
    if (length <= kInlineMax) {
        uintptr_t word = (static_cast<uintptr_t>(length) << 1) | 1;
        std::memcpy(reinterpret_cast<char*>(&word) + 1, bytes, length);
        m_word = word;
        return;
    }
    void* memory = std::malloc(sizeof(BlockHeader) + length);
    if (!memory)
        throw std::bad_alloc();
    BlockHeader* b = new (memory) BlockHeader;
    b->refs.store(1, std::memory_order_relaxed);
    b->length = static_cast<uint32_t>(length);
    std::memcpy(reinterpret_cast<char*>(b + 1), bytes, length);
    m_word = reinterpret_cast<uintptr_t>(b);
}

void CItemText::Assign(const wxString& text)
{
    const size_t n = text.length();
    if (n == 0) {
        SetBytes(nullptr, 0);
        return;
    }
    // Encoded by hand (faster than a general conversion); a lone surrogate
    // is kept as its three bytes so that the text reads back unchanged.
    const wchar_t* w = text.wc_str();
    unsigned char small[64];
    std::vector<unsigned char> large;
    unsigned char* out = small;
    if (n * 4 > sizeof small) {
        large.resize(n * 4);
        out = large.data();
    }
    size_t used = 0;
    for (size_t i = 0; i < n; ++i)
        used += EncodeUtf8(CodePoint(w[i]), out + used);
    SetBytes(reinterpret_cast<const char*>(out), used);
}

void CItemText::ReleaseBlock()
{
    BlockHeader* b = Block();
    if (b->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        b->~BlockHeader();
        std::free(b);
    }
}

wxString CItemText::AsString() const
{
    const size_t n = Utf8Length();
    if (n == 0)
        return wxString();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(Utf8Data());
    const unsigned char* end = p + n;
    wchar_t small[64];
    std::vector<wchar_t> large;
    wchar_t* out = small;
    if (n > sizeof small / sizeof small[0]) {
        large.resize(n);
        out = large.data();
    }
    size_t count = 0;
    while (p < end)
        out[count++] = static_cast<wchar_t>(DecodeUtf8(p));
    return wxString(out, count);
}

size_t CItemText::length() const
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(Utf8Data());
    const size_t n = Utf8Length();
    size_t count = 0;
    for (size_t i = 0; i < n; ++i)
        count += (p[i] & 0xC0) != 0x80;
    return count;
}

size_t CItemText::HeapBytes() const
{
    const BlockHeader* b = Block();
    return b ? sizeof(BlockHeader) + b->length : 0;
}

int CItemText::Cmp(const CItemText& other) const
{
    // UTF-8 byte order is code point order, which is wxString's order here.
    const size_t a = Utf8Length();
    const size_t b = other.Utf8Length();
    const int c = std::memcmp(Utf8Data(), other.Utf8Data(), a < b ? a : b);
    if (c != 0)
        return c < 0 ? -1 : 1;
    return a == b ? 0 : (a < b ? -1 : 1);
}

int CItemText::Cmp(const wxString& other) const
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(Utf8Data());
    const unsigned char* end = p + Utf8Length();
    const wchar_t* w = other.wc_str();
    const size_t n = other.length();
    size_t i = 0;
    while (p < end && i < n) {
        const uint32_t a = DecodeUtf8(p);
        const uint32_t b = CodePoint(w[i++]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (p < end)
        return 1;
    return i < n ? -1 : 0;
}

bool operator==(const CItemText& a, const wxString& b)
{
    // Cheap rejections first: at least one byte and at most four per character.
    const size_t bytes = a.Utf8Length();
    const size_t chars = b.length();
    if (chars > bytes || bytes > chars * 4)
        return false;
    return a.Cmp(b) == 0;
}

size_t CItemText::HashBytes(const char* bytes, size_t length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    uint64_t h = kHashSeed ^ Mix(length, kHashK1);
    size_t n = length;
    while (n >= 8) {
        h = Mix(h ^ Load64(p), kHashK1);
        p += 8;
        n -= 8;
    }
    if (n)
        h = Mix(h ^ LoadTail(p, n), kHashK2);
    return static_cast<size_t>(Mix(h, kHashK2));
}

size_t CItemText::HashOf(const wxString& text)
{
    // The same bytes the stored text holds, hashed the same way.
    const size_t n = text.length();
    if (n == 0)
        return HashBytes("", 0);
    const wchar_t* w = text.wc_str();
    unsigned char small[256];
    std::vector<unsigned char> large;
    unsigned char* out = small;
    if (n * 4 > sizeof small) {
        large.resize(n * 4);
        out = large.data();
    }
    size_t used = 0;
    for (size_t i = 0; i < n; ++i)
        used += EncodeUtf8(CodePoint(w[i]), out + used);
    return HashBytes(reinterpret_cast<const char*>(out), used);
}

std::ostream& operator<<(std::ostream& out, const CItemText& text)
{
    return out.write(text.Utf8Data(), static_cast<std::streamsize>(text.Utf8Length()));
}

// ---------------------------------------------------------------- pool

namespace {

// Lookups a column gets before it must show that pooling pays, and the
// share of repeats it needs.
constexpr size_t kTrialLookups = 2048;
constexpr size_t kMinHitsPerTrial = kTrialLookups / 8;

} // namespace

CItemTextPool::CItemTextPool(size_t columns) : m_columns(columns ? columns : 1)
{
    m_slots.resize(1024);
}

size_t CItemTextPool::Find(const char* bytes, size_t length, size_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (true) {
        const CItemText& s = m_slots[i];
        if (s.empty() || (s.Utf8Length() == length && std::memcmp(s.Utf8Data(), bytes, length) == 0))
            return i;
        i = (i + 1) & mask;
    }
}

void CItemTextPool::Grow()
{
    std::vector<CItemText> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (CItemText& t : old)
        if (!t.empty())
            m_slots[Find(t.Utf8Data(), t.Utf8Length(), t.Hash())] = std::move(t);
}

CItemText CItemTextPool::Intern(size_t column, const char* bytes, size_t length)
{
    if (length <= 7)
        return CItemText::FromUTF8(bytes, length);
    ColumnState& state = m_columns[column < m_columns.size() ? column : m_columns.size() - 1];
    if (!state.storing)
        return CItemText::FromUTF8(bytes, length);
    if (++state.lookups == kTrialLookups)
        state.storing = state.hits >= kMinHitsPerTrial;
    const size_t slot = Find(bytes, length, CItemText::HashBytes(bytes, length));
    if (!m_slots[slot].empty()) {
        ++state.hits;
        return m_slots[slot];
    }
    CItemText text = CItemText::FromUTF8(bytes, length);
    if (state.storing) {
        m_slots[slot] = text;
        if (++m_count * 2 > m_slots.size())
            Grow();
    }
    return text;
}

CItemText CItemTextPool::Intern(size_t column, const CItemText& text)
{
    if (text.IsInline() || text.empty())
        return text;
    return Intern(column, text.Utf8Data(), text.Utf8Length());
}
