// Lookups of catalogue items by file id over a catalogue tree owned by
// someone else (the application object owns the program's one catalogue).
// The index is built on first use and rebuilt whenever the tree has changed
// since, so a lookup never returns an item that is gone.
#pragma once

#include <unordered_map>

#include <wx/string.h>

#include "catalogue/FileInfo.h"

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
    // null; on a match `out` gets a copy of it. An empty id finds nothing.
    CFileInfo* Find(CFileInfo& out, const wxString& id, Filter filter = Filter::Any);

    // Builds the index now.
    void Rebuild();

    CProductTypeArray& Tree() { return m_tree; }

private:
    struct Entry {
        CFileInfo* first = nullptr;       // first item with the id
        CFileInfo* firstBasic = nullptr;  // first one in "Basic Mode"
        CFileInfo* firstOther = nullptr;  // first one outside it
    };

    CProductTypeArray& m_tree;
    std::unordered_map<wxString, Entry> m_index;
    bool m_built = false;
    unsigned long m_builtVersion = 0;
};
