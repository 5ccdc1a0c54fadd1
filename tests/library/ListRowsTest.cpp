// The rows of the Library window's lists in real report lists: a batch item
// in the items list and a batch in the batches list.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>

#include "app/tidewrightapp.h"
#include "model/Batch.h"
#include "model/LocalCopy.h"
#include "tests/model/BatchFixtures.h"

using namespace tw::test;

namespace {

wxBitmap Box(bool checked)
{
    wxBitmap bmp(16, 16);
    wxMemoryDC dc(bmp);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(checked ? *wxBLACK_BRUSH : *wxWHITE_BRUSH);
    dc.DrawRectangle(2, 2, 12, 12);
    dc.SelectObject(wxNullBitmap);
    return bmp;
}

class BatchItemRow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "Items", wxDefaultPosition, wxSize(900, 300));
        list = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
        images = new wxImageList(16, 16, true, 2);
        images->Add(Box(false));
        images->Add(Box(true));
        list->AssignImageList(images, wxIMAGE_LIST_SMALL);
        const char* columns[] = {"", "Product", "Filename", "Last Download", "Type", "Price", "Size",
                                 "Description"};
        for (int i = 0; i < 8; ++i)
            list->InsertColumn(i, columns[i], wxLIST_FORMAT_LEFT, i == 0 ? 30 : 110);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(list, 1, wxEXPAND);
        frame->SetSizer(sizer);
        frame->Show();
        Pump(50);
    }
    void TearDown() override
    {
        frame->Destroy();
        Pump(20);
    }

    wxString Text(long row, int column)
    {
        return list->GetItemText(row, column);
    }
    int Image(long row)
    {
        wxListItem item;
        item.SetId(row);
        item.SetColumn(0);
        item.SetMask(wxLIST_MASK_IMAGE);
        list->GetItem(item);
        return item.GetImage();
    }

    wxFrame* frame = nullptr;
    wxListCtrl* list = nullptr;
    wxImageList* images = nullptr;
};

} // namespace

TEST_F(BatchItemRow, RowsGoOnTopWithBoxTextsAndData)
{
    TempDir dir;
    const wxString folder = dir / "Pacific batch";
    CBatch batch;
    batch.info.folder = folder;

    CFileInfo fetched = MakeItem("GFS-WIND", "data/gfs/wind=>gfs_wind.grb.bz2", "1.50", "120", "300", 1);
    fetched.info.Title = "GFS wind";
    fetched.info.File = "gfs_wind.grb";
    fetched.info.ChartType = "GRIB";
    fetched.info.Description = "Wind at 10 m";
    CFileInfo never = MakeItem("SAT-IR", "sat/ir.jpg", "", "", "", 0);
    never.info.Title = "Infrared";

    int dataA = 1, dataB = 2;
    EXPECT_EQ(fetched.AppendToListCtrl(&batch, list, &dataA), 0);
    // The batch's folder is made when missing.
    ASSERT_TRUE(wxDirExists(folder));
    EXPECT_EQ(never.AppendToListCtrl(&batch, list, &dataB), 0);
    ASSERT_EQ(list->GetItemCount(), 2);

    // The later call is on top.
    EXPECT_EQ(list->GetItemData(0), reinterpret_cast<wxUIntPtr>(&dataB));
    EXPECT_EQ(list->GetItemData(1), reinterpret_cast<wxUIntPtr>(&dataA));
    EXPECT_EQ(Image(0), 0);
    EXPECT_EQ(Image(1), 1);

    const wxString neverRow[] = {"", "Infrared", "ir.jpg", "  N/A   ", "GRIB", "$", "Kb", "About SAT-IR"};
    const wxString fetchedRow[] = {"", "GFS wind", "gfs_wind.grb", "  N/A   ", "GRIB", "$1.50", "120Kb",
                                   "Wind at 10 m"};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(Text(0, c), neverRow[c]) << c;
        EXPECT_EQ(Text(1, c), fetchedRow[c]) << c;
    }

    // Once downloaded the row shows the file's date.
    ASSERT_TRUE(WriteFile(folder + "/gfs_wind.grb", "GRIB"));
    const wxString date = tw::GetDiskDate(&batch, folder, fetched.info.Path);
    ASSERT_NE(date, "  N/A   ");
    EXPECT_EQ(fetched.AppendToListCtrl(&batch, list, nullptr), 0);
    EXPECT_EQ(Text(0, 3), date);
    EXPECT_EQ(list->GetItemData(0), 0u);

    Pump(50);
    if (const char* shots = std::getenv("TW_SCREENSHOTS"))
        Screenshot(frame, wxString::FromUTF8(shots) + "/batch_item_rows.png");
}

// A batch written into the batches list through the application object: a
// new last row, or a row rewritten in place; nothing without the list.
TEST_F(BatchItemRow, BatchRowsAppendOrRewrite)
{
    for (int c = 7; c >= 0; --c)
        list->DeleteColumn(c);
    for (const char* heading : {"Status", "Batch Name", "Creation Date", "Description"})
        list->AppendColumn(heading);

    TidewrightApp& app = wxGetApp();
    CBatch on;
    on.info.ID = 7;
    on.info.title = "On";
    on.info.description = "About On";
    on.info.status = 1;
    on.info.create_date = wxDateTime(wxLongLong(1700000000) * 1000);
    CBatch off = on;
    off.info.ID = 8;
    off.info.title = "Off";
    off.info.description = "About Off";
    off.info.status = 0;

    EXPECT_TRUE(app.AddEditBatchToBatchesListCtrl(&on, -1)) << "no list: nothing to write";
    EXPECT_EQ(list->GetItemCount(), 0);

    app.batchesListCtrl = list;
    EXPECT_TRUE(app.AddEditBatchToBatchesListCtrl(&on, -1));
    EXPECT_TRUE(app.AddEditBatchToBatchesListCtrl(&off, -1));
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemData(0), 7u);
    EXPECT_EQ(list->GetItemData(1), 8u);
    EXPECT_EQ(Text(0, 1), "On");
    EXPECT_EQ(Text(1, 1), "Off");
    EXPECT_EQ(Text(1, 3), "About Off");
    EXPECT_EQ(Text(1, 2), off.info.create_date.FormatDate());
    EXPECT_EQ(Image(0), 1);
    EXPECT_EQ(Image(1), 0);

    // Row 0 rewritten with the other batch; an unset date stays empty.
    off.info.create_date = wxDateTime();
    EXPECT_TRUE(app.AddEditBatchToBatchesListCtrl(&off, 0));
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemData(0), 8u);
    EXPECT_EQ(Text(0, 1), "Off");
    EXPECT_EQ(Text(0, 2), "");
    EXPECT_EQ(Image(0), 0);
    app.batchesListCtrl = nullptr;
}
