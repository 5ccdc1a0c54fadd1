// The Library window's rules that need no window: the drag text of a
// catalogue item, what a key does in the lists, how rows sort, which clicks
// the catalogue tree sees, and the size the frame opens with.
#pragma once

#include <optional>

#include <wx/string.h>

namespace tw {

// ---------------------------------------------------------------- drag text

// What a drag of a catalogue item carries: this prefix and the item's file id.
extern const char kCatalogueDragPrefix[];   // "TALVO_DATAFILE_"
wxString CatalogueDragText(const wxString& fileId);
// True when `text` is a catalogue drag text; `fileId` then gets what follows
// the prefix (empty for an item whose id the race edition blanked).
bool ParseCatalogueDragText(const wxString& text, wxString& fileId);

// ---------------------------------------------------------------- keys

// What a key pressed in one of the lists (or posted by a menu command) does.
enum class LibraryKey {
    PassOn,     // not ours: the list's own handling
    Consume,    // ours, but nothing to do (a letter without Ctrl)
    Copy,
    Cut,        // copy, then delete
    Delete,
    Paste,
};
LibraryKey LibraryKeyAction(int keyCode, bool ctrlDown);

// ---------------------------------------------------------------- sorting

// How a column is compared.
enum class LibrarySortRule {
    Image,   // the image number (the check box, the enabled folder)
    Size,    // "<n>Kb" as a number
    Day,     // creation date, by day; newest first when ascending
    Text,    // case-insensitive text
};
// The rule of a column: `itemsList` picks the items list's table, else the
// batches list's.
LibrarySortRule LibrarySortRuleFor(bool itemsList, int column);

// What a row is sorted by, taken once from the row (and the store) before
// sorting.
struct LibrarySortKey {
    bool newBatchRow = false;   // the "New Batch" row: always first
    int image = 0;
    long long size = 0;         // Size rule
    long long day = -1;         // Day rule: yyyymmdd of the local date; -1 none (earlier than every date)
    wxString text;              // Text rule
};
// Negative when `a` goes before `b`. The "New Batch" row goes first in both
// directions; equal keys are equal; descending reverses the other rules.
int CompareLibraryRows(const LibrarySortKey& a, const LibrarySortKey& b, LibrarySortRule rule, bool ascending);
// The number in a Size column text: every "Kb" removed, then the leading
// integer (0 when there is none).
long long LibrarySizeValue(const wxString& text);
// The local calendar day of a stored creation date (seconds since 1970
// UTC) as yyyymmdd; -1 for a negative value (no date).
long long LibraryCreationDay(long long storedSeconds);

// ---------------------------------------------------------------- tree clicks

// Where a press or double click on the catalogue tree lands.
enum class TreeHitPart {
    Nowhere,    // no item
    Button,     // the expand button
    Icon,
    Label,
    Elsewhere,  // on the item's line but beside button, icon and label
};
// Whether the tree itself sees the click: a single click on a node with
// children only works on its button, so it neither selects nor drags it; a
// double click works on its button, icon and label, so the tree opens it.
bool TreeClickPassesOn(bool doubleClick, TreeHitPart part, bool hasChildren);

// ---------------------------------------------------------------- frame size

struct FrameDims {
    int width = 0;
    int height = 0;
};
// The size the Library window opens with, from the stored General/Width and
// General/Height texts (nullopt: the key is absent). Without a stored height
// the caller's size is used; a stored dimension that is not a whole number
// above 0 is replaced by the caller's. The result is kept within `display`
// (ignored when it has no area).
FrameDims LibraryFrameSize(const std::optional<wxString>& width, const std::optional<wxString>& height,
                           FrameDims caller, FrameDims display);

} // namespace tw
