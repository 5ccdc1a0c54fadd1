// The batch text file: records written and read back, exports, backups,
// imports and restores against a private user database, and files that are
// corrupt or hostile.
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "core/Init.h"
#include "model/BatchFile.h"
#include "platform/Locations.h"
#include "tests/model/BatchFixtures.h"

using namespace tw::test;

namespace {

class BatchFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.Ok()) << "seed zir_user.db missing in " << ResourcesDir();
        store = CBatchFolder::Instance();
        root = CInit::GetDefaultTransferFolder();
    }

    // A batch with every field set, downloading to its default folder.
    CBatch FullBatch(const wxString& title)
    {
        CBatch b;
        CBatch::t_batch& i = b.info;
        i.title = title;
        i.description = "Gribs for the crossing, incl. O'Neill's notes";
        i.create_date = wxDateTime(wxLongLong(1700000123) * 1000);
        i.runstat = 4;
        i.application = wxS("/opt/viewers/Chart Viewer");
        i.args = 1;
        i.status = 0;
        i.folder = root + "/" + CInit::SafeFolderComponent(title, 0);
        i.gribfile = i.folder + "/all gribs.grb";
        i.bCombineGribs = 1;
        i.bInteractive = 1;
        i.width = 12.5f;
        i.lat = -33.875f;
        i.lon = 151.203125f;
        i.runwexpg = 1;
        AddItem(b, "GFS-WIND", 1);
        AddItem(b, "SAT-IR", 0);
        AddItem(b, "O'BRIEN", 1);
        return b;
    }

    static void AddItem(CBatch& b, const wxString& id, int status)
    {
        CFileInfo item;
        ASSERT_TRUE(CBatchFolder::Instance()->GetCatalogue()->Find(item, id)) << id;
        item.info.status = status;
        b.items.Add(item);
    }

    // The id of the only batch with this title, or -1.
    int IdOf(const wxString& title)
    {
        wxSQLite3Statement st = db.Db().PrepareStatement("SELECT ID FROM batches WHERE title=?");
        st.Bind(1, title);
        wxSQLite3ResultSet rs = st.ExecuteQuery();
        int id = -1, count = 0;
        while (rs.NextRow()) {
            id = rs.GetInt(0);
            ++count;
        }
        return count == 1 ? id : -1;
    }

    int BatchCount() { return db.Db().ExecuteScalar("SELECT count(*) FROM batches"); }

    // Every row of both tables as text, for comparing whole stores.
    std::string Dump()
    {
        std::string out;
        // Item rows are compared without their own ids, which storing a
        // batch again renews.
        for (const char* sql : {"SELECT * FROM batches ORDER BY ID",
                                "SELECT batchID,productID,status FROM batch_items ORDER BY batchID,ID"}) {
            wxSQLite3ResultSet rs = db.Db().ExecuteQuery(sql);
            while (rs.NextRow()) {
                for (int c = 0; c < rs.GetColumnCount(); ++c)
                    out += std::string(rs.GetAsString(c).utf8_str()) + "|";
                out += "\n";
            }
            out += "--\n";
        }
        return out;
    }

    wxString WriteRvl(const std::string& text)
    {
        const wxString path = dir / "file.rvl";
        WriteFile(path, text);
        return path;
    }

    TempHome home;
    ScopedCatalogue catalogue{StandardItems()};
    ScopedUserDb db;
    TempDir dir;
    CBatchFolder* store = nullptr;
    wxString root;
};

// A record's text with the given name, description, grib path, program and items.
std::string Record(const std::string& name, const std::string& items = "",
                   const std::string& grib = "", int runstat = 0, const std::string& application = "")
{
    return "[batch]\ndate=1700000000\nrunstat=" + std::to_string(runstat) + "\nstatus=1\napplication=" +
           application + "\nargs=0\ndescription=About " + name + "\nfolder=/somewhere/else\nname=" + name +
           "\ncombine=1\ngrib=" + grib + "\ninteractive=0\nwidth=10.000000\nlat=1.000000\nlon=2.000000\n"
           "runwexpg=0\n" + items + "[batch]\n";
}

void ExpectSameBatch(const CBatch& expected, const CBatch& actual)
{
    const CBatch::t_batch& e = expected.info;
    const CBatch::t_batch& a = actual.info;
    EXPECT_EQ(a.title, e.title);
    EXPECT_EQ(a.description, e.description);
    EXPECT_EQ(a.create_date.GetValue(), e.create_date.GetValue());
    EXPECT_EQ(a.runstat, e.runstat);
    EXPECT_EQ(a.application, e.application);
    EXPECT_EQ(a.args, e.args);
    EXPECT_EQ(a.status, e.status);
    EXPECT_EQ(a.folder, e.folder);
    EXPECT_EQ(a.gribfile, e.gribfile);
    EXPECT_EQ(a.bCombineGribs, e.bCombineGribs);
    EXPECT_EQ(a.bInteractive, e.bInteractive);
    EXPECT_FLOAT_EQ(a.width, e.width);
    EXPECT_FLOAT_EQ(a.lat, e.lat);
    EXPECT_FLOAT_EQ(a.lon, e.lon);
    EXPECT_EQ(a.runwexpg, e.runwexpg);
    ASSERT_EQ(actual.items.GetCount(), expected.items.GetCount());
    for (size_t n = 0; n < expected.items.GetCount(); ++n) {
        EXPECT_EQ(actual.items[n].info.FileID, expected.items[n].info.FileID);
        EXPECT_EQ(actual.items[n].info.status, expected.items[n].info.status);
    }
}

void ExpectCommaLocaleWhenAsked()
{
    const char* all = std::getenv("LC_ALL");
    if (all && wxString(all).StartsWith("de_DE")) {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
}

using BatchFileLocale = BatchFileTest;

} // namespace

// Export, delete, import: the batch comes back with every field, including
// apostrophes, non-ASCII text and reals, whatever the decimal point of the
// user's locale.
TEST_F(BatchFileLocale, ExportThenImportRoundTripsEveryField)
{
    ExpectCommaLocaleWhenAsked();
    for (const char* title : {"Skipper's Ærø crossing — ☂", "Plain"}) {
        SCOPED_TRACE(title);
        CBatch original = FullBatch(wxString::FromUTF8(title));
        if (wxString(title) == "Plain") {
            // A program the user agrees to keep comes back too.
            original.info.runstat = 3;
            AnswerBox(wxYES);
        }
        const int id = store->AddBatch(&original, -1);
        ASSERT_GT(id, 2);
        const wxString path = dir / "one.rvl";
        wxRemoveFile(path);
        ASSERT_TRUE(CBatchFile::ExportBatch(path, id));

        const std::string text = ReadFile(path);
        EXPECT_NE(text.find("\nwidth=12.500000\nlat=-33.875000\nlon=151.203125\n"), std::string::npos) << text;
        EXPECT_EQ(text.find('\r'), std::string::npos);

        store->DeleteBatch(id);
        ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(path, false, false));
        const int back = IdOf(original.info.title);
        ASSERT_GT(back, 2);
        ExpectSameBatch(original, store->GetBatchByIndex(back));
        store->DeleteBatch(back);
    }
    EXPECT_FALSE(BoxShown("corrupted"));
}

// A backup of all batches restored over a changed store brings back exactly
// the batches and items it held; item rows of the reserved batches are not
// lost or doubled.
TEST_F(BatchFileLocale, BackupThenRestoreBringsBackTheStore)
{
    ExpectCommaLocaleWhenAsked();
    CBatch basic = FullBatch("Basic Batch");
    ASSERT_EQ(store->AddBatch(&basic, 1), 1);
    const CBatch basicStored = store->GetBatchByIndex(1);
    CBatch wizard;
    wizard.info.title = "Wizard Batch";
    AddItem(wizard, "TXT-FCST", 1);
    ASSERT_EQ(store->AddBatch(&wizard, 2), 2);
    for (const char* title : {"Alpha", "Bravo's", "Charlie"}) {
        CBatch b = FullBatch(title);
        ASSERT_GT(store->AddBatch(&b, -1), 2);
    }
    const wxString path = dir / "backup.rvl";
    ASSERT_TRUE(CBatchFile::BackupBatches(path));
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("[global]\n[batch]\n", 0), 0u);

    // Change everything the backup covers.
    store->DeleteBatch(IdOf("Bravo's"));
    CBatch extra = FullBatch("Extra");
    store->AddBatch(&extra, -1);
    CBatch other = FullBatch("Basic Batch");
    other.items.Empty();
    AddItem(other, "SAT-IR", 1);
    other.info.width = 1.0f;
    store->AddBatch(&other, 1);

    ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(path, true, true));
    EXPECT_EQ(IdOf("Extra"), -1);
    for (const char* title : {"Alpha", "Bravo's", "Charlie"}) {
        SCOPED_TRACE(title);
        const int id = IdOf(title);
        ASSERT_GT(id, 2);
        ExpectSameBatch(FullBatch(title), store->GetBatchByIndex(id));
    }
    ExpectSameBatch(basicStored, store->GetBatchByIndex(1));
    EXPECT_EQ(db.Items(2), (ItemRows{{"TXT-FCST", 1}}));
    EXPECT_EQ(db.Db().ExecuteScalar("SELECT count(*) FROM batch_items WHERE batchID NOT IN (SELECT ID FROM batches)"),
              0);
    EXPECT_EQ(BatchCount(), 6);

    // Restoring the same backup again changes nothing.
    const std::string restored = Dump();
    ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(path, true, true));
    EXPECT_EQ(Dump(), restored);
}

// A restore from a file that turns out to be corrupt leaves the store exactly
// as it was and says the file is corrupted.
TEST_F(BatchFileTest, CorruptRestoreRollsBack)
{
    for (const char* title : {"Alpha", "Bravo"}) {
        CBatch b = FullBatch(title);
        ASSERT_GT(store->AddBatch(&b, -1), 2);
    }
    const wxString path = dir / "backup.rvl";
    ASSERT_TRUE(CBatchFile::BackupBatches(path));
    const std::string good = ReadFile(path);

    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"item line without recid", good.substr(0, good.rfind("recid=")) + "garbage\nstatus=1\n[batch]\n"},
        {"no [global] after batch 1", "[global]\n" + Record("Basic Batch") + "[batch]\n"},
        {"text after an empty line", Record("New one").substr(0, Record("New one").size() - 8) + "\nmore\n"},
        {"record not opening with [batch]", "[global]\n" + Record("Basic Batch") + "[global]\n" +
                                                Record("New one") + "[bat]\n"},
        {"backup cut before its last closing line", good.substr(0, good.rfind("[batch]"))},
        {"backup cut after an item line", good.substr(0, good.rfind("status="))},
    };
    CBatch changed = FullBatch("Charlie");
    store->AddBatch(&changed, -1);
    const std::string before = Dump();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUi();
        EXPECT_FALSE(CBatchFile::ImportBatchesFromFile(WriteRvl(c.text), true, true));
        EXPECT_TRUE(BoxShown("Exported batch file '" + dir / "file.rvl" + "' is corrupted."));
        EXPECT_EQ(Dump(), before);
    }
}

// Files that end in different ways, read by an ordinary import: the result,
// whether the corrupted-file message shows and which records were stored.
TEST_F(BatchFileTest, ImportResultByHowTheFileEnds)
{
    const std::string a = Record("Alpha", "recid=[File.GFS-WIND]\nstatus=1\n");
    const std::string b = Record("Bravo", "recid=SAT-IR\nstatus=0\n");
    const std::string bOpen = b.substr(0, b.size() - 8);   // without its closing line
    const struct {
        const char* name;
        std::string text;
        bool result;
        bool corrupt;
        std::vector<const char*> stored;
    } cases[] = {
        {"two whole records", a + b, true, false, {"Alpha", "Bravo"}},
        {"CR LF line ends and a byte-order mark", "\xEF\xBB\xBF" + [&] {
             std::string s = a;
             for (size_t p = s.find('\n'); p != std::string::npos; p = s.find('\n', p + 2))
                 s.replace(p, 1, "\r\n");
             return s;
         }(), true, false, {"Alpha"}},
        {"lone CR line ends", [&] {
             std::string s = a;
             for (char& c : s)
                 if (c == '\n')
                     c = '\r';
             return s;
         }(), true, false, {"Alpha"}},
        {"last record ends at the end of the file", a + bOpen, false, false, {"Alpha", "Bravo"}},
        {"last record ends at an empty line", a + bOpen + "\n", false, false, {"Alpha", "Bravo"}},
        {"empty line inside the file", a + bOpen + "\n" + a, false, true, {"Alpha", "Bravo"}},
        {"item line without recid", a + bOpen + "junk\nstatus=1\n[batch]\n", false, true, {"Alpha"}},
        {"a backup read as an ordinary import", "[global]\n" + a + "[global]\n" + b, false, true, {}},
        {"empty file", "", true, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUi();
        db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID > 2");
        db.Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID > 2");
        EXPECT_EQ(CBatchFile::ImportBatchesFromFile(WriteRvl(c.text), false, false), c.result);
        EXPECT_EQ(BoxShown("is corrupted"), c.corrupt);
        EXPECT_EQ(BatchCount(), 3 + static_cast<int>(c.stored.size()));
        for (const char* title : c.stored)
            EXPECT_GT(IdOf(title), 2) << title;
    }
    EXPECT_FALSE(CBatchFile::ImportBatchesFromFile(dir / "missing.rvl", true, true));
    EXPECT_EQ(BatchCount(), 3);
}

// Every byte sequence gives a text the store can write: well-formed UTF-8 is
// read as UTF-8; anything else (code points above U+10FFFF, surrogates,
// overlong forms, cut-off sequences, bytes that never occur in UTF-8) is read
// as Latin-1, byte for byte; NUL bytes are dropped. Records holding such
// bytes are imported and restored like any other.
TEST_F(BatchFileTest, EveryByteSequenceDecodesToAStorableText)
{
    const auto latin1 = [](const std::string& bytes) { return wxString(bytes.data(), wxConvISO8859_1, bytes.size()); };
    const struct {
        const char* name;
        std::string bytes;   // put into the name and description lines
        wxString text;       // what the store then holds
    } cases[] = {
        {"UTF-8", "Skipper\xE2\x80\x99s \xC3\x86r\xC3\xB8 \xF0\x9F\x8C\x8A", wxString::FromUTF8("Skipper\xE2\x80\x99s \xC3\x86r\xC3\xB8 \xF0\x9F\x8C\x8A")},
        {"highest code point", "top \xF4\x8F\xBF\xBF", wxString::FromUTF8("top \xF4\x8F\xBF\xBF")},
        {"above U+10FFFF", "Trip \xF4\x90\x80\x80", latin1("Trip \xF4\x90\x80\x80")},
        {"above U+10FFFF, last continuation", "a\xF4\xBF\xBF\xBFz", latin1("a\xF4\xBF\xBF\xBFz")},
        {"lead byte F5", "b\xF5\x80\x80\x80", latin1("b\xF5\x80\x80\x80")},
        {"surrogate", "c\xED\xA0\x80", latin1("c\xED\xA0\x80")},
        {"overlong NUL", "d\xC0\x80", latin1("d\xC0\x80")},
        {"overlong three bytes", "e\xE0\x80\x80", latin1("e\xE0\x80\x80")},
        {"overlong four bytes", "f\xF0\x80\x80\x80", latin1("f\xF0\x80\x80\x80")},
        {"cut off", "g\xE2\x98", latin1("g\xE2\x98")},
        {"lone continuation", "h\x80i", latin1("h\x80i")},
        {"Latin-1 text", "Caf\xE9 S\xF8nder", wxString::FromUTF8("Caf\xC3\xA9 S\xC3\xB8nder")},
        {"NUL byte", std::string("j\0k", 3), "jk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.text.utf8_str().length() > 0);
        std::string record = Record("X");
        record.replace(record.find("name=X"), 6, "name=" + c.bytes);
        record.replace(record.find("About X"), 7, c.bytes);
        for (bool restore : {false, true}) {
            SCOPED_TRACE(restore ? "restore" : "import");
            ResetUi();
            db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID > 2");
            db.Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID > 2");
            EXPECT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(record), restore, restore));
            EXPECT_TRUE(Ui().boxes.empty());
            const int id = IdOf(c.text);
            ASSERT_GT(id, 2);
            EXPECT_EQ(db.Column(id, "description"), c.text);
        }
    }

    // Random lines (no line ends in them): each one converts back to UTF-8
    // whole, and holds no NUL.
    std::mt19937 random(23);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(1 + random() % 12, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(round % 2 ? 0x80 + random() % 0x80 : random() % 0x100);
            if (b == '\n' || b == '\r')
                b = 'x';
        }
        std::string noNul = bytes;
        noNul.erase(std::remove(noNul.begin(), noNul.end(), '\0'), noNul.end());
        CBatchFileReader in(bytes + "\n");
        wxString line;
        in.ReadLine(line);
        EXPECT_EQ(line.find(wxUniChar(0)), wxString::npos);
        const wxScopedCharBuffer utf8 = line.utf8_str();
        EXPECT_EQ(line.empty(), noNul.empty());
        EXPECT_EQ(utf8.length() > 0, !line.empty());
        EXPECT_EQ(wxString::FromUTF8(utf8.data(), utf8.length()), line);
    }
}

// A record the store refuses is named to the user with the reason, and the
// import does not report success. An ordinary import stores the other
// records; a restore is undone as a whole.
TEST_F(BatchFileTest, RecordsThatCannotBeStoredAreNamedToTheUser)
{
    // The database refuses a new batch named Refused, any item SAT-IR, and
    // any change of batch 1.
    db.Db().ExecuteUpdate("CREATE TRIGGER refuse_batch BEFORE INSERT ON batches WHEN NEW.title = 'Refused' "
                          "BEGIN SELECT RAISE(ABORT, 'no room for Refused'); END");
    db.Db().ExecuteUpdate("CREATE TRIGGER refuse_item BEFORE INSERT ON batch_items WHEN NEW.productID = 'SAT-IR' "
                          "BEGIN SELECT RAISE(ABORT, 'item refused'); END");
    db.Db().ExecuteUpdate("CREATE TRIGGER refuse_basic BEFORE UPDATE ON batches WHEN NEW.ID = 1 "
                          "BEGIN SELECT RAISE(ABORT, 'batch 1 is locked'); END");
    CBatch keep = FullBatch("Kept");
    keep.items.Empty();
    ASSERT_GT(store->AddBatch(&keep, -1), 2);

    const std::string alpha = Record("Alpha", "recid=[File.GFS-WIND]\nstatus=1\n");
    const std::string withItem = Record("With item", "recid=[File.SAT-IR]\nstatus=1\n");
    const std::string global = "[global]\n" + Record("Basic Batch") + "[global]\n";
    const struct {
        const char* name;
        std::string text;
        bool restore;
        std::vector<const char*> named;    // in the box: "Batch '<name>' (record <n> of the file): <why>"
        std::vector<const char*> stored;   // new batches after the import
    } cases[] = {
        {"a new batch refused", alpha + Record("Refused") + Record("Bravo"), false,
         {"Batch 'Refused' (record 2 of the file): ", "no room for Refused"}, {"Alpha", "Bravo"}},
        {"an item refused", withItem + alpha, false, {"Batch 'With item' (record 1 of the file): ", "item refused"},
         {"Alpha"}},
        {"a reserved batch refused", alpha + Record("basic batch"), false,
         {"Batch 'basic batch' (record 2 of the file): ", "batch 1 is locked"}, {"Alpha"}},
        {"two refused", Record("Refused") + withItem + alpha, false,
         {"Batch 'Refused' (record 1 of the file): ", "Batch 'With item' (record 2 of the file): "}, {"Alpha"}},
        {"restore, a new batch refused", alpha + Record("Refused"), true,
         {"could not be restored; your batches were left as they were.",
          "Batch 'Refused' (record 2 of the file): ", "no room for Refused"},
         {"Kept"}},
        {"restore, batch 1 refused", global + alpha, true,
         {"left as they were.", "Batch 'Basic Batch' (record 1 of the file): ", "batch 1 is locked"}, {"Kept"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUi();
        db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID > 2 AND title <> 'Kept'");
        db.Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID NOT IN (SELECT ID FROM batches)");
        const std::string before = Dump();
        EXPECT_FALSE(CBatchFile::ImportBatchesFromFile(WriteRvl(c.text), c.restore, c.restore));
        ASSERT_EQ(Ui().boxes.size(), 1u) << "one message for the whole file";
        EXPECT_TRUE(Ui().boxes[0].style & wxICON_ERROR);
        for (const char* fragment : c.named)
            EXPECT_TRUE(Ui().boxes[0].message.Contains(fragment)) << fragment << "\n" << Ui().boxes[0].message;
        EXPECT_EQ(BatchCount(), 3 + (c.restore ? 1 : 1 + static_cast<int>(c.stored.size())));
        for (const char* title : c.stored)
            EXPECT_GT(IdOf(title), 2) << title;
        EXPECT_EQ(IdOf("Refused"), -1);
        EXPECT_EQ(IdOf("With item"), -1) << "a batch is stored with its items or not at all";
        if (c.restore) {
            EXPECT_EQ(Dump(), before);
        }
    }
}

// The reader takes lines by position and values by their rules.
TEST_F(BatchFileTest, RecordFieldsAreReadByPosition)
{
    const std::string text =
        "date=-1\n"
        "xxxxxxxx4 and more\n"       // runstat: eight characters, whatever they are
        "status=  -7junk\n"
        "application=/Applications/Viewer.app\n"
        "args\n"                     // shorter than its key: empty
        "description= keeps its blank=and equals \n"
        "folder=%MyDocuments%/Weather Files/old\n"
        "name=Trip\n"
        "combine=+1\n"
        "grib=\n"
        "interactive=yes\n"
        "width=abc\n"
        "lat=-12.5e3junk\n"
        "lon=7.\n"
        "runwexpg=1\n"
        "recid=[File.GFS-WIND]\nstatus=1\n"
        "recid=NOT-IN-CATALOGUE\nstatus=1\n"
        "recid=[File.SAT-IR\nstatus=0\n"      // the markers are removed wherever they are
        "recid=[File.GFS-WIND]\nstatus=0\n"  // listed twice: kept once
        "recid=TXT-FCST\n"                   // status line missing at the end
        ;
    CBatchFileReader in(text);
    CBatch b;
    b.info.ID = 99;
    EXPECT_EQ(CBatchFile::Import(b, in), "");
    const CBatch::t_batch& i = b.info;
    EXPECT_EQ(i.ID, 0);
    EXPECT_EQ(i.create_date.GetValue(), wxLongLong(-1000));
    EXPECT_EQ(i.runstat, 4);
    EXPECT_EQ(i.status, -7);
    EXPECT_EQ(i.application, "/Applications/Viewer.app");
    EXPECT_EQ(i.args, 0);
    EXPECT_EQ(i.description, " keeps its blank=and equals ");
    EXPECT_EQ(i.title, "Trip");
    EXPECT_EQ(i.folder, root + "/Trip");
    EXPECT_TRUE(wxDirExists(i.folder));
    EXPECT_EQ(i.bCombineGribs, 1);
    EXPECT_EQ(i.gribfile, "");
    EXPECT_EQ(i.bInteractive, 0);
    EXPECT_FLOAT_EQ(i.width, 30.0f);
    EXPECT_FLOAT_EQ(i.lat, -12.5f);
    EXPECT_FLOAT_EQ(i.lon, 7.0f);
    EXPECT_EQ(i.runwexpg, 1);
    ASSERT_EQ(b.items.GetCount(), 3u);
    EXPECT_EQ(b.items[0].info.FileID, "GFS-WIND");
    EXPECT_EQ(b.items[0].info.status, 1);
    EXPECT_EQ(b.items[1].info.FileID, "SAT-IR");
    EXPECT_EQ(b.items[1].info.status, 0);
    EXPECT_EQ(b.items[2].info.FileID, "TXT-FCST");
    EXPECT_EQ(b.items[2].info.status, 0);
    EXPECT_TRUE(in.AtEnd());
}

TEST(BatchFileValues, IntsAndNumbers)
{
    const struct {
        const char* text;
        int value;
    } ints[] = {{"12", 12}, {"  -3x", -3}, {"+4", 4}, {"", 0}, {"x1", 0}, {"99999999999", 2147483647},
                {"-99999999999", -2147483647 - 1}, {"\t8", 8}};
    for (const auto& c : ints)
        EXPECT_EQ(CBatchFile::ReadInt(c.text), c.value) << c.text;

    const std::string beyondADouble(400, '9');
    const struct {
        const char* text;
        bool ok;
        float value;
    } numbers[] = {{"1.5", true, 1.5f},      {"-0.25xyz", true, -0.25f}, {".5", true, 0.5f},
                   {"3,5", true, 3.0f},      {"", false, 0},             {"nan", false, 0},
                   {"inf", false, 0},        {"-", false, 0},            {" 2", true, 2.0f},
                   {beyondADouble.c_str(), false, 0}};
    for (const auto& c : numbers) {
        float v = -1.0f;
        EXPECT_EQ(CBatchFile::ReadNumber(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_FLOAT_EQ(v, c.value) << c.text;
        }
    }
}

// The exact lines written for a record, with the Documents folder written as
// a placeholder, line breaks made blanks and an unset date written as -1.
TEST_F(BatchFileTest, ExportWritesTheseLines)
{
    CBatch b;
    b.info.title = "Line\nbreak";
    b.info.description = "First\r\nsecond\rthird";
    b.info.folder = tw::DocumentsDir() + "/Weather Files/Line";
    b.info.gribfile = "g.grb";
    b.info.runstat = 2;
    b.info.lat = -1.0f;
    AddItem(b, "O'BRIEN", 0);
    wxString text;
    CBatchFile::Export(b, text);
    EXPECT_EQ(text,
              "[batch]\ndate=-1\nrunstat=2\nstatus=1\napplication=\nargs=0\n"
              "description=First second third\nfolder=%MyDocuments%/Weather Files/Line\nname=Line break\n"
              "combine=0\ngrib=g.grb\ninteractive=0\nwidth=0.000000\nlat=-1.000000\nlon=0.000000\n"
              "runwexpg=0\nrecid=[File.O'BRIEN]\nstatus=0\n[batch]\n");

    // An unset date stays -1 through the store.
    const wxString path = WriteRvl(std::string(text.utf8_str()));
    ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(path, false, false));
    EXPECT_EQ(db.Column(IdOf("Line break"), "create_date"), "-1");
    EXPECT_EQ(db.Column(IdOf("Line break"), "description"), "First second third");
}

// Names, combined GRIB paths and programs from a file cannot reach outside
// the download folders or start anything unasked.
TEST_F(BatchFileTest, HostileRecordsAreNeutralised)
{
    const struct {
        const char* name;
        const char* grib;
        const char* folder;      // expected, below the download root
        const char* gribfile;    // expected, below the batch's folder ("" = none)
    } cases[] = {
        {"../../../../tmp/evil", "/etc/passwd", ".._.._.._.._tmp_evil", "passwd.grb"},
        {"/abs/olute", "../../x.grb", "_abs_olute", "x.grb"},
        {"..", "", "Batch 0", ""},
        {" ", "/tmp/../tmp/a.GRB", "Batch 0", "a.GRB"},
        {"ok\x01\x1f", "%s/sub/in.grb", "ok__", "sub/in.grb"},
        {"dots", "%s/../dots2/x.grb", "dots", "x.grb"},
        {"tail", "%s/", "tail", "tail.grb"},
        {"back\\slash", "C:\\evil\\run.bat", "back_slash", "run.bat.grb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString folder = root + "/" + wxString::FromUTF8(c.folder);
        wxString grib = wxString::FromUTF8(c.grib);
        grib.Replace("%s", folder);
        CBatchFileReader in(Record(c.name, "", std::string(grib.utf8_str())).substr(8));
        CBatch b;
        CBatchFile::Import(b, in);
        EXPECT_EQ(b.info.folder, folder);
        EXPECT_EQ(b.info.gribfile, *c.gribfile ? folder + "/" + c.gribfile : wxString());
    }

    // A nameless batch gets a folder named by its row id once stored.
    ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(Record("", "", "/etc/x.grb")), false, false));
    const int nameless = IdOf("");
    ASSERT_GT(nameless, 2);
    const wxString own = root + wxString::Format("/Batch %d", nameless);
    EXPECT_EQ(db.Column(nameless, "folder"), own);
    EXPECT_EQ(db.Column(nameless, "gribfile"), own + "/x.grb");
    EXPECT_TRUE(wxDirExists(own));
    EXPECT_FALSE(wxDirExists(root + "/Batch 0"));
}

// A program a record would start after every download is kept only when the
// user says so; one the user's batches already run is not asked about, and
// each program is asked about once per file.
TEST_F(BatchFileTest, ProgramsFromAFileNeedConsent)
{
    CBatch trusted = FullBatch("Mine");
    trusted.info.runstat = 3;
    trusted.info.application = "/usr/local/bin/my-viewer";
    ASSERT_GT(store->AddBatch(&trusted, -1), 2);

    const std::string file = Record("Evil", "", "", 3, "/bin/sh") + Record("Evil two", "", "", 3, "/bin/sh") +
                             Record("Known", "", "", 3, "/usr/local/bin/my-viewer") +
                             Record("Opener", "", "", 4, "/bin/sh");
    const struct {
        const char* name;
        int answer;
        int runstat;
        const char* application;
    } cases[] = {
        {"declined", wxNO, 0, ""},
        {"accepted", wxYES, 3, "/bin/sh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUi();
        db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID > 2 AND title <> 'Mine'");
        AnswerBox(c.answer);
        ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(file), false, false));
        ASSERT_EQ(Ui().boxes.size(), 1u);
        EXPECT_TRUE(Ui().boxes[0].message.Contains("/bin/sh"));
        EXPECT_TRUE(Ui().boxes[0].style & wxNO_DEFAULT);
        for (const char* title : {"Evil", "Evil two"}) {
            EXPECT_EQ(db.Column(IdOf(title), "runstat"), wxString::Format("%d", c.runstat)) << title;
            EXPECT_EQ(db.Column(IdOf(title), "application"), c.application) << title;
        }
        EXPECT_EQ(db.Column(IdOf("Known"), "application"), "/usr/local/bin/my-viewer");
        EXPECT_EQ(db.Column(IdOf("Known"), "runstat"), "3");
        EXPECT_EQ(db.Column(IdOf("Opener"), "application"), "/bin/sh");
    }
}

// A record named like a reserved batch updates it; its items join those the
// batch has, without doubling any, however often the file is imported.
TEST_F(BatchFileTest, ImportIntoAnExistingBatchDoesNotDoubleItems)
{
    db.InsertItem(1, "GFS-WIND", 1);
    db.InsertItem(1, "SAT-IR", 0);
    db.InsertItem(1, "GONE-FROM-CATALOGUE", 1);
    const std::string file =
        Record("BASIC batch", "recid=[File.SAT-IR]\nstatus=1\nrecid=[File.TXT-FCST]\nstatus=1\n");
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(file), false, false));
        EXPECT_EQ(db.Items(1), (ItemRows{{"GFS-WIND", 1}, {"SAT-IR", 1}, {"GONE-FROM-CATALOGUE", 1},
                                         {"TXT-FCST", 1}}));
        EXPECT_EQ(db.Column(1, "title"), "Basic Batch");
        EXPECT_EQ(db.Column(1, "description"), "About BASIC batch");
        EXPECT_EQ(BatchCount(), 3);
    }
}

// Export and backup failures are reported, and an existing file is replaced
// only when the user agrees.
TEST_F(BatchFileTest, ExportFailuresAreReported)
{
    CBatch b = FullBatch("Alpha");
    const int id = store->AddBatch(&b, -1);
    ASSERT_GT(id, 2);

    ClearLog();
    EXPECT_FALSE(CBatchFile::ExportBatch(dir / "no/such/folder/a.rvl", id));
    EXPECT_TRUE(LogContains("Could not create " + dir / "no/such/folder/a.rvl"));
    ClearLog();
    EXPECT_FALSE(CBatchFile::BackupBatches(dir / "no/such/folder/b.rvl"));
    EXPECT_TRUE(LogContains("Could not create "));

    ClearLog();
    EXPECT_FALSE(CBatchFile::ExportBatch(dir / "missing.rvl", 4711));
    EXPECT_TRUE(LogContains("4711"));
    EXPECT_FALSE(wxFileExists(dir / "missing.rvl"));

    const wxString existing = dir / "existing.rvl";
    WriteFile(existing, "keep me");
    EXPECT_FALSE(CBatchFile::ExportBatch(existing, id));   // the default answer is No
    EXPECT_TRUE(BoxShown("File existing already exists. Overwrite?"));
    EXPECT_EQ(ReadFile(existing), "keep me");
    AnswerBox(wxYES);
    EXPECT_TRUE(CBatchFile::ExportBatch(existing, id));
    EXPECT_EQ(ReadFile(existing).rfind("[batch]\n", 0), 0u);

    // A folder that cannot be written to.
    if (geteuid() != 0) {
        const wxString locked = dir / "locked";
        wxMkdir(locked);
        chmod(locked.fn_str(), 0500);
        ClearLog();
        EXPECT_FALSE(CBatchFile::BackupBatches(locked + "/b.rvl"));
        EXPECT_TRUE(LogContains("Could not create "));
        chmod(locked.fn_str(), 0700);
    }

    // Without a database.
    store->SetDatabase(nullptr);
    ClearLog();
    EXPECT_FALSE(CBatchFile::BackupBatches(dir / "c.rvl"));
    EXPECT_TRUE(LogContains("SQL query error"));
    EXPECT_FALSE(CBatchFile::ImportBatchesFromFile(WriteRvl(Record("X")), false, false));
    store->SetDatabase(&db.Db());
}

// New batches of an ordinary import are handed over as stored (the Library
// window makes them rows of its batches list); a restore hands none over.
TEST_F(BatchFileTest, ImportHandsNewBatchesOver)
{
    std::vector<CBatch> added;
    const CBatchFile::AddedBatch collect = [&added](CBatch& batch) { added.push_back(batch); };

    std::string disabled = Record("Off");
    disabled.replace(disabled.find("status=1"), 8, "status=0");
    ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(Record("On") + disabled + Record("basic batch")),
                                                  false, false, collect));
    ASSERT_EQ(added.size(), 2u) << "the reserved batch is updated, not added";
    EXPECT_EQ(added[0].info.ID, IdOf("On"));
    EXPECT_EQ(added[0].info.title, "On");
    EXPECT_EQ(added[0].info.status, 1);
    EXPECT_EQ(added[1].info.ID, IdOf("Off"));
    EXPECT_EQ(added[1].info.title, "Off");
    EXPECT_EQ(added[1].info.description, "About Off");
    EXPECT_EQ(added[1].info.status, 0);
    EXPECT_TRUE(added[1].info.create_date.IsValid());

    ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(Record("Restored")), true, true, collect));
    EXPECT_EQ(added.size(), 2u);
}

// A width outside 1 to 360 degrees in a file is never stored as written: the
// batch comes in without an area width (0) and one notice names it. 0 is
// "no width", a line without a number keeps its default, and a width in
// range is kept.
TEST_F(BatchFileTest, WidthsOutsideTheAreaRangeAreNotStored)
{
    const std::string huge(400, '9');   // beyond a double
    const struct {
        const char* line;     // the record's width value
        float stored;
        const char* named;    // in the notice, or nullptr for none
    } rows[] = {
        {"999.000000", 0.0f, "width 999"},
        {"3000000000.000000", 0.0f, "width 3e+09"},
        {"-5.000000", 0.0f, "width -5"},
        {"0.500000", 0.0f, "width 0.5"},
        {"360.500000", 0.0f, "width 360.5"},
        {huge.c_str(), 0.0f, "width 1.79769e+308"},
        {"1.000000", 1.0f, nullptr},
        {"360.000000", 360.0f, nullptr},
        {"12.500000", 12.5f, nullptr},
        {"3e9", 3.0f, nullptr},   // the fixed form has no exponent
        {"0.000000", 0.0f, nullptr},
        {"-0.000000", 0.0f, nullptr},
        {"nan", 30.0f, nullptr},   // no number: the default
    };
    const std::string inRange = "width=10.000000\n";
    auto withWidth = [&](const std::string& name, const std::string& width) {
        std::string text = Record(name);
        text.replace(text.find(inRange), inRange.size(), "width=" + width + "\n");
        return text;
    };
    for (const bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "restore" : "import");
        ResetUi();
        std::string file;
        for (size_t n = 0; n < std::size(rows); ++n)
            file += withWidth("Row " + std::to_string(n), rows[n].line);
        ASSERT_TRUE(CBatchFile::ImportBatchesFromFile(WriteRvl(file), restore, restore))
            << (Ui().boxes.empty() ? wxString() : Ui().boxes[0].message);
        for (size_t n = 0; n < std::size(rows); ++n) {
            SCOPED_TRACE(rows[n].line);
            const int id = IdOf(wxString::Format("Row %zu", n));
            ASSERT_GT(id, 2);
            const float width = store->GetBatchByIndex(id).info.width;
            EXPECT_FLOAT_EQ(width, rows[n].stored);
            EXPECT_FALSE(std::signbit(width));
        }
        ASSERT_EQ(Ui().boxes.size(), 1u) << "one notice for the whole file";
        const wxString notice = Ui().boxes[0].message;
        EXPECT_EQ(Ui().boxes[0].caption, "Notice");
        EXPECT_TRUE(notice.Contains("The area width must be a number of degrees from 1 to 360.")) << notice;
        EXPECT_TRUE(notice.Contains("imported without an area width")) << notice;
        for (size_t n = 0; n < std::size(rows); ++n) {
            const wxString entry = wxString::Format("Batch 'Row %zu' (record %zu of the file): ", n, n + 1);
            if (rows[n].named)
                EXPECT_TRUE(notice.Contains(entry + rows[n].named + "\n") || notice.EndsWith(entry + rows[n].named))
                    << entry << "\n" << notice;
            else
                EXPECT_FALSE(notice.Contains(entry)) << entry << "\n" << notice;
        }
        // The export writes what is stored.
        const wxString out = dir / "out.rvl";
        wxRemoveFile(out);
        ASSERT_TRUE(CBatchFile::ExportBatch(out, IdOf("Row 0")));
        EXPECT_NE(ReadFile(out).find("\nwidth=0.000000\n"), std::string::npos);
        if (!restore)
            db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID > 2");
    }

    // A restore that is undone stores nothing and gives no notice of widths.
    ResetUi();
    const std::string before = Dump();
    EXPECT_FALSE(CBatchFile::ImportBatchesFromFile(WriteRvl(withWidth("Cut", "999.000000") + "[batch]\ndate="), true,
                                                   true));
    EXPECT_EQ(Dump(), before);
    for (const auto& box : Ui().boxes)
        EXPECT_FALSE(box.message.Contains("area width")) << box.message;
}
