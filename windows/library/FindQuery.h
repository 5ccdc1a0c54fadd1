// The product search's rules that need no window: the words of the search
// text, the statement that finds the products and the values bound into it,
// and the entries of the three choices.
#pragma once

#include <vector>

#include <wx/string.h>

namespace tw {

// The first entry of each choice: no restriction.
extern const char kSearchAll[];   // "--ALL--"

// The words of a search text: split at blanks, tabs, carriage returns and
// line feeds; runs of them count as one and give no empty words.
std::vector<wxString> SearchWords(const wxString& text);

// A word as a LIKE pattern that finds it anywhere in a text, character for
// character: "%", "_" and the escape character "\" are escaped with "\".
wxString ContainsPattern(const wxString& word);

// The longest search text taken, in words and in characters: far beyond
// any real search, and well within what the database can run.
constexpr size_t kMaxSearchWords = 200;
constexpr size_t kMaxSearchLength = 2000;
// What the user is told about a longer text.
wxString SearchTooLongText();

// The search statement and the values of its parameters, in order.
struct SearchStatement {
    wxString sql;
    std::vector<wxString> values;
    // Nothing to search by: no word and every choice at kSearchAll.
    bool empty = true;
    // The text has more than kMaxSearchWords words or kMaxSearchLength
    // characters; there is no statement.
    bool tooLong = false;
};

// The products whose Description holds any of the words (ASCII letters
// regardless of case) and whose Category, Region and ChartType equal the
// chosen names (kSearchAll: any), by Title descending. Every word and name is
// a bound parameter.
SearchStatement BuildSearchStatement(const wxString& text, const wxString& category, const wxString& region,
                                     const wxString& chartType);

// Collects the distinct names (case-sensitive) of one choice.
class ChoiceNames
{
public:
    void Add(const wxString& name);
    // kSearchAll and the names, sorted by plain character code.
    std::vector<wxString> Entries() const;

private:
    std::vector<wxString> m_sorted;
};

} // namespace tw
