// Lookups of catalogue items by file id over a catalogue tree owned by
// someone else (the application object owns the program's one catalogue).
// The index is built on first use and rebuilt whenever the tree has changed
// since, so a lookup never returns an item that is gone. A lookup answers
// from the index alone: an id the index does not hold is in no item of the
// tree, so there is nothing to walk for.
//
// The index is one open-addressing table of pointers to the items (the
// first item of each id), about two words per item; the rare ids held by
// items both inside and outside the category "Basic Mode" keep a second
// entry for the filtered lookups.
#pragma once

#include <unordered_map>
#include <vector>

#include <wx/string.h>

#include "model/FileInfo.h"

class CCatalogueIndex
{
public:
    explicit CCatalogueIndex(CProductTypeArray& tree) : m_tree(tree) {}
    CCatalogueIndex(const CCatalogueIndex&) = delete;
    CCatalogueIndex& operator=(const CCatalogueIndex&) = delete;

    // Which items count: every item, only items outside the category "Basic
    // Mode", or only items inside it.
    enum class Filter { Any, OutsideBasic, InsideBasic };

    // The tree's own item with this file id (the first in walk order:
    // category, region, chart type, item) among those the filter counts, or
    // null; on a match `out` gets a copy of it. An empty id finds nothing;
    // ids compare exactly (letter case counts).
    CFileInfo* Find(CFileInfo& out, const wxString& id, Filter filter = Filter::Any);

    // Builds the index now.
    void Rebuild();

    CProductTypeArray& Tree() { return m_tree; }

private:
    // The first item inside and the first outside "Basic Mode" for an id
    // whose first item answers only one of the two filtered lookups.
    struct Split {
        CFileInfo* basic = nullptr;
        CFileInfo* other = nullptr;
    };

    bool EnsureBuilt();
    size_t SlotOf(const wxString& id) const;

    CProductTypeArray& m_tree;
    std::vector<CFileInfo*> m_slots;   // size a power of two; null = free
    std::unordered_map<const CFileInfo*, Split> m_split;
    bool m_built = false;
    unsigned long m_builtVersion = 0;
};
