#include "windows/map/metzonesdialog.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/wxsqlite3.h>

#include "windows/map/MapItems.h"
#include "windows/map/PickerSupport.h"
#include "windows/map/ZoneRegions.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"

wxIMPLEMENT_DYNAMIC_CLASS(MetZonesDialog, wxDialog);

wxBEGIN_EVENT_TABLE(MetZonesDialog, wxDialog)
    EVT_BUTTON(ID_METZONES_OK, MetZonesDialog::OnOKButtonClick)
    EVT_BUTTON(ID_METZONES_CANCEL, MetZonesDialog::OnCancelButtonClick)
wxEND_EVENT_TABLE()

const char* const MetZonesDialog::kPicture = "res/WorldMetAreaMap2.png";
const char* const MetZonesDialog::kCheckMark = "Icons/red_check_16_16.png";

using tw::pickers::LoadResourcePicture;

MetZonesDialog::MetZonesDialog()
{
    Init();
}

MetZonesDialog::MetZonesDialog(wxWindow* parent, wxSQLite3Database* zonesDb, wxWindowID id,
                               const wxString& caption, const wxPoint& pos, const wxSize& size, long style)
{
    Init();
    LoadAreas(zonesDb, parent);
    Create(parent, id, caption, pos, size, style);
}

MetZonesDialog::~MetZonesDialog() = default;

void MetZonesDialog::Init()
{
    m_imagePanel = nullptr;
    m_mapImage = LoadResourcePicture(kPicture);
    m_checkImage = LoadResourcePicture(kCheckMark);
}

void MetZonesDialog::LoadAreas(wxSQLite3Database* zonesDb, wxWindow* parent)
{
    m_areas.clear();
    m_zonesDb = zonesDb;
    if (!zonesDb) {
        tw::MessageBox(wxS("NULL common MarineZones database object."), wxS("Notice"), wxOK | wxICON_ERROR,
                       tw::BoxParent(parent));
        return;
    }
    MetAreaObjArray areas;
    try {
        wxSQLite3ResultSet rows = zonesDb->ExecuteQuery("SELECT * FROM MZones WHERE region='WMA'");
        while (rows.NextRow()) {
            // The ID is read as a number and truncated toward zero.
            const double id = std::trunc(rows.GetDouble(wxS("ID"), 0.0));
            if (!(id >= std::numeric_limits<int>::min() && id <= std::numeric_limits<int>::max()))
                continue;
            const tw::zones::MetAreaShape* shape = tw::zones::FindMetArea(static_cast<int>(id));
            if (!shape)
                continue;
            MetArea area;
            area.ID = shape->id;
            area.zcode = rows.GetString(wxS("zcode"), wxEmptyString);
            area.description = rows.GetString(wxS("description"), wxEmptyString);
            area.selected = rows.GetInt(wxS("selected"), 0) != 0;
            area.changed = false;
            area.name = wxString::FromUTF8(shape->numeral);
            area.x = shape->labelX;
            area.y = shape->labelY;
            area.shape = shape;
            areas.push_back(area);
        }
    } catch (const wxSQLite3Exception& e) {
        // The picker still opens, without areas.
        tw::MessageBox(e.GetMessage(), wxS("Error"), wxOK | wxICON_ERROR, tw::BoxParent(parent));
        return;
    }
    m_areas.swap(areas);
}

bool MetZonesDialog::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                            const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_VALIDATE_RECURSIVELY | wxWS_EX_BLOCK_EVENTS);
    if (!wxDialog::Create(parent, id, caption, pos, size, style, wxS("dialog")))
        return false;
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre();
    return true;
}

void MetZonesDialog::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    m_imagePanel = new wxPanel(this, ID_METZONES_PANEL, wxDefaultPosition,
                               wxSize(tw::zones::kMetAreaPictureWidth, tw::zones::kMetAreaPictureHeight),
                               wxSUNKEN_BORDER | wxTAB_TRAVERSAL);
    // The whole picture inside the border.
    m_imagePanel->SetMinClientSize(wxSize(tw::zones::kMetAreaPictureWidth, tw::zones::kMetAreaPictureHeight));
    m_imagePanel->SetClientSize(tw::zones::kMetAreaPictureWidth, tw::zones::kMetAreaPictureHeight);
    m_imagePanel->SetBackgroundStyle(wxBG_STYLE_PAINT);
    top->Add(m_imagePanel, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    row->Add(new wxButton(this, ID_METZONES_OK, _("OK")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(new wxButton(this, ID_METZONES_CANCEL, _("Cancel")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    m_imagePanel->Bind(wxEVT_PAINT, &MetZonesDialog::OnPaint, this);
    m_imagePanel->Bind(wxEVT_LEFT_DOWN, &MetZonesDialog::OnLeftDown, this);
    m_imagePanel->Bind(wxEVT_MOTION, &MetZonesDialog::OnMotion, this);
}

void MetZonesDialog::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_imagePanel);
    dc.SetBackground(wxBrush(m_imagePanel->GetBackgroundColour()));
    dc.Clear();
    if (!m_mapBitmap.IsOk() && m_mapImage.IsOk())
        m_mapBitmap = wxBitmap(m_mapImage);
    if (!m_checkBitmap.IsOk() && m_checkImage.IsOk())
        m_checkBitmap = wxBitmap(m_checkImage);
    if (m_mapBitmap.IsOk())
        dc.DrawBitmap(m_mapBitmap, 0, 0, false);

    dc.SetFont(wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD));
    dc.SetBackgroundMode(wxTRANSPARENT);
    dc.SetTextBackground(*wxWHITE);
    for (const MetArea& area : m_areas) {
        dc.SetTextForeground(area.selected ? wxColour(64, 64, 64) : *wxBLACK);
        const int w1 = dc.GetTextExtent(area.name).x;
        const int w2 = dc.GetTextExtent(area.description).x;
        dc.DrawText(area.name, area.x, area.y);
        dc.DrawText(area.description, area.x + w1 / 2 - w2 / 2, area.y + 12);
        if (area.selected && m_checkBitmap.IsOk())
            dc.DrawBitmap(m_checkBitmap, area.x + w1 / 2 - 8, area.y - 16, true);
    }
}

void MetZonesDialog::OnLeftDown(wxMouseEvent& event)
{
    // Every area under the pointer toggles, where outlines overlap too.
    bool toggled = false;
    for (MetArea& area : m_areas) {
        if (area.shape && area.shape->ContainsPixel(event.GetX(), event.GetY())) {
            area.selected = !area.selected;
            area.changed = true;
            toggled = true;
        }
    }
    if (toggled)
        Refresh();
}

void MetZonesDialog::OnMotion(wxMouseEvent& event)
{
    bool over = false;
    for (const MetArea& area : m_areas)
        if (area.shape && area.shape->ContainsPixel(event.GetX(), event.GetY())) {
            over = true;
            break;
        }
    m_pointerOverArea = over;
    m_imagePanel->SetCursor(wxCursor(over ? wxCURSOR_HAND : wxCURSOR_ARROW));
}

bool MetZonesDialog::StoreChangedAreas()
{
    const bool anyChanged =
        std::any_of(m_areas.begin(), m_areas.end(), [](const MetArea& area) { return area.changed; });
    if (!m_zonesDb || !anyChanged)
        return true;
    try {
        StoreInOneTransaction(*m_zonesDb, [this] {
            wxSQLite3Statement update = m_zonesDb->PrepareStatement("UPDATE MZones SET selected = ? WHERE ID = ?");
            for (const MetArea& area : m_areas) {
                if (!area.changed)
                    continue;
                update.Bind(1, area.selected ? 1 : 0);
                update.Bind(2, area.ID);
                update.ExecuteUpdate();
                update.Reset();
            }
        });
    } catch (const wxSQLite3Exception& e) {
        // Nothing was stored; every change keeps its flag, so OK tries them
        // again.
        tw::MessageBox(e.GetMessage(), wxS("Error"), wxOK | wxICON_ERROR, tw::BoxParent(this));
        return false;
    }
    for (MetArea& area : m_areas)
        area.changed = false;
    return true;
}

void MetZonesDialog::OnOKButtonClick(wxCommandEvent&)
{
    // On a refused statement the dialog stays open: the user may try again
    // or cancel.
    if (StoreChangedAreas())
        EndDialog(wxID_OK);
}

void MetZonesDialog::OnCancelButtonClick(wxCommandEvent&)
{
    EndDialog(wxID_CANCEL);
}
