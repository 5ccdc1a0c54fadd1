// The items the map control shows and lets the user toggle: buoys and
// forecast zones (outlines of positions), and storing their selections.
#pragma once

#include <functional>

#include <wx/colour.h>
#include <wx/dynarray.h>
#include <wx/gdicmn.h>
#include <wx/object.h>
#include <wx/string.h>

#include "windows/map/MapGeometry.h"

class wxSQLite3Database;

// One buoy on the map.
class Buoy : public wxObject
{
public:
    Buoy();
    Buoy(const Buoy& other);
    Buoy& operator=(const Buoy& other);
    ~Buoy() override;

    int m_x;                 // device pixel of the position at the last paint
    int m_y;
    wxRect m_hitRect;        // (m_x - 4, m_y - 4, 9, 9): clicks and tips
    wxString m_stationID;
    wxString m_buoyName;
    double m_lat;
    double m_lon;
    bool m_selected;
    bool m_changed;          // toggled since it was created
};
WX_DECLARE_OBJARRAY(Buoy, BuoyArray);

// One vertex of a zone outline.
class Position : public wxObject
{
public:
    Position(double lat = 0.0, double lon = 0.0, int part = 0) : m_lat(lat), m_lon(lon), m_part(part) {}
    Position(const Position& o) : wxObject(), m_lat(o.m_lat), m_lon(o.m_lon), m_part(o.m_part) {}
    Position& operator=(const Position& o)
    {
        m_lat = o.m_lat;
        m_lon = o.m_lon;
        m_part = o.m_part;
        return *this;
    }
    double m_lat;
    double m_lon;
    int m_part;
};
WX_DECLARE_OBJARRAY(Position, PositionArray);

// One forecast zone on the map.
class WeatherZone : public wxObject
{
public:
    WeatherZone();
    WeatherZone(const WeatherZone& other);
    WeatherZone& operator=(const WeatherZone& other);
    ~WeatherZone() override;

    PositionArray m_outline;         // by part, then in table order
    mapgeo::MapPolygon m_region;     // device pixels at the last paint: clicks and tips
    wxString m_zcode;
    wxString m_description;
    bool m_selected;
    bool m_changed;
    wxColour m_colour;
};
WX_DECLARE_OBJARRAY(WeatherZone, WeatherZoneArray);

// Runs `store` inside one transaction of `db`: committed when it returns, rolled
// back when it throws (the exception propagates).
void StoreInOneTransaction(wxSQLite3Database& db, const std::function<void()>& store);
// Stores the selected flag of every changed zone in MZones inside one
// transaction (none when no zone changed), codes bound. Returns the number of
// zones written; on a database error the transaction is rolled back and the
// wxSQLite3Exception propagates.
int StoreZoneSelections(wxSQLite3Database& db, const WeatherZoneArray& zones);
// Stores the selected flag of every changed buoy in Buoys inside one
// transaction (none when no buoy changed), station ids bound. Returns the
// number of buoys written; on a database error the transaction is rolled back
// and the wxSQLite3Exception propagates.
int StoreBuoySelections(wxSQLite3Database& db, const BuoyArray& buoys);
