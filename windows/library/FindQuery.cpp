#include "windows/library/FindQuery.h"

#include <algorithm>

namespace tw {

const char kSearchAll[] = "--ALL--";

wxString SearchTooLongText()
{
    return wxString::Format("The search text is too long: use at most %d words and %d characters.",
                            static_cast<int>(kMaxSearchWords), static_cast<int>(kMaxSearchLength));
}

std::vector<wxString> SearchWords(const wxString& text)
{
    std::vector<wxString> words;
    wxString word;
    for (wxUniChar c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

wxString ContainsPattern(const wxString& word)
{
    wxString pattern(wxS("%"));
    for (wxUniChar c : word) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += wxS('\\');
        pattern += c;
    }
    pattern += wxS('%');
    return pattern;
}

SearchStatement BuildSearchStatement(const wxString& text, const wxString& category, const wxString& region,
                                     const wxString& chartType)
{
    SearchStatement statement;
    wxString where;
    const std::vector<wxString> words = SearchWords(text);
    if (words.size() > kMaxSearchWords || text.length() > kMaxSearchLength) {
        statement.empty = false;
        statement.tooLong = true;
        return statement;
    }
    if (!words.empty()) {
        where += wxS("(");
        for (size_t i = 0; i < words.size(); ++i) {
            if (i)
                where += wxS(" OR ");
            where += wxS("Description LIKE ? ESCAPE '\\'");
            statement.values.push_back(ContainsPattern(words[i]));
        }
        where += wxS(")");
    }
    const struct {
        const char* column;
        const wxString& chosen;
    } choices[] = {{"Category", category}, {"Region", region}, {"ChartType", chartType}};
    for (const auto& choice : choices) {
        if (choice.chosen == kSearchAll)
            continue;
        if (!where.empty())
            where += wxS(" AND ");
        where += wxString(choice.column) + wxS("=?");
        statement.values.push_back(choice.chosen);
    }
    statement.empty = where.empty();
    if (statement.empty)
        return statement;
    statement.sql = wxS("SELECT Title,Category,Region,ChartType,Description,FileID FROM products WHERE ") + where +
                    wxS(" ORDER BY Title DESC");
    return statement;
}

void ChoiceNames::Add(const wxString& name)
{
    const auto at = std::lower_bound(m_sorted.begin(), m_sorted.end(), name);
    if (at != m_sorted.end() && *at == name)
        return;
    m_sorted.insert(at, name);
}

std::vector<wxString> ChoiceNames::Entries() const
{
    std::vector<wxString> entries = m_sorted;
    const wxString all(kSearchAll);
    const auto at = std::lower_bound(entries.begin(), entries.end(), all);
    if (at == entries.end() || *at != all)
        entries.insert(at, all);
    return entries;
}

} // namespace tw
