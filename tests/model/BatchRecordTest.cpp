// Batch records, active-file lists and the transfer list.
#include <gtest/gtest.h>

#include "model/Batch.h"
#include "model/FileList.h"
#include "tests/model/BatchFixtures.h"

using namespace tw::test;

namespace {

CBatch BatchWith(const wxString& folder, std::initializer_list<std::pair<const char*, int>> items)
{
    CBatch b;
    b.info.folder = folder;
    b.info.application = "/apps/" + folder;
    b.info.runstat = 3;
    b.info.bInteractive = 1;
    b.info.width = 10.0f;
    b.info.lat = 1.5f;
    b.info.lon = -2.5f;
    for (const auto& [id, status] : items)
        b.items.Add(MakeItem(id, wxString("srv/") + id, "1.00", "10", "20", status));
    return b;
}

std::vector<wxString> Ids(const CActiveFileList& list)
{
    std::vector<wxString> ids;
    for (const CActiveFile& f : list.files)
        ids.push_back(f.FileID + "@" + f.folder);
    return ids;
}

} // namespace

TEST(BatchRecord, ActiveFilesAreTheSelectedItemsAfterWhatTheListHeld)
{
    const CBatch first = BatchWith("one", {{"A", 1}, {"B", 0}, {"C", 2}, {"D", -1}});
    const CBatch second = BatchWith("two", {{"A", 1}, {"E", 0}});
    const CBatch none = BatchWith("three", {{"F", 0}});

    CActiveFileList list;
    first.GetActiveFiles(list);
    none.GetActiveFiles(list);
    second.GetActiveFiles(list);
    EXPECT_EQ(Ids(list), (std::vector<wxString>{"A@one", "C@one", "D@one", "A@two"}));

    const CActiveFile& a = list[0];
    EXPECT_EQ(a.Path, "srv/A");
    EXPECT_EQ(a.application, "/apps/one");
    EXPECT_EQ(a.runstat, 3);
    EXPECT_EQ(a.bInteractive, 1);
    EXPECT_EQ(a.lon, -2.5f);
    EXPECT_TRUE(a.LocalPath.empty());
}

TEST(BatchRecord, CopiesOwnTheirItems)
{
    CBatch source = BatchWith("one", {{"A", 1}, {"B", 0}});
    source.info.title = "Source";
    CBatch copy(source);
    copy.items[0].info.status = 0;
    copy.info.title = "Copy";
    EXPECT_EQ(source.items[0].info.status, 1);
    EXPECT_EQ(source.info.title, "Source");

    CBatch assigned = BatchWith("x", {{"Z", 1}, {"Y", 1}, {"X", 1}});
    assigned = source;
    ASSERT_EQ(assigned.items.GetCount(), 2u);
    EXPECT_EQ(assigned.items[1].info.FileID, "B");
    assigned = assigned;
    EXPECT_EQ(assigned.items.GetCount(), 2u);
}

TEST(BatchRecord, ActiveFileListAppendAndCopy)
{
    CActiveFileList a;
    BatchWith("one", {{"A", 1}, {"B", 1}}).GetActiveFiles(a);
    CActiveFileList empty;
    a.Append(empty);
    EXPECT_EQ(a.GetCount(), 2u);

    CActiveFileList b;
    BatchWith("two", {{"C", 1}}).GetActiveFiles(b);
    b.Append(a);
    EXPECT_EQ(Ids(b), (std::vector<wxString>{"C@two", "A@one", "B@one"}));
    a.Append(a);
    EXPECT_EQ(Ids(a), (std::vector<wxString>{"A@one", "B@one", "A@one", "B@one"}));

    CActiveFileList copy(b);
    copy[0].LocalPath = "/dl/C";
    EXPECT_TRUE(b[0].LocalPath.empty());
    copy = a;
    EXPECT_EQ(copy.GetCount(), 4u);
}

TEST(TransferList, ClearedListHasNothing)
{
    CFileList list;
    list.Add("a", "/d/tmp/a", "/d/a", "a", "bz2", "1.5", true, 15, 47.5f, -122.3f);
    list.compressedSize = 10;
    list.rawSize = 20;
    list.price = 3.5;
    list.xferMode = 2;
    list.SetDefaultPosition(1, 2, 3);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.compressedSize, 0);
    EXPECT_EQ(list.rawSize, 0);
    EXPECT_EQ(list.price, 0.0);
    EXPECT_EQ(list.xferMode, -1);
    double lat = 9, lon = 9;
    int width = 9;
    EXPECT_FALSE(list.GetDefaultPosition(lat, lon, width));
    EXPECT_EQ(lat, 9);
    EXPECT_EQ(lon, 9);
    EXPECT_EQ(width, 9);
    EXPECT_EQ(CFileList().xferMode, -1);
}

TEST(TransferList, DefaultPosition)
{
    CFileList list;
    double lat = 0, lon = 0;
    int width = 0;
    EXPECT_FALSE(list.GetDefaultPosition(lat, lon, width));
    list.SetDefaultPosition(47.5, -122.3, 15);
    EXPECT_TRUE(list.GetDefaultPosition(lat, lon, width));
    EXPECT_EQ(lat, 47.5);
    EXPECT_EQ(lon, -122.3);
    EXPECT_EQ(width, 15);
}

TEST(TransferList, SizesSumOverEntries)
{
    CFileList list;
    EXPECT_EQ(list.GetDataSize(), 0);
    list.Add("a", "t/a", "f/a", "a", "", "1", false, 0, 0, 0);
    list.Add("a", "t/a", "f/a", "a", "", "1", false, 0, 0, 0);
    list.Add("b", "t/b", "f/b", "b", "", "2", false, 0, 0, 0);
    EXPECT_EQ(list.GetDataSize(), 0);
    list.SetFileSize(0, 1000);
    list.files[2].size = 24;
    list.SetFileError(1, "File receive aborted");
    EXPECT_EQ(list.GetDataSize(), 1024);
    // Same server path, independent entries.
    EXPECT_EQ(list.GetFileSize(1), 0u);
    EXPECT_TRUE(list.GetFileError(0).empty());
    EXPECT_EQ(list.GetFileError(1), "File receive aborted");
    list.SetFileSize(1, 0xFFFFFFFFu);
    EXPECT_EQ(list.GetDataSize(), 1023);   // 32-bit sum
}

// An error text keeps everything after a NUL, which it shows as "\0".
TEST(TransferList, ErrorTextsKeepWhatFollowsANul)
{
    CFileList list;
    list.Add("a", "t/a", "f/a", "a", "", "1", false, 0, 0, 0);
    using namespace std::string_literals;
    const struct {
        std::string error;
        const char* shown;
    } cases[] = {
        {"name 'h\0x.grb' is refused (control character)."s, "name 'h\\0x.grb' is refused (control character)."},
        {"\0\0"s, "\\0\\0"},
        {""s, ""},
    };
    for (const auto& c : cases) {
        list.SetFileError(0, wxString::FromUTF8(c.error.data(), c.error.size()));
        EXPECT_EQ(list.GetFileError(0), c.shown);
    }
}

TEST(TransferList, RemovingFromTheFrontKeepsOrder)
{
    CFileList list;
    for (const char* n : {"a", "b", "c"})
        list.Add(n, "", "", n, "", "", false, 0, 0, 0);
    std::vector<wxString> seen;
    while (list.GetCount() > 0) {
        seen.push_back(list.Item(0).serverPath);
        list.files.RemoveRange(0, 1);
    }
    EXPECT_EQ(seen, (std::vector<wxString>{"a", "b", "c"}));
    list.files.RemoveRange(0, 1);   // past the end: nothing
    EXPECT_EQ(list.GetCount(), 0u);
}
