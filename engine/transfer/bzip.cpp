#include "engine/transfer/bzip.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr size_t kBlock = 1 << 20;

std::string ErrnoText(int err)
{
    return std::strerror(err);
}

// Writes all of [data, data + size); false with errno set on failure.
bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

CBZip::CBZip()
{
    std::memset(&m_stream, 0, sizeof m_stream);
}

CBZip::~CBZip()
{
    CloseHandles();
}

void CBZip::CloseHandles()
{
    if (m_streamOpen) {
        BZ2_bzDecompressEnd(&m_stream);
        m_streamOpen = false;
    }
    if (m_in >= 0) {
        ::close(m_in);
        m_in = -1;
    }
    if (m_out >= 0) {
        ::close(m_out);
        m_out = -1;
    }
}

bool CBZip::Fail(const std::string& text)
{
    m_error = text;
    CloseHandles();
    return false;
}

bool CBZip::Decompress(const char* source, const char* destination)
{
    CloseHandles();
    m_error.clear();
    m_writeFailed = false;

    m_out = ::open(destination, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_out < 0) {
        m_writeFailed = true;
        return Fail(std::string("Cannot open '") + destination + "' for writing: " + ErrnoText(errno));
    }
    m_in = ::open(source, O_RDONLY | O_CLOEXEC);
    if (m_in < 0)
        return Fail(std::string("Cannot open '") + source + "': " + ErrnoText(errno));

    std::vector<char> in(kBlock);
    std::vector<char> out(kBlock);
    bool atEof = false;
    unsigned streams = 0;
    std::memset(&m_stream, 0, sizeof m_stream);

    for (;;) {
        if (m_stream.avail_in == 0 && !atEof) {
            ssize_t n;
            do {
                n = ::read(m_in, in.data(), in.size());
            } while (n < 0 && errno == EINTR);
            if (n < 0)
                return Fail(std::string("Read error on '") + source + "': " + ErrnoText(errno));
            if (n == 0) {
                atEof = true;
            } else {
                m_stream.next_in = in.data();
                m_stream.avail_in = static_cast<unsigned>(n);
            }
        }

        if (!m_streamOpen) {
            if (m_stream.avail_in == 0 && atEof)
                break;   // every stream ended exactly at the end of the file
            char* nextIn = m_stream.next_in;
            unsigned availIn = m_stream.avail_in;
            std::memset(&m_stream, 0, sizeof m_stream);
            m_stream.next_in = nextIn;
            m_stream.avail_in = availIn;
            if (BZ2_bzDecompressInit(&m_stream, 0, 0) != BZ_OK)
                return Fail("Cannot start bzip2 decompression.");
            m_streamOpen = true;
        }

        m_stream.next_out = out.data();
        m_stream.avail_out = static_cast<unsigned>(out.size());
        int rc = BZ2_bzDecompress(&m_stream);
        size_t produced = out.size() - m_stream.avail_out;
        if (rc != BZ_OK && rc != BZ_STREAM_END) {
            if (streams > 0 && rc == BZ_DATA_ERROR_MAGIC)
                return Fail(std::string("'") + source + "' has trailing data after its bzip2 data.");
            return Fail(std::string("'") + source + "' is not valid bzip2 data (error " + std::to_string(rc) + ").");
        }
        if (produced > 0 && !WriteAll(m_out, out.data(), produced)) {
            m_writeFailed = true;
            return Fail(std::string("Write error on '") + destination + "': " + ErrnoText(errno));
        }
        if (rc == BZ_STREAM_END) {
            BZ2_bzDecompressEnd(&m_stream);
            m_streamOpen = false;
            ++streams;
            continue;
        }
        // The decompressor wants more input, and there is none.
        if (m_stream.avail_in == 0 && atEof && m_stream.avail_out != 0)
            return Fail(std::string("'") + source + "' ends unexpectedly (truncated bzip2 data).");
    }

    if (streams == 0)
        return Fail(std::string("'") + source + "' holds no bzip2 data.");
    ::close(m_in);
    m_in = -1;
    int fd = m_out;
    m_out = -1;
    if (::close(fd) != 0) {
        m_writeFailed = true;
        return Fail(std::string("Write error on '") + destination + "': " + ErrnoText(errno));
    }
    return true;
}
