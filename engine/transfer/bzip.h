// Whole-file bzip2 decompression of received files.
#pragma once

#include <string>

#include <bzlib.h>

// Decompresses a bzip2 file into another file. A file made of several
// bzip2 streams one after the other (as the bzip2 tool writes for
// concatenated input) decompresses whole. Every read and write is checked:
// a corrupt or truncated source, trailing bytes that are no bzip2 stream,
// or a destination that cannot be written all give false, with the reason
// in LastError().
class CBZip
{
public:
    CBZip();
    virtual ~CBZip();

    CBZip(const CBZip&) = delete;
    CBZip& operator=(const CBZip&) = delete;

    bool Decompress(const char* source, const char* destination);

    // Why the last Decompress failed (empty after a success).
    const std::string& LastError() const { return m_error; }
    // The last Decompress failed because the destination could not be
    // written (the source may be fine).
    bool WriteFailed() const { return m_writeFailed; }

private:
    bool Fail(const std::string& text);
    void CloseHandles();

    bz_stream m_stream;       // the bzip2 input state
    bool m_streamOpen = false;
    int m_in = -1;            // source file
    int m_out = -1;           // destination file
    std::string m_error;
    bool m_writeFailed = false;
};
