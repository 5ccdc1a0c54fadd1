// The Basic-mode main window: one region's twenty products (a personality)
// as ten toggle buttons on each of two pages, the list of the chosen
// products, a map of the Basic batch's area, and the commands (download,
// batch properties, connection settings, update, help, mode changes).
//
// Everything the user chooses is stored at once in the Basic batch (row 1
// of the user database): a pressed product is one of its items, the
// personality its description, the area its lat, lon and width.
#pragma once

#include <functional>
#include <vector>

#include <wx/arrstr.h>
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/icon.h>

#include "windows/basic/BasicRules.h"

class CBatch;
class CBatchFolder;
class CFileInfo;
class wxButton;
class wxListCtrl;
class wxMapPanel;
class MapBoxEvent;
class wxMenu;
class wxPanel;
class wxPictureButton;
class wxSQLite3Database;
class wxStaticBitmap;
class wxStaticBox;
class wxStaticText;
class wxToggleButton;

enum {
    ID_BASICWINDOW = 10000,
    ID_BASIC_LAUNCH_WIZARD = 6029,
    ID_BASIC_LIBRARY_MODE = 10002,
    ID_BASIC_PORTAL_MODE = 6030,
    ID_BASIC_TOGGLE_1 = 10001,
    ID_BASIC_TOGGLE_2 = 10121,
    ID_BASIC_TOGGLE_3 = 10005,
    ID_BASIC_TOGGLE_4 = 10006,
    ID_BASIC_TOGGLE_5 = 10007,
    ID_BASIC_TOGGLE_6 = 10008,
    ID_BASIC_TOGGLE_7 = 10022,
    ID_BASIC_TOGGLE_8 = 10023,
    ID_BASIC_TOGGLE_9 = 10024,
    ID_BASIC_TOGGLE_10 = 10025,
    ID_BASIC_PAGE_BUTTON = 10009,
    ID_BASIC_LIBRARY_BUTTON = 10010,
    ID_BASIC_PROPERTIES_BUTTON = 10011,
    ID_BASIC_SETTINGS_BUTTON = 10012,
    ID_BASIC_UPDATE_BUTTON = 10013,
    ID_BASIC_HELP_BUTTON = 10016,
    ID_BASIC_PRODUCT_LIST = 10017,
    ID_BASIC_CHANGE_MAP_BUTTON = 10018,
    ID_BASIC_VIEW_BUTTON = 10021,
    ID_BASIC_POINTER_LABEL = 10067,
    ID_BASIC_PORTAL_BUTTON = 10107,
    ID_BASIC_ZOOM_IN = 10112,
    ID_BASIC_ZOOM_OUT = 10132,
    ID_BASIC_DOWNLOAD_BUTTON = 10322
};

class BasicWindow : public wxFrame
{
    wxDECLARE_CLASS(BasicWindow);

public:
    // One entry of the Personality menu.
    struct struct_PersonalityIDs {
        wxString regionName;    // the personality's Region
        wxString graphicName;   // its picture, inside "Icons/"
        int menuId = 0;         // the id of its menu item
    };

    BasicWindow();
    BasicWindow(wxWindow* parent, wxWindowID id = ID_BASICWINDOW, const wxString& caption = _("Basic Window"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 800),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX |
                             wxRESIZE_BORDER);
    ~BasicWindow() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);
    void Init();
    void CreateControls();

    // The window's pictures by their relative names ("res/...", "Icons/..."),
    // read from the resources folder on every call; an unknown name gives the
    // empty bitmap or icon.
    static wxBitmap GetBitmapResource(const wxString& name);
    static wxIcon GetIconResource(const wxString& name);
    static bool ShowToolTips() { return true; }

    // --- personalities and product buttons
    // Loads the buttons of `region` (page 1, nothing pressed, its picture).
    // False, after a notice, when the region has fewer than twenty rows; the
    // buttons after the last row read are then empty and disabled.
    bool LoadPersonality(const wxString& region);
    // Makes `region` the personality in use: the Basic batch loses its items
    // and takes the name; the area stays.
    void GetNewPersonality(const wxString& region);
    // Restores personality, pressed products, list rows and area from the
    // Basic batch (with `zoom` the map shows the area). False when the stored
    // personality is missing or cannot be loaded; the area is restored and
    // shown either way.
    bool LoadCurrentPersonality(bool zoom);
    // Shows the current page: labels, marks and the page captions.
    void SetProductButtons();
    // A toggle's new state (the toolkit has already changed it).
    void OnTogglebuttonClick(wxToggleButton* button, int position);
    // The first product index whose file id is `recid`, or -1.
    int GetButtonIdxFromRecid(const wxString& recid) const;

    // --- product list
    void AppendToListCtrl(CFileInfo* item, int index);
    // Deletes the first row whose item data is `index`; its row or -1.
    int RemoveFromListCtrl(CFileInfo* item, int index);
    // Opens the downloaded file of the product of a list row.
    void ViewItem(int row);

    // --- the Basic batch's stored area (batch row 1 of the user database,
    // read and written through model/BasicBatch.h)
    // Stores the window's m_lat, m_lon and m_width in batch row 1, the width
    // first brought into 1..80 (the map shows the box that is stored); a
    // database error propagates as wxSQLite3Exception.
    void UpdateCoords();

    // --- commands
    void OnDownloadButtonClick(wxCommandEvent& event);
    void OnTransferDone(wxCommandEvent& event);
    void OnPropertiesButtonClick(wxCommandEvent& event);
    void OnSettingsButtonClick(wxCommandEvent& event);
    void OnChkUpdatesButtonClick(wxCommandEvent& event);
    void OnHelpButtonClick(wxCommandEvent& event);
    void OnMoreProductsButtonClick(wxCommandEvent& event);
    void OnPortalButtonClick(wxCommandEvent& event);
    void OnChangeMapViewButtonClick(wxCommandEvent& event);
    void OnZoomInClick(wxCommandEvent& event);
    void OnZoomOutClick(wxCommandEvent& event);
    void OnViewButtonClick(wxCommandEvent& event);
    void OnWeatherPageButtonClick(wxCommandEvent& event);
    void OnTogglebutton1Click(wxCommandEvent& event);
    void OnTogglebutton2Click(wxCommandEvent& event);
    void OnTogglebutton3Click(wxCommandEvent& event);
    void OnTogglebutton4Click(wxCommandEvent& event);
    void OnTogglebutton5Click(wxCommandEvent& event);
    void OnTogglebutton6Click(wxCommandEvent& event);
    void OnTogglebutton7Click(wxCommandEvent& event);
    void OnTogglebutton8Click(wxCommandEvent& event);
    void OnTogglebutton9Click(wxCommandEvent& event);
    void OnTogglebutton10Click(wxCommandEvent& event);
    // Menu commands (bound when the window is built).
    void onPersonalityMenuItemClick(wxCommandEvent& event);
    void OnMenuBatchModeClick(wxCommandEvent& event);
    void OnMenuContentWizardClick(wxCommandEvent& event);
    void OnMenuLoadWindowClick(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    // A box drawn on the map (bound on the map).
    void OnMapBox(MapBoxEvent& event);

    // How the batch properties dialog is run (returns wxID_OK after it wrote
    // the batch). Tests put their own in place; an empty function restores
    // the program's dialog. Returns the previous one.
    using BatchDialogRunner = std::function<int(CBatch* batch, bool isNew)>;
    static BatchDialogRunner SetBatchDialogRunner(BatchDialogRunner runner);

    // Personalities of the menu, in menu order.
    std::vector<struct_PersonalityIDs> m_personalities;
    int m_personalityCount;
    // The loaded personality's labels and file ids by product index (always
    // twenty entries; an empty id is a button without a product).
    wxArrayString m_buttonTexts;
    wxArrayString m_buttonRecids;
    int m_buttonSelected[tw::basic::kButtonCount];
    int m_page;

    // The window's map box.
    float m_lat;
    float m_lon;
    float m_width;

    // How often the content wizard was opened from this window.
    int m_wizardRequests;

    // Controls.
    wxPanel* m_panel;
    wxToggleButton* m_toggleButtons[tw::basic::kButtonsPerPage];
    wxStaticBox* m_pageBox;
    wxStaticBox* m_otherPageBox;
    wxButton* m_pageButton;
    wxStaticBitmap* m_regionPicture;
    wxListCtrl* m_productList;
    wxMapPanel* m_mapPanel;
    wxStaticBitmap* m_pointerPicture;
    wxStaticText* m_pointerLabel;
    wxPictureButton* m_downloadButton;
    wxMenu* m_modeMenu;
    wxMenu* m_personalityMenu;

private:
    void BuildPersonalityMenu();
    void AppendRow(CBatch& batch, CFileInfo& item, int index);
    void ShowRegionPicture(const wxString& region);
    void ShowArea(int zoom);
    void PlacePointerLabel();
    void FitToContent();

    wxSQLite3Database* m_catalogueDb;
    CBatchFolder* m_batchFolder;
    // The area waits for the map's first size (see ShowArea).
    bool m_areaPending;
    // m_lat, m_lon and m_width hold the stored area (or one stored since):
    // only then may a download send them.
    bool m_areaKnown;
    int m_pendingZoom;

    wxDECLARE_EVENT_TABLE();
};
