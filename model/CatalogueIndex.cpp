#include "model/CatalogueIndex.h"

namespace {

const CItemText& BasicModeText()
{
    static const CItemText text(wxString(wxS("Basic Mode")));
    return text;
}

bool InBasic(const CFileInfo& item)
{
    return item.info.Category == BasicModeText();
}

} // namespace

void CCatalogueIndex::Rebuild()
{
    size_t count = 0;
    for (const CProduct& p : m_tree)
        for (const CRegion& r : p.regions)
            for (const CChartType& c : r.chartTypes)
                count += c.files.GetCount();
    // At most half full, so probe runs stay short.
    size_t size = 16;
    while (size < count * 2)
        size *= 2;
    m_slots.assign(size, nullptr);
    m_split.clear();
    const size_t mask = size - 1;
    for (CProduct& p : m_tree)
        for (CRegion& r : p.regions)
            for (CChartType& c : r.chartTypes)
                for (CFileInfo& item : c.files) {
                    const CItemText& id = item.info.FileID;
                    if (id.empty())
                        continue;
                    size_t i = id.Hash() & mask;
                    while (m_slots[i] && !(m_slots[i]->info.FileID == id))
                        i = (i + 1) & mask;
                    CFileInfo* first = m_slots[i];
                    if (!first) {
                        m_slots[i] = &item;
                        continue;
                    }
                    // A later item with the same id counts only where the
                    // first one does not: for the filter it alone answers.
                    const bool basic = InBasic(item);
                    if (basic == InBasic(*first))
                        continue;
                    Split& split = m_split[first];
                    CFileInfo*& slot = basic ? split.basic : split.other;
                    if (!slot)
                        slot = &item;
                }
    m_built = true;
    m_builtVersion = m_tree.Version();
}

bool CCatalogueIndex::EnsureBuilt()
{
    if (!m_built || m_builtVersion != m_tree.Version())
        Rebuild();
    return !m_slots.empty();
}

size_t CCatalogueIndex::SlotOf(const wxString& id) const
{
    const size_t mask = m_slots.size() - 1;
    size_t i = CItemText::HashOf(id) & mask;
    while (m_slots[i] && !(m_slots[i]->info.FileID == id))
        i = (i + 1) & mask;
    return i;
}

CFileInfo* CCatalogueIndex::Find(CFileInfo& out, const wxString& id, Filter filter)
{
    if (id.empty() || !EnsureBuilt())
        return nullptr;
    CFileInfo* first = m_slots[SlotOf(id)];
    if (!first)
        return nullptr;
    CFileInfo* found = first;
    if (filter != Filter::Any && InBasic(*first) != (filter == Filter::InsideBasic)) {
        const auto it = m_split.find(first);
        found = it == m_split.end() ? nullptr
                                    : (filter == Filter::InsideBasic ? it->second.basic : it->second.other);
    }
    if (found)
        out = *found;
    return found;
}
