// One content item of the catalogue (a row of the table `products`) and the
// three-level catalogue tree: category (CProduct) > region (CRegion) >
// chart type (CChartType) > items (CFileInfo). Every level holds owning
// arrays of copies: adding copies the element, copying a node copies its
// whole subtree and destroying a node destroys it.
//
// The item's texts are CItemText fields (model/ItemText.h): each reads
// as a wxString, but holds a short text in place and shares a long one
// among copies, so a catalogue of many items stays small and copying an
// item copies no characters.
#pragma once

#include <utility>

#include <wx/object.h>
#include <wx/string.h>

#include "model/ItemText.h"
#include "model/OwningArray.h"

class CBatch;
class wxListCtrl;
namespace tw {
class FolderListing;
}

class CFileInfo : public wxObject
{
public:
    struct t_info {
        CItemText FileID;          // record id in `products`; empty = cannot be downloaded
        CItemText Title;           // display title
        CItemText Path;            // server-side name (decoded)
        CItemText File;            // file name shown to the user
        CItemText Description;
        CItemText Price;           // decimal text, shown after "$"
        CItemText Compression;     // compression option sent with the request (decoded)
        CItemText Category;        // first tree level
        CItemText ChartType;       // third tree level (product type)
        CItemText RawSize;         // uncompressed size, same unit as CompressedSize
        CItemText CompressedSize;  // size as sent, in KB, shown followed by "Kb"
        CItemText Source;          // provider text
        int status = 0;           // 1 selected, 0 not (meaningful in batches only)
    };

    CFileInfo() = default;
    explicit CFileInfo(const t_info& i) : info(i) {}
    CFileInfo(const CFileInfo& other) : wxObject(), info(other.info) {}
    CFileInfo(CFileInfo&& other) noexcept : wxObject(), info(std::move(other.info)) {}
    CFileInfo& operator=(const CFileInfo& other)
    {
        if (this != &other)
            info = other.info;
        return *this;
    }
    CFileInfo& operator=(CFileInfo&& other) noexcept
    {
        if (this != &other)
            info = std::move(other.info);
        return *this;
    }
    ~CFileInfo() override;

    // Inserts this item's row, as an item of `batch`, at the top of the
    // Library window's items list with `data` as the row's item data;
    // returns the row index or -1. `folder`, when given, is a listing of the
    // batch's download folder to find the local copy in (a caller writing
    // many rows reads the folder once). (Defined with the Library window's
    // list rows, windows/library/ListRows.cpp: only the windows write list rows.)
    int AppendToListCtrl(CBatch* batch, wxListCtrl* list, void* data, const tw::FolderListing* folder = nullptr);

    t_info info;
};

using CFileInfoArray = TOwningArray<CFileInfo>;

// Third level: the products ChartType, holding the items.
class CChartType : public wxObject
{
public:
    CChartType() = default;
    CChartType(const CChartType& other) : wxObject(), name(other.name), files(other.files) {}
    CChartType(CChartType&& other) noexcept : wxObject(), name(std::move(other.name)), files(std::move(other.files)) {}
    CChartType& operator=(const CChartType& other)
    {
        if (this != &other) {
            name = other.name;
            files = other.files;
        }
        return *this;
    }
    CChartType& operator=(CChartType&& other) noexcept
    {
        if (this != &other) {
            name = std::move(other.name);
            files = std::move(other.files);
        }
        return *this;
    }
    ~CChartType() override;

    void Add(const CFileInfo& item) { files.Add(item); }
    void Add(CFileInfo&& item) { files.Add(std::move(item)); }
    // Deletes every item and empties the name.
    void Empty();

    wxString name;
    CFileInfoArray files;
};

using CChartTypeArray = TOwningArray<CChartType>;

// Second level: the products Region, holding chart types.
class CRegion : public wxObject
{
public:
    CRegion() = default;
    CRegion(const CRegion& other) : wxObject(), name(other.name), chartTypes(other.chartTypes) {}
    CRegion(CRegion&& other) noexcept : wxObject(), name(std::move(other.name)), chartTypes(std::move(other.chartTypes)) {}
    CRegion& operator=(const CRegion& other)
    {
        if (this != &other) {
            name = other.name;
            chartTypes = other.chartTypes;
        }
        return *this;
    }
    CRegion& operator=(CRegion&& other) noexcept
    {
        if (this != &other) {
            name = std::move(other.name);
            chartTypes = std::move(other.chartTypes);
        }
        return *this;
    }
    ~CRegion() override;

    void Add(const CChartType& chartType) { chartTypes.Add(chartType); }
    void Add(CChartType&& chartType) { chartTypes.Add(std::move(chartType)); }
    void Empty();

    wxString name;
    CChartTypeArray chartTypes;
};

using CRegionTypeArray = TOwningArray<CRegion>;

// First level: the products Category, holding regions.
class CProduct : public wxObject
{
public:
    CProduct() = default;
    CProduct(const CProduct& other) : wxObject(), name(other.name), regions(other.regions) {}
    CProduct(CProduct&& other) noexcept : wxObject(), name(std::move(other.name)), regions(std::move(other.regions)) {}
    CProduct& operator=(const CProduct& other)
    {
        if (this != &other) {
            name = other.name;
            regions = other.regions;
        }
        return *this;
    }
    CProduct& operator=(CProduct&& other) noexcept
    {
        if (this != &other) {
            name = std::move(other.name);
            regions = std::move(other.regions);
        }
        return *this;
    }
    ~CProduct() override;

    void Add(const CRegion& region) { regions.Add(region); }
    void Add(CRegion&& region) { regions.Add(std::move(region)); }
    void Empty();

    wxString name;
    CRegionTypeArray regions;
};

// The whole catalogue.
using CProductTypeArray = TOwningArray<CProduct>;
