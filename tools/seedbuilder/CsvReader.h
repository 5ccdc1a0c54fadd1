#pragma once

#include <wx/string.h>

#include <vector>

// A comma-separated file: the first record names the columns. Fields may be
// quoted with double quotes (a doubled quote inside stands for one); quoted
// fields may hold commas and line breaks. Empty lines and lines whose first
// character is '#' are skipped. The file is read as UTF-8.
struct CsvTable
{
    std::vector<wxString> header;
    std::vector<std::vector<wxString>> rows;
    std::vector<int> lines; // source line of each row, for messages

    int ColumnIndex(const wxString& name) const;
};

// Parses text; on a format fault returns false with a message in error.
bool ParseCsv(const wxString& text, CsvTable& out, wxString& error);

// Reads and parses a file.
bool ReadCsvFile(const wxString& path, CsvTable& out, wxString& error);
