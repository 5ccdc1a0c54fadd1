#include "tools/seedbuilder/CsvReader.h"

#include <wx/ffile.h>
#include <wx/strconv.h>

int CsvTable::ColumnIndex(const wxString& name) const
{
    for (size_t i = 0; i < header.size(); ++i)
        if (header[i] == name)
            return static_cast<int>(i);
    return -1;
}

bool ParseCsv(const wxString& text, CsvTable& out, wxString& error)
{
    out = CsvTable();
    std::vector<wxString> record;
    wxString field;
    bool inQuotes = false;
    bool fieldQuoted = false;
    bool atRecordStart = true;
    int line = 1;
    int recordLine = 1;

    auto endRecord = [&]() -> bool {
        record.push_back(field);
        field.clear();
        fieldQuoted = false;
        if (out.header.empty())
        {
            out.header = record;
        }
        else
        {
            if (record.size() != out.header.size())
            {
                error.Printf("line %d: %zu fields, the header has %zu", recordLine, record.size(),
                             out.header.size());
                return false;
            }
            out.rows.push_back(record);
            out.lines.push_back(recordLine);
        }
        record.clear();
        atRecordStart = true;
        return true;
    };

    const size_t n = text.length();
    for (size_t i = 0; i < n; ++i)
    {
        const wxUniChar c = text[i];
        if (inQuotes)
        {
            if (c == '"')
            {
                if (i + 1 < n && text[i + 1] == '"')
                {
                    field += '"';
                    ++i;
                }
                else
                {
                    inQuotes = false;
                }
            }
            else
            {
                if (c == '\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (atRecordStart)
        {
            // Skip empty lines and comment lines between records.
            if (c == '\r')
                continue;
            if (c == '\n')
            {
                ++line;
                continue;
            }
            if (c == '#')
            {
                while (i < n && text[i] != '\n')
                    ++i;
                ++line;
                continue;
            }
            atRecordStart = false;
            recordLine = line;
        }
        if (c == '"')
        {
            if (!field.empty() || fieldQuoted)
            {
                error.Printf("line %d: stray double quote", line);
                return false;
            }
            inQuotes = true;
            fieldQuoted = true;
        }
        else if (c == ',')
        {
            record.push_back(field);
            field.clear();
            fieldQuoted = false;
        }
        else if (c == '\r')
        {
            // part of a CR LF line end
        }
        else if (c == '\n')
        {
            ++line;
            if (!endRecord())
                return false;
        }
        else
        {
            if (fieldQuoted)
            {
                error.Printf("line %d: text after a closing double quote", line);
                return false;
            }
            field += c;
        }
    }
    if (inQuotes)
    {
        error.Printf("line %d: unterminated quoted field", recordLine);
        return false;
    }
    if (!atRecordStart && !endRecord())
        return false;
    if (out.header.empty())
    {
        error = "no header line";
        return false;
    }
    return true;
}

bool ReadCsvFile(const wxString& path, CsvTable& out, wxString& error)
{
    wxFFile file(path, "rb");
    if (!file.IsOpened())
    {
        error = "cannot open " + path;
        return false;
    }
    wxString text;
    if (!file.ReadAll(&text, wxConvUTF8))
    {
        error = "cannot read " + path + " as UTF-8";
        return false;
    }
    if (!ParseCsv(text, out, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}
