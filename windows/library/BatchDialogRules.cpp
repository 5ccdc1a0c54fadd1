#include "windows/library/BatchDialogRules.h"

#include <cmath>

#include <wx/filename.h>

#include "core/Init.h"
#include "core/Numbers.h"

namespace tw {

const int WidthValuesDD[kWidthEntryCount] = {10, 20, 30, 40, 50, 75, 100, 125, 150, 200, 360};

const int kActionCodes[kActionRadioCount] = {0, 1, 3, 2, 4};

wxString WidthEntryText(int index)
{
    if (index < 0 || index >= kWidthEntryCount)
        return wxString();
    return wxString::Format("%03d", WidthValuesDD[index]);
}

int WidthEntryOf(float width)
{
    for (int i = 0; i < kWidthEntryCount; ++i) {
        if (static_cast<float>(WidthValuesDD[i]) == width)
            return i;
    }
    return -1;
}

wxString WidthText(float width)
{
    return FormatFixed(width, 1);
}

float ReadWidth(const wxString& text)
{
    double value = 0;
    LeadingDouble(text, value);
    return static_cast<float>(value);
}

wxString BatchDialogCaption(bool isNew, int id)
{
    if (isNew)
        return wxS("New Batch");
    return id == 2 ? wxS("Data Management") : wxS("Batch Properties");
}

int ActionRadioOf(int runstat)
{
    for (int i = 0; i < kActionRadioCount; ++i) {
        if (kActionCodes[i] == runstat)
            return i;
    }
    return -1;
}

CoordinateField ShowCoordinate(float value)
{
    CoordinateField field;
    field.second = value < 0;
    field.text = FormatFixed(std::fabs(static_cast<double>(value)), 6);
    return field;
}

bool ReadCoordinate(const wxString& text, bool secondHemisphere, double limit, float& value)
{
    double number = 0;
    LeadingDouble(text, number);
    number = std::fabs(number);
    if (!(number <= limit))
        return false;
    value = static_cast<float>(secondHemisphere ? -number : number);
    return true;
}

wxString CombinedGribPath(const wxString& picked)
{
    wxFileName file(picked);
    if (file.GetFullName().empty())
        return wxString();
    const wxString ext = file.GetExt();
    if (!file.HasExt() || ext.empty())
        file.SetExt(wxS("grb"));
    else if (ext.Lower() != wxS("grb"))
        file.SetExt(ext + wxS(".grb"));
    return file.GetFullPath();
}

wxString NewBatchFolder(const wxString& base, const wxString& title, long id)
{
    wxString root = base;
    while (root.length() > 1 && (root.EndsWith(wxS("/")) || root.EndsWith(wxS("\\"))))
        root.RemoveLast();
    if (root == wxS("/"))
        root.clear();
    return root + wxS("/") + CInit::SafeFolderComponent(title, id);
}

} // namespace tw
