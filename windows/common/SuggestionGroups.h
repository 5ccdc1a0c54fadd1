// The shape of a suggestions tree: the items of the Wizard batch grouped by
// category and, within a category, by chart type. Categories come in the
// order of their first item, chart types within a category in the order of
// their first item there, items in the order they were added; names are
// compared exactly (case included). Nothing is sorted.
#pragma once

#include <unordered_map>
#include <vector>

#include <wx/string.h>

namespace tw {

struct SuggestionLeaf {
    wxString label;
    wxString recordId;   // the item's file id
    bool checked = false;
};

struct SuggestionChartType {
    wxString name;
    std::vector<SuggestionLeaf> leaves;
};

struct SuggestionCategory {
    wxString name;
    std::vector<SuggestionChartType> chartTypes;
};

class CSuggestionGroups
{
public:
    void Add(const wxString& category, const wxString& chartType, SuggestionLeaf leaf);
    const std::vector<SuggestionCategory>& Categories() const { return m_categories; }
    size_t LeafCount() const { return m_leaves; }

private:
    std::vector<SuggestionCategory> m_categories;
    std::unordered_map<wxString, size_t> m_categoryIndex;
    // Per category: chart type name -> index in its chartTypes.
    std::vector<std::unordered_map<wxString, size_t>> m_chartTypeIndex;
    size_t m_leaves = 0;
};

// The record ids of grouping nodes.
wxString CategoryRecordId(const wxString& category);    // "_cat:" + category
wxString ChartTypeRecordId(const wxString& chartType);  // "type:" + chartType
// The name a grouping node's record id carries (without its five-character prefix).
wxString GroupName(const wxString& recordId);

} // namespace tw
