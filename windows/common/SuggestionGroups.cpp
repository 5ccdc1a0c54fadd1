#include "windows/common/SuggestionGroups.h"

#include <utility>

namespace tw {

void CSuggestionGroups::Add(const wxString& category, const wxString& chartType, SuggestionLeaf leaf)
{
    auto cat = m_categoryIndex.find(category);
    if (cat == m_categoryIndex.end()) {
        cat = m_categoryIndex.emplace(category, m_categories.size()).first;
        m_categories.push_back(SuggestionCategory {category, {}});
        m_chartTypeIndex.emplace_back();
    }
    SuggestionCategory& group = m_categories[cat->second];
    auto& types = m_chartTypeIndex[cat->second];
    auto type = types.find(chartType);
    if (type == types.end()) {
        type = types.emplace(chartType, group.chartTypes.size()).first;
        group.chartTypes.push_back(SuggestionChartType {chartType, {}});
    }
    group.chartTypes[type->second].leaves.push_back(std::move(leaf));
    ++m_leaves;
}

wxString CategoryRecordId(const wxString& category)
{
    return wxS("_cat:") + category;
}

wxString ChartTypeRecordId(const wxString& chartType)
{
    return wxS("type:") + chartType;
}

wxString GroupName(const wxString& recordId)
{
    return recordId.Mid(5);
}

} // namespace tw
