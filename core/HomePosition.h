// A square area on the map, or a single point: centre latitude and longitude
// in decimal degrees (north and east positive), the side of the box in whole
// degrees and two flags. For the application's home the first flag is
// GPS/PlotHome (draw the home marker) and the second HomeLocation/UseLastGPS;
// everywhere else the first flag says the record holds a position.
#pragma once

#include <wx/object.h>

class HomePosition : public wxObject
{
public:
    HomePosition() = default;
    HomePosition(double lat_, double lon_, int width_, bool valid_ = true)
        : lat(lat_), lon(lon_), width(width_), valid(valid_) {}
    HomePosition(const HomePosition& o)
        : wxObject(), lat(o.lat), lon(o.lon), width(o.width), valid(o.valid), useLastGps(o.useLastGps) {}
    HomePosition& operator=(const HomePosition& o)
    {
        lat = o.lat;
        lon = o.lon;
        width = o.width;
        valid = o.valid;
        useLastGps = o.useLastGps;
        return *this;
    }
    ~HomePosition() override = default;

    double lat = 0.0;
    double lon = 0.0;
    int width = 0;
    bool valid = false;
    bool useLastGps = false;
};
