#include "catalogue/CatalogueIndex.h"

namespace {

const wxString kBasicMode = wxS("Basic Mode");

} // namespace

void CCatalogueIndex::Rebuild()
{
    m_index.clear();
    size_t count = 0;
    for (const CProduct& p : m_tree)
        for (const CRegion& r : p.regions)
            for (const CChartType& c : r.chartTypes)
                count += c.files.GetCount();
    m_index.reserve(count);
    for (CProduct& p : m_tree)
        for (CRegion& r : p.regions)
            for (CChartType& c : r.chartTypes)
                for (CFileInfo& item : c.files) {
                    if (item.info.FileID.empty())
                        continue;
                    Entry& e = m_index[item.info.FileID];
                    if (!e.first)
                        e.first = &item;
                    CFileInfo*& filtered = item.info.Category == kBasicMode ? e.firstBasic : e.firstOther;
                    if (!filtered)
                        filtered = &item;
                }
    m_built = true;
    m_builtVersion = m_tree.Version();
}

CFileInfo* CCatalogueIndex::Find(CFileInfo& out, const wxString& id, Filter filter)
{
    if (id.empty())
        return nullptr;
    if (!m_built || m_builtVersion != m_tree.Version())
        Rebuild();
    auto it = m_index.find(id);
    if (it == m_index.end())
        return nullptr;
    CFileInfo* found = nullptr;
    switch (filter) {
    case Filter::Any: found = it->second.first; break;
    case Filter::OutsideBasic: found = it->second.firstOther; break;
    case Filter::InsideBasic: found = it->second.firstBasic; break;
    }
    if (found)
        out = *found;
    return found;
}
