// The content preferences page (wizard page number 10): resolution, chart
// colour and animations as radio pairs, and two check-box matrices of the
// preferred GRIB model per product and provider per ocean and fishing
// product. Its 66 preferences are held as tables.
#pragma once

#include <array>

#include "windows/wizard/wizardpagebase.h"

class wxRadioButton;

namespace tw::wizard {

// One cell of a matrix: the check box's id (0: the preference has no check
// box and is carried through unchanged) and its preference (null: no cell).
struct MatrixCell {
    int id;
    bool DLPrefs::*field;
};

// A product row of a matrix.
template <size_t Columns>
struct MatrixRow {
    const char* label;
    MatrixCell cells[Columns];
};

// A matrix column header.
struct MatrixColumn {
    const char* header;
    const char* tooltip;
};

// A radio pair: the first radio stands for true.
struct RadioPair {
    const char* label;
    const char* tooltip;
    int trueId;
    const char* trueLabel;
    int falseId;
    const char* falseLabel;
    bool DLPrefs::*field;
};

} // namespace tw::wizard

class WizardPage0 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage0);

public:
    enum { ID_WIZARDPAGE0_STRIP = 10025, ID_PREFERENCES_FINISH = 10340 };

    static constexpr size_t kGribColumns = 9;
    static constexpr size_t kOceanColumns = 5;
    static const tw::wizard::MatrixColumn kGribHeaders[kGribColumns];
    static const tw::wizard::MatrixRow<kGribColumns> kGribRows[7];
    static const tw::wizard::MatrixColumn kOceanHeaders[kOceanColumns];
    static const tw::wizard::MatrixRow<kOceanColumns> kOceanRows[5];
    static const tw::wizard::RadioPair kRadios[3];

    // 7 x 9 GRIB cells and 5 x 5 provider cells, of which 63 carry a key.
    static constexpr size_t kGribCells = 7 * kGribColumns;
    static constexpr size_t kOceanCells = 5 * kOceanColumns;

    WizardPage0();
    explicit WizardPage0(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    wxRadioButton* GetRadio(int id) const;

    std::array<bool, kGribCells> m_gribValues{};     // row by row
    std::array<bool, kOceanCells> m_oceanValues{};
    std::array<bool, 3> m_radioSeeds{};              // in kRadios order

protected:
    void CreateControls() override;
    void CopyToPrefs() override;
};
