// Whole-file bzip2 decompression: several streams, damaged input and
// destinations that cannot be written.
#include <gtest/gtest.h>

#include <bzlib.h>

#include "support/GatewaySim.h"
#include "support/TestSupport.h"
#include "engine/transfer/bzip.h"

using tw::test::ReadFile;
using tw::test::SampleBytes;
using tw::test::WriteFile;

namespace {

std::string Compress(const std::string& plain)
{
    std::string out(plain.size() + plain.size() / 100 + 601, '\0');
    unsigned size = static_cast<unsigned>(out.size());
    int rc = BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(plain.data()),
                                      static_cast<unsigned>(plain.size()), 9, 0, 0);
    EXPECT_EQ(rc, BZ_OK);
    out.resize(size);
    return out;
}

TEST(BZipDecompress, Inputs)
{
    const std::string first = SampleBytes(300000, 1) + std::string(500000, 'a');
    const std::string second = "second part\n" + SampleBytes(1000, 2);
    const std::string one = Compress(first);
    const std::string two = Compress(second);

    struct Case {
        const char* name;
        std::string source;
        bool ok;
        std::string output;   // when ok
    };
    const Case cases[] = {
        {"one stream", one, true, first},
        {"two streams one after the other", one + two, true, first + second},
        {"an empty stream", Compress(""), true, ""},
        {"empty file", "", false, ""},
        {"truncated", one.substr(0, one.size() / 2), false, ""},
        {"trailing bytes", one + "garbage", false, ""},
        {"second stream truncated", one + two.substr(0, two.size() - 5), false, ""},
        {"not bzip2", "plain text, not compressed", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::TempDir dir;
        wxString src = dir / "in.bz2";
        wxString dst = dir / "out";
        WriteFile(src, c.source);
        CBZip bz;
        bool ok = bz.Decompress(src.fn_str(), dst.fn_str());
        EXPECT_EQ(ok, c.ok) << bz.LastError();
        EXPECT_FALSE(bz.WriteFailed());
        if (c.ok) {
            EXPECT_EQ(ReadFile(dst), c.output);
            EXPECT_TRUE(bz.LastError().empty());
        } else {
            EXPECT_FALSE(bz.LastError().empty());
        }
    }
}

TEST(BZipDecompress, UnreadableSourceAndUnwritableDestination)
{
    tw::test::TempDir dir;
    CBZip bz;
    EXPECT_FALSE(bz.Decompress((dir / "missing.bz2").fn_str(), (dir / "out").fn_str()));
    EXPECT_FALSE(bz.WriteFailed());

    wxString src = dir / "in.bz2";
    WriteFile(src, Compress("payload"));
    EXPECT_FALSE(bz.Decompress(src.fn_str(), (dir / "no such folder/out").fn_str()));
    EXPECT_TRUE(bz.WriteFailed());
    EXPECT_NE(bz.LastError().find("for writing"), std::string::npos) << bz.LastError();

    // The same object works again afterwards.
    EXPECT_TRUE(bz.Decompress(src.fn_str(), (dir / "out").fn_str()));
    EXPECT_EQ(ReadFile(dir / "out"), "payload");
}

} // namespace
