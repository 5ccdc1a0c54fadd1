// The batch text file (".rvl"): batches written out as plain text and read
// back. One file holds one or more records; each record starts and ends with
// a line "[batch]" and holds "key=value" lines in a fixed order, then two
// lines per item ("recid=[File.<id>]" and "status=<n>"). A backup wraps the
// record of batch 1 in two "[global]" lines and then lists every other batch.
//
// Files are written as UTF-8 with LF line ends; numbers always use a "." as
// the decimal point. The reader takes LF, CR LF or a lone CR as a line end and
// skips a leading byte-order mark; a line that is not well-formed UTF-8 is
// read as Latin-1, and NUL bytes are dropped.
//
// A file read from disk is untrusted: a record's name only ever becomes one
// folder name inside the download root, its combined GRIB file is kept only
// inside that folder, and a program the record would start after a download
// is kept only when the user agrees to it.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include <wx/string.h>

#include "model/Batch.h"

// Lines of a batch text file, one at a time.
class CBatchFileReader
{
public:
    // `bytes` is the whole file.
    explicit CBatchFileReader(std::string bytes);

    // Reads the next line without its line end. Returns false only when the
    // read ran into the end of the file (the line may still hold text: the
    // file's last line without a line end); a read that stopped at a line end
    // returns true.
    bool ReadLine(wxString& line);
    // A read has run into the end of the file.
    bool AtEnd() const { return m_eofSeen; }
    // Starts again from the first line.
    void Rewind();

private:
    std::string m_bytes;
    size_t m_start = 0;   // after the byte-order mark
    size_t m_pos = 0;
    bool m_eofSeen = false;
};

// A record or file that does not follow the format.
class CBatchFileFormatError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class CBatchFile
{
public:
    // --- one record
    // Appends the record of `batch` (opening "[batch]" to closing "[batch]",
    // every line ended by LF) to `out`. Line breaks inside a text value are
    // written as blanks, so every value stays on its line.
    static void Export(const CBatch& batch, wxString& out);
    // Fills `batch` from a record whose opening "[batch]" line has been read:
    // its id becomes 0, its folder the download root + "/" + the record's
    // name made into one safe folder name (created when missing), and its
    // items the catalogue items the record lists (unknown ids are skipped).
    // A combined GRIB file outside that folder is moved into it. A width
    // outside the widths an area takes (core/AreaWidth.h) is read as 0, no
    // width; a width line without a number as 30. Returns the
    // line that ended the item list: "[batch]" or the empty text. Throws
    // CBatchFileFormatError for an item line without "recid=".
    static wxString Import(CBatch& batch, CBatchFileReader& in);

    // --- whole files, on the batch store's database
    // Writes the record of batch `id` to `path`, asking before an existing
    // file is replaced. Failures are logged; false when nothing was written.
    // `declined`, when given, tells whether that was the user's answer.
    static bool ExportBatch(const wxString& path, int id, bool* declined = nullptr);
    // Writes a backup of every batch to `path` (replacing a file there).
    static bool BackupBatches(const wxString& path);
    // Told of each new batch an ordinary import stored (the Library window
    // adds it to its batches list).
    using AddedBatch = std::function<void(CBatch& batch)>;
    // Stores the records of the file. replace: the user's batches are
    // replaced (a restore: one transaction, undone when the file turns out to
    // be corrupt); hasGlobal: the file may start with batch 1's "[global]"
    // part. A record named like a reserved batch updates that batch (its
    // items become the record's items merged with the ones it has, or for a
    // restore the record's items alone); every other record becomes a new
    // batch and, unless replacing, is handed to `added` as stored.
    // A record that cannot be stored is named to the user with the reason in
    // one message box; an ordinary import goes on with the other records, a
    // restore stops and is undone. The records stored without the width they
    // wrote are named in a notice. True when every record was stored and the
    // file ended right after a record's closing line.
    static bool ImportBatchesFromFile(const wxString& path, bool replace, bool hasGlobal,
                                      const AddedBatch& added = {});

    // The folder an imported record named `name` downloads to.
    static wxString ImportedFolder(const wxString& name, long id);
    // `gribfile` when it lies inside `folder`; otherwise the same file name
    // (with a ".grb" extension) inside `folder`; empty stays empty.
    static wxString ConfineGribFile(const wxString& gribfile, const wxString& folder, const wxString& name);

    // Value readers of the format (core/Numbers.h): the int a text starts
    // with (clamped to int, 0 when there is none) and the number in fixed
    // form it starts with (false when there is none or it is not finite as a
    // float).
    static int ReadInt(const wxString& text);
    static bool ReadNumber(const wxString& text, float& value);
};
