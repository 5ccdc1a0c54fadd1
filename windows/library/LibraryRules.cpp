#include "windows/library/LibraryRules.h"

#include <algorithm>

#include <wx/datetime.h>

#include "core/Numbers.h"

namespace tw {

const char kCatalogueDragPrefix[] = "TALVO_DATAFILE_";

wxString CatalogueDragText(const wxString& fileId)
{
    return wxString(kCatalogueDragPrefix) + fileId;
}

bool ParseCatalogueDragText(const wxString& text, wxString& fileId)
{
    wxString rest;
    if (!text.StartsWith(kCatalogueDragPrefix, &rest))
        return false;
    fileId = rest;
    return true;
}

LibraryKey LibraryKeyAction(int keyCode, bool ctrlDown)
{
    switch (keyCode) {
    case 'C':
    case 'c':
        return ctrlDown ? LibraryKey::Copy : LibraryKey::Consume;
    case 'X':
    case 'x':
        return ctrlDown ? LibraryKey::Cut : LibraryKey::Consume;
    case 'V':
    case 'v':
        return ctrlDown ? LibraryKey::Paste : LibraryKey::Consume;
    case 340:   // F1
        return LibraryKey::Copy;
    case 341:   // F2
        return LibraryKey::Paste;
    case 127:   // Delete
        return LibraryKey::Delete;
    default:
        return LibraryKey::PassOn;
    }
}

LibrarySortRule LibrarySortRuleFor(bool itemsList, int column)
{
    if (column == 0)
        return LibrarySortRule::Image;
    if (itemsList && column == 6)
        return LibrarySortRule::Size;
    if (!itemsList && column == 2)
        return LibrarySortRule::Day;
    return LibrarySortRule::Text;
}

namespace {

template <typename T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

int CompareLibraryRows(const LibrarySortKey& a, const LibrarySortKey& b, LibrarySortRule rule, bool ascending)
{
    if (a.newBatchRow || b.newBatchRow)
        return Sign(b.newBatchRow, a.newBatchRow);
    int result = 0;
    switch (rule) {
    case LibrarySortRule::Image:
        result = Sign(a.image, b.image);
        break;
    case LibrarySortRule::Size:
        result = Sign(a.size, b.size);
        break;
    case LibrarySortRule::Day:
        // Ascending puts the newest first; no date is older than any date.
        result = Sign(b.day, a.day);
        break;
    case LibrarySortRule::Text:
        result = a.text.CmpNoCase(b.text);
        result = result < 0 ? -1 : (result > 0 ? 1 : 0);
        break;
    }
    return ascending ? result : -result;
}

long long LibrarySizeValue(const wxString& text)
{
    wxString digits(text);
    digits.Replace(wxS("Kb"), wxString());
    long long value = 0;
    if (ReadInteger(digits, value) == NumberRead::None)
        return 0;
    return value;
}

long long LibraryCreationDay(long long storedSeconds)
{
    if (storedSeconds < 0)
        return -1;
    const wxDateTime date(wxLongLong(storedSeconds) * 1000);
    if (!date.IsValid())
        return -1;
    const wxDateTime::Tm tm = date.GetTm(wxDateTime::Local);
    return static_cast<long long>(tm.year) * 10000 + (static_cast<int>(tm.mon) + 1) * 100 + tm.mday;
}

bool TreeClickPassesOn(bool doubleClick, TreeHitPart part, bool hasChildren)
{
    switch (part) {
    case TreeHitPart::Nowhere:
        return false;
    case TreeHitPart::Button:
        return true;
    case TreeHitPart::Icon:
    case TreeHitPart::Label:
        return doubleClick || !hasChildren;
    case TreeHitPart::Elsewhere:
        return !hasChildren;
    }
    return false;
}

FrameDims LibraryFrameSize(const std::optional<wxString>& width, const std::optional<wxString>& height,
                           FrameDims caller, FrameDims display)
{
    FrameDims size = caller;
    if (height) {
        auto stored = [](const std::optional<wxString>& text, int fallback) {
            long value = 0;
            if (!text || !ParseLong(*text, value) || value <= 0 || value > 1000000)
                return fallback;
            return static_cast<int>(value);
        };
        size.width = stored(width, caller.width);
        size.height = stored(height, caller.height);
    }
    if (display.width > 0 && display.height > 0) {
        size.width = std::min(size.width, display.width);
        size.height = std::min(size.height, display.height);
    }
    return size;
}

} // namespace tw
