#!/usr/bin/env python3
"""Writes the bulk content files of the seed databases:

  data/zir/products.csv, data/zir/buttons.csv, data/zir/MetHighSeasZones.csv
  data/MarineZones/Buoys.csv, MZones.csv, MZonesPos.csv, RadarCities.csv

The catalogue is our own: product names, file ids, server-side names, prices
and sizes are invented to look like a real weather-data service. Buoys are
placed at random (with a fixed seed) on open water, tested against the world
map in res/, and named after the nearest landmark.

Conventions:
  - products.Lon is degrees east in [0, 360): the suggestion engine computes
    TransLon = Lon - home longitude, less 360 above 180, which then stays in
    (-180, 180] for any home longitude; an area across the date line (for
    example 140E to 100W) is one continuous range. Lat/Height/Width give the
    area's centre latitude and extent in degrees; world-wide products use
    Lat 0, Lon 180, Height 180, Width 360.
  - MarineZones positions use [-180, 180], west negative.
  - Catalogue rows are written grouped by category, region and chart type.

Hand-written files (Version, hosts, ports, batches) are not touched.
Run from anywhere: python3 tools/seedcontent/make_content.py
Needs ImageMagick's convert to read the world map.
"""
import csv
import math
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import geography as geo  # noqa: E402

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(TOP, "data")
rnd = random.Random(4711)


# --------------------------------------------------------------------------
# World map as a water mask
# --------------------------------------------------------------------------
class WaterMask:
    def __init__(self, png):
        ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        parts = ppm.split(maxsplit=4)
        assert parts[0] == b"P6"
        self.w, self.h = int(parts[1]), int(parts[2])
        self.px = parts[4]
        self.sea = self.rgb(1706, 1024)  # 0N 30W, open Atlantic

    def rgb(self, x, y):
        i = 3 * (y * self.w + x)
        return self.px[i:i + 3]

    def xy(self, lat, lon):
        x = int(self.w * ((lon + 180.0) % 360.0) / 360.0)
        y = int(self.h * (90.0 - lat) / 180.0)
        return min(max(x, 0), self.w - 1), min(max(y, 0), self.h - 1)

    def open_water(self, lat, lon, margin=3):
        x0, y0 = self.xy(lat, lon)
        for dy in range(-margin, margin + 1):
            for dx in range(-margin, margin + 1):
                x, y = (x0 + dx) % self.w, min(max(y0 + dy, 0), self.h - 1)
                if self.rgb(x, y) != self.sea:
                    return False
        return True


# --------------------------------------------------------------------------
# Helpers
# --------------------------------------------------------------------------
def east360(lon):
    v = lon % 360.0
    return 0.0 if abs(v - 360.0) < 1e-9 else v


def span_lon(west, east):
    """Width and centre (in [-180, 180]) of a longitude range that may cross
    the date line (west > east)."""
    if east < west:
        east += 360.0
    width = east - west
    centre = west + width / 2.0
    if centre > 180.0:
        centre -= 360.0
    return width, centre


def money(v):
    return "%.2f" % v


def fmt(v, nd=2):
    return ("%." + str(nd) + "f") % v


def distance_nm(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dl = math.radians(lon2 - lon1)
    c = math.sin(p1) * math.sin(p2) + math.cos(p1) * math.cos(p2) * math.cos(dl)
    return math.degrees(math.acos(max(-1.0, min(1.0, c)))) * 60.0


def bearing(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dl = math.radians(lon2 - lon1)
    y = math.sin(dl) * math.cos(p2)
    x = math.cos(p1) * math.sin(p2) - math.sin(p1) * math.cos(p2) * math.cos(dl)
    return (math.degrees(math.atan2(y, x)) + 360.0) % 360.0


COMPASS = ["N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE", "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"]


def compass(deg):
    return COMPASS[int((deg + 11.25) // 22.5) % 16]


# --------------------------------------------------------------------------
# Entries that make the suggestion engine's rules matter
# --------------------------------------------------------------------------
# Fixed values (no random draws), so that the generated rows stay as they are.
#
# Marine zones: a coastal zone code and a buoy station id holding the LIKE
# wildcard "_", each with a look-alike ("PMZ118", "WKS01") that an unescaped
# pattern would also match, and a radar city holding an apostrophe. Their
# catalogue items are added by the build_* functions below, some with the
# code in other letter case or in the middle of the title.
EDGE_ZONES = [  # (ID, zcode, region, description, south, north, west, east, Map)
    (901, "PMZ118", "PACIFIC_ISLANDS", "Wake Island Coastal Waters", 19.00, 19.60, 166.30, 166.95, "Coastal"),
    (902, "PMZ_18", "PACIFIC_ISLANDS", "Wake Island Lagoon", 19.25, 19.35, 166.55, 166.65, "Coastal"),
]
EDGE_BUOYS = [  # (StationID, BuoyName, lat, lon)
    ("WK_01", "Wake Island Lagoon", 19.300, 166.600),
    ("WKS01", "Wake Island South", 19.150, 166.700),
]
EDGE_RADARS = [  # (ID, City, RadarType, lat, lon)
    (901, "Kaua'i, HI", "NEXRAD", 21.89, -159.55),
]

# Areas around the South Pacific homes that lie across the date line.
SW_PACIFIC = (-25.0, 180.0, 50.0, 60.0)      # 150E to 150W
NEW_ZEALAND = (-37.0, 176.0, 8.0, 10.0)
FIJI = (-18.0, 178.0, 6.0, 8.0)             # west of the date line, found from 178W


def engine_edge_marine_entries():
    """MZones, MZonesPos, Buoys and RadarCities rows of the entries above,
    in the form main() writes."""
    zones, pos = [], []
    for zid, code, region, desc, s, n, w, e, kind in EDGE_ZONES:
        _, c_lon = span_lon(w, e)
        zones.append({"ID": str(zid), "zcode": code, "region": region, "description": desc,
                      "lat": fmt((s + n) / 2.0, 3), "lon": fmt(c_lon, 3), "Map": kind})
        for lat, lon in square(s, n, w, e):
            pos.append((code, lat, lon, 1))
    buoys = [{"StationID": sid, "BuoyName": name, "Latitude": lat, "Longitude": lon}
             for sid, name, lat, lon in EDGE_BUOYS]
    radars = [(str(rid), city, kind, "%.2f" % lat, "%.2f" % lon) for rid, city, kind, lat, lon in EDGE_RADARS]
    return {"zones": zones, "pos": pos, "buoys": buoys, "radars": radars}


# --------------------------------------------------------------------------
# Catalogue
# --------------------------------------------------------------------------
PRODUCT_COLUMNS = ["Category", "Region", "ChartType", "FileID", "Title", "Path", "File", "Description",
                   "Price", "Compression", "RawSize", "CompressedSize", "Source", "RaceDisable",
                   "Lat", "Lon", "Height", "Width"]
products = []
file_ids = set()


def add(cat, region, ctype, fid, title, path, desc, price, raw_kb, comp_kb, source,
        area, compression="bz2", race=0, file_name=None):
    lat, lon, height, width = area
    if fid:
        assert fid not in file_ids, fid
        file_ids.add(fid)
    if file_name is None:
        name = path.split("/")[-1]
        if "=>" in name:
            name = name.split("=>", 1)[1]
        file_name = name
    products.append({
        "Category": cat, "Region": region, "ChartType": ctype, "FileID": fid, "Title": title,
        "Path": path, "File": file_name, "Description": desc, "Price": money(price),
        "Compression": compression, "RawSize": str(int(raw_kb)), "CompressedSize": str(int(comp_kb)),
        "Source": source, "RaceDisable": str(race),
        "Lat": fmt(lat), "Lon": fmt(east360(lon)), "Height": fmt(height), "Width": fmt(width),
    })


def area_box(south, north, west, east):
    width, centre = span_lon(west, east)
    return ((south + north) / 2.0, centre, north - south, width)


WORLD = (0.0, 180.0, 180.0, 360.0)

AREAS = {
    "North Atlantic": (40.0, -40.0, 50.0, 80.0),
    "North Pacific": (40.0, -170.0, 50.0, 140.0),
    "Gulf of Mexico and Caribbean": (21.0, -80.0, 24.0, 46.0),
    "South Pacific": (-25.0, -170.0, 50.0, 90.0),
    "Europe": (50.0, 5.0, 36.0, 60.0),
    "Australia and New Zealand": (-32.0, 155.0, 40.0, 60.0),
    "Indian Ocean": (-10.0, 75.0, 60.0, 80.0),
    "Mediterranean": (38.0, 17.0, 16.0, 44.0),
    "Baltic Sea": (59.0, 20.0, 14.0, 22.0),
    "Barents Sea": (73.0, 35.0, 14.0, 40.0),
    "North Sea": (56.0, 3.0, 12.0, 16.0),
    "Arctic": (75.0, 180.0, 30.0, 360.0),
    "Europe Continental": (50.0, 10.0, 40.0, 60.0),
}


def grib_sizes(days, per_day):
    raw = per_day * days + per_day // 3
    return raw, int(raw * 0.86)


def build_grib():
    # World-wide models.
    cat = "GRIB Global"
    gfs = [("GFS Wind", "=>avnwind", "10 m wind speed and direction", 118),
           ("GFS Surface Pressure", "/avnprmsl", "mean sea-level pressure", 64),
           ("GFS 500 mb Heights", "/avnhgt500mb", "500 mb geopotential height", 60),
           ("GFS Precipitation", "/avnprcp", "accumulated precipitation", 72),
           ("GFS Cloud Cover", "/avncld", "total cloud cover", 70),
           ("GFS Air Temperature", "/avnairtemp", "2 m air temperature", 66),
           ("GFS Lifted Index", "=>avn4lftx", "surface lifted index (thunderstorm potential)", 58)]
    n = 0
    for ctype, stem, what, per_day in gfs:
        for days in range(1, 8):
            n += 1
            raw, comp = grib_sizes(days, per_day)
            base = "grib/global" + stem
            add(cat, "Global", ctype, "gfs%03d" % n,
                "GFS %s - %d Day (1.0 deg, 6 hourly)" % (ctype[4:], days),
                "%s.%dday.grb" % (base, days),
                "Global GFS model, %s, %d day forecast every 6 hours on a 1 degree grid" % (what, days),
                0.20 + 0.10 * days, raw, comp, "NCEP", WORLD)
    add(cat, "Global", "GFS Extended", "", "GFS Wind - 16 Day Extended",
        "grib/global=>avnwind.16day.grb", "Retired: 16 day extended GFS wind", 2.50, 1900, 1630, "NCEP", WORLD)
    add(cat, "Global", "GFS Extended", "gfsx08", "GFS Wind - 8 Day Extended (1.0 deg, 12 hourly)",
        "grib/global=>avnwind.8day.grb", "Global GFS model, 10 m wind, 8 day forecast every 12 hours", 1.10,
        620, 533, "NCEP", WORLD)
    nmg = [("NMG Wind", "=>surfwind", "surface wind", 104),
           ("NMG Surface Pressure", "=>prsml", "sea-level pressure", 56),
           ("NMG 500 mb Heights", "=>hgt500mb", "500 mb height", 54),
           ("NMG Precipitation", "=>prcp", "precipitation", 62),
           ("NMG Cloud Cover", "=>cld", "cloud cover", 60),
           ("NMG Air Temperature", "=>airtemp", "air temperature", 58),
           ("NMG Waves", "=>prwav", "significant wave height and direction", 80)]
    n = 0
    for ctype, stem, what, per_day in nmg:
        for days in range(1, 6):
            n += 1
            raw, comp = grib_sizes(days, per_day)
            add(cat, "Global", ctype, "nmg%03d" % n,
                "NMG %s - %d Day (1.0 deg)" % (ctype[4:], days),
                "grib/navy%s.%dday.grb" % (stem, days),
                "Navy global model (NMG), %s, %d day forecast" % (what, days),
                0.20 + 0.10 * days, raw, comp, "FNMOC", WORLD)
    n = 0
    for ctype, stem, what, per_day in [("WW3 Wind", "=>wind", "wind driving the wave model", 96),
                                       ("WW3 Waves", "=>wave", "significant wave height, period and direction", 120),
                                       ("WW3 Swell", "=>Swell", "primary swell height, period and direction", 90)]:
        for days in range(1, 8):
            n += 1
            raw, comp = grib_sizes(days, per_day)
            add(cat, "Global", ctype, "ww3%03d" % n,
                "WaveWatch III %s - %d Day" % (ctype[4:], days),
                "grib/ww3%s.%dday.grb" % (stem, days),
                "Global WaveWatch III, %s, %d day forecast" % (what, days),
                0.30 + 0.10 * days, raw, comp, "NCEP", WORLD)
    # European wave model: area products (the suggestion engine limits them to the home box).
    n = 0
    for ctype, stem, what in [("WW3 Europe Wind", "=>bwxeuwind", "wind"),
                              ("WW3 Europe Waves", "=>bwxeuwave", "waves")]:
        for days in range(1, 6):
            n += 1
            raw, comp = grib_sizes(days, 70)
            add(cat, "Europe", ctype, "bwxeu%02d" % n,
                "WaveWatch III Europe %s - %d Day (0.25 deg)" % (what.capitalize(), days),
                "grib/ww3eu%s.%dday.grb" % (stem, days),
                "European WaveWatch III nest, %s, %d day forecast on a 0.25 degree grid" % (what, days),
                0.40 + 0.10 * days, raw, comp, "NCEP", AREAS["Europe"])

    # Regional high-resolution models, each at two grid spacings.
    cat = "GRIB Regional"
    seas = [("Mediterranean", "fxmed"), ("Baltic Sea", "fxbas"), ("Barents Sea", "fxbks"), ("North Sea", "fxnos")]
    for region, code in seas:
        n = 0
        for ctype, param in [("Wind", "wind"), ("Waves", "wave")]:
            for res_tag, res_text in [("", "0.1 deg"), ("25", "0.25 deg")]:
                for days in range(1, 4):
                    n += 1
                    per_day = 90 if res_tag == "" else 40
                    raw, comp = grib_sizes(days, per_day)
                    add(cat, region, ctype, "%s%02d" % (code, n),
                        "%s %s - %d Day (%s)" % (region, ctype, days, res_text),
                        "grib/regional=>%s%s%s.%dday.grb" % (code, res_tag, param, days),
                        "%s high-resolution model, %s, %d day forecast, %s grid" % (region, ctype.lower(), days, res_text),
                        0.35 + 0.15 * days + (0.25 if res_tag == "" else 0.0), raw, comp, "DMI", AREAS[region])
    for region, code in [("Arctic", "fxpol"), ("Europe Continental", "fxeur")]:
        n = 0
        for ctype, param in [("Wind", "wind"), ("Surface Pressure", "prmsl"), ("500 mb Heights", "hgt500mb"),
                             ("Precipitation", "prcp"), ("Cloud Cover", "ccc"), ("Air Temperature", "airtemp")]:
            for res_tag, res_text in [("", "0.1 deg"), ("25", "0.25 deg")]:
                for days in (1, 3):
                    n += 1
                    per_day = 110 if res_tag == "" else 45
                    raw, comp = grib_sizes(days, per_day)
                    add(cat, region, ctype, "%s%02d" % (code, n),
                        "%s %s - %d Day (%s)" % (region, ctype, days, res_text),
                        "grib/regional=>%s%s%s.%dday.grb" % (code, res_tag, param, days),
                        "%s model, %s, %d day forecast, %s grid" % (region, ctype.lower(), days, res_text),
                        0.40 + 0.15 * days + (0.25 if res_tag == "" else 0.0), raw, comp, "DMI", AREAS[region])


CHART_REGIONS = [
    ("North Atlantic", "natl", True), ("North Pacific", "npac", True),
    ("Gulf of Mexico and Caribbean", "gmc", True), ("South Pacific", "spac", True),
    ("Europe", "eur", False), ("Australia and New Zealand", "anz", True), ("Indian Ocean", "ind", True),
]


def build_charts():
    cat = "Weather Charts"
    n = 0
    for region, code, tropical in CHART_REGIONS:
        kinds = [("Surface Analysis", [("Surface Analysis", "sfc_anal"), ("24 Hour Surface Forecast", "sfc_24h"),
                                       ("48 Hour Surface Forecast", "sfc_48h")]),
                 ("500 mb", [("500 mb Analysis", "500_anal"), ("48 Hour 500 mb Forecast", "500_48h")]),
                 ("Wind", [("24 Hour Wind Forecast", "wind_24h"), ("48 Hour Wind Forecast", "wind_48h")]),
                 ("Sea State", [("Sea State Analysis", "seas_anal")]),
                 ("Wind Wave", [("24 Hour Wind and Wave Forecast", "ww_24h"),
                                ("48 Hour Wind and Wave Forecast", "ww_48h")])]
        if tropical:
            kinds.append(("Cyclone", [("Tropical Cyclone Outlook", "tc_outlook"),
                                      ("Tropical Cyclone Track Forecast", "tc_track")]))
        for ctype, items in kinds:
            for title, stem in items:
                n += 1
                size = rnd.randint(45, 140)
                add(cat, region, ctype, "wc%03d" % n, "%s - %s" % (title, region),
                    "charts/%s_%s.gif" % (code, stem),
                    "%s chart for the %s" % (title, region), rnd.choice([0.25, 0.30, 0.35, 0.50]),
                    size, size, "NWS", AREAS[region], compression="")
            if region == "North Atlantic" and ctype == "Surface Analysis":
                add(cat, region, ctype, "", "96 Hour Surface Forecast - North Atlantic",
                    "charts/natl_sfc_96h.gif", "Retired: 96 hour surface forecast", 0.35, 90, 90, "NWS",
                    AREAS[region], compression="")


def build_animations():
    cat = "Animation"
    n = 0
    for region, code in [("North Atlantic", "natl"), ("North Pacific", "npac"),
                         ("Gulf of Mexico and Caribbean", "gmc")]:
        for ctype, stem, what in [("Surface Pressure Loop", "sfc_loop", "72 hour surface pressure forecast loop"),
                                  ("Satellite Loop", "sat_loop", "last 12 hours of infrared satellite images")]:
            n += 1
            size = rnd.randint(600, 1400)
            add(cat, region, ctype, "an%02d" % n, "%s - %s" % (ctype, region),
                "anim/%s_%s.gif" % (code, stem), "Animated %s, %s" % (what, region),
                1.25, size, size, "NWS", AREAS[region], compression="")
    for fid, ctype, stem, what, size in [
            ("an07", "Surface Pressure Loop", "sfc_loop", "72 hour surface pressure forecast loop", 980),
            ("an08", "Satellite Loop", "sat_loop", "last 12 hours of infrared satellite images", 1210)]:
        add(cat, "Southwest Pacific", ctype, fid, "%s - Southwest Pacific" % ctype, "anim/swpac_%s.gif" % stem,
            "Animated %s, Southwest Pacific" % what, 1.25, size, size, "MetService", SW_PACIFIC, compression="")


ZONE_CHART_TYPE = {
    "WEST": "West Coast", "EAST": "East Coast", "GREAT_LAKES": "Great Lakes", "SOUTH": "Southeast",
    "GULF": "Gulf Coast", "ALASKA": "Alaska", "PACIFIC_ISLANDS": "Hawaii and Pacific Islands",
    "PR_VI": "Puerto Rico and Virgin Islands",
}

CANADA = [
    ("Strait of Georgia", 49.2, -123.6), ("Juan de Fuca Strait", 48.3, -123.9),
    ("West Coast Vancouver Island North", 50.3, -128.0), ("Haida Gwaii", 53.0, -132.5),
    ("Lake Ontario", 43.6, -77.8), ("Lake Erie", 42.2, -81.2), ("Georgian Bay", 45.2, -80.8),
    ("Gulf of St. Lawrence - Anticosti", 49.5, -63.0), ("Cabot Strait", 47.4, -59.8),
    ("Grand Banks", 45.5, -51.0), ("Eastern Shore of Nova Scotia", 44.6, -62.5), ("Bay of Fundy", 45.0, -65.8),
]

highseas_products = {}   # zcode -> [FileID]


def build_text():
    cat = "Text"
    for region_key, zones in geo.COASTAL.items():
        for code, desc, s, n, w, e in zones:
            add(cat, "US Coastal", ZONE_CHART_TYPE[region_key], "cz" + code.lower(),
                "%s %s" % (code, desc), "text/coastal/%s.txt" % code.lower(),
                "Coastal waters forecast: %s" % desc, 0.10, rnd.randint(4, 9), 2, "NWS", area_box(s, n, w, e))
        if region_key == "PACIFIC_ISLANDS":
            build_edge_zone_text(cat)
        if region_key == "EAST":
            for code, desc, s, n, w, e in geo.EAST_OUTER:
                add(cat, "US Coastal", "East Coast", "cz" + code.lower(), "%s %s" % (code, desc),
                    "text/coastal/%s.txt" % code.lower(), "Outer waters forecast: %s" % desc, 0.10,
                    rnd.randint(4, 9), 2, "NWS", area_box(s, n, w, e))
    for region, zones in geo.OFFSHORE.items():
        for code, desc, s, n, w, e in zones:
            add(cat, "US Offshore", region, "oz" + code.lower(), "%s %s" % (code, desc),
                "text/offshore/%s.txt" % code.lower(), "Offshore waters forecast: %s" % desc, 0.15,
                rnd.randint(5, 12), 3, "NWS", area_box(s, n, w, e))
    for i, (name, lat, lon) in enumerate(CANADA, 1):
        add(cat, "Canada", "Marine Forecast", "ec%02d" % i, "%s - Marine Forecast" % name,
            "text/canada/marine%02d.txt" % i, "Environment Canada marine forecast for %s" % name, 0.10,
            rnd.randint(4, 8), 2, "ENVCAN", (lat, lon, 3.0, 5.0))
    add(cat, "Buoy Forecasts", "Site Forecast", "bw1", "BuoyWx Wind and Wave - 7 Day at Your Position",
        "text/buoywx=>bwwindwave.txt", "Site-specific forecast of wind and waves out 7 days for the position sent",
        0.50, 14, 4, "Tidewright", WORLD)
    add(cat, "Buoy Forecasts", "Site Forecast", "bw4", "BuoyWx General Conditions - 7 Day at Your Position",
        "text/buoywx=>bwgeneral.txt", "Site-specific forecast of temperature, precipitation, wind and cloud out 7 days",
        0.50, 16, 5, "Tidewright", WORLD)
    for i, (code, desc, s, n, w, e) in enumerate(geo.HIGHSEAS, 1):
        fid = "hs%02d" % i
        add(cat, "High Seas", "High Seas Forecast", fid, "High Seas Forecast - %s" % desc,
            "text/highseas/%s.txt" % code.lower(), "High seas forecast and warnings: %s" % desc, 0.20,
            rnd.randint(8, 20), 4, "NWS", area_box(s, n, w, e))
        highseas_products.setdefault(code, []).append(fid)
    # Basin-wide bulletins that also cover several zones.
    add(cat, "High Seas", "High Seas Forecast", "hs90", "High Seas Forecast - North Pacific Basin",
        "text/highseas/npac_basin.txt", "Basin-wide North Pacific high seas forecast", 0.30, 30, 7, "NWS",
        (42.5, -175.0, 25.0, 90.0))
    add(cat, "High Seas", "High Seas Forecast", "hs91", "High Seas Forecast - North Atlantic Basin",
        "text/highseas/natl_basin.txt", "Basin-wide North Atlantic high seas forecast", 0.30, 30, 7, "NWS",
        (40.0, -50.0, 40.0, 50.0))
    for code in ("HSNPE", "HSNPW"):
        highseas_products[code].append("hs90")
    for code in ("HSNAE", "HSNAW"):
        highseas_products[code].append("hs91")
    for mid, numeral, code, desc, lat, lon in geo.METAREAS:
        fid = "ma%02d" % mid
        add(cat, "METAREA", "METAREA Bulletin", fid, "METAREA %s - %s" % (numeral, desc),
            "text/metarea/%s.txt" % code.lower(), "GMDSS weather bulletin for METAREA %s, %s" % (numeral, desc),
            0.20, rnd.randint(10, 24), 5, "WMO", (lat, lon, 40.0, 60.0))
        highseas_products.setdefault(code, []).append(fid)
    highseas_products["MA12"].append("hs90")
    highseas_products["MA04"].append("hs91")
    # The South West Pacific bulletin comes with the basin's surface analysis,
    # which the weather-chart choices also find.
    chart = [p["FileID"] for p in products if p["Title"] == "Surface Analysis - South Pacific"]
    assert len(chart) == 1
    highseas_products["MA14"].append(chart[0])


def build_edge_zone_text(cat):
    """Forecasts of the edge zones: one code at the start of two titles, one
    title in lower case."""
    by_code = {z[1]: z for z in EDGE_ZONES}
    _, code, _, desc, s, n, w, e, _ = by_code["PMZ118"]
    add(cat, "US Coastal", "Hawaii and Pacific Islands", "czpmz118", "%s %s" % (code, desc),
        "text/coastal/pmz118.txt", "Coastal waters forecast: %s" % desc, 0.10, 6, 2, "NWS", area_box(s, n, w, e))
    add(cat, "US Coastal", "Hawaii and Pacific Islands", "czpmz118w", "%s %s - Marine Warnings" % (code, desc),
        "text/coastal/pmz118_warn.txt", "Marine warnings in force: %s" % desc, 0.05, 3, 1, "NWS",
        area_box(s, n, w, e))
    _, code, _, desc, s, n, w, e, _ = by_code["PMZ_18"]
    add(cat, "US Coastal", "Hawaii and Pacific Islands", "czpmz_18", "%s %s" % (code.lower(), desc),
        "text/coastal/pmz_18.txt", "Coastal waters forecast: %s" % desc, 0.10, 4, 2, "NWS", area_box(s, n, w, e))


SAT_REGIONS = [
    ("GOES East", "goese", (25.0, -75.0, 50.0, 70.0), True),
    ("GOES West", "goesw", (35.0, -135.0, 50.0, 70.0), True),
    ("Hawaii", "hawaii", (21.0, -157.0, 20.0, 30.0), False),
    ("Gulf of Maine", "gom", (43.0, -68.0, 8.0, 12.0), False),
    ("Caribbean", "carib", (17.0, -70.0, 16.0, 30.0), False),
    ("Europe and East Atlantic", "euratl", (45.0, -10.0, 40.0, 60.0), False),
    ("Western Pacific", "wpac", (20.0, 140.0, 40.0, 60.0), False),
]


def build_satellite():
    cat = "Satellite Imagery"
    n = 0
    for region, code, area, with_charts in SAT_REGIONS:
        kinds = [("Infrared", "ir"), ("Visible", "vis"), ("Water Vapor", "wv")]
        if with_charts:
            kinds += [("Image with Chart-Surface Analysis", "ir_sfc"), ("Image with Chart-Wind Wave", "ir_ww")]
        for ctype, stem in kinds:
            n += 1
            size = rnd.randint(90, 260)
            add(cat, region, ctype, "sat%03d" % n, "Most Recent %s - %s" % (ctype, region),
                "sat/%s_%s_latest.jpg" % (code, stem), "Latest %s satellite image, %s" % (ctype.lower(), region),
                0.50, size, size, "NESDIS", area, compression="")
            if ctype in ("Infrared", "Visible"):
                n += 1
                add(cat, region, ctype, "sat%03d" % n, "%s 6 Hours Ago - %s" % (ctype, region),
                    "sat/%s_%s_6h.jpg" % (code, stem), "%s satellite image from six hours earlier, %s"
                    % (ctype, region), 0.40, size, size, "NESDIS", area, compression="")
            if region == "Hawaii" and ctype == "Visible":
                add(cat, region, ctype, "satx01", "Most Recent Visible - Kaua'i, HI to Oahu",
                    "sat/hawaii_vis_kauai_latest.jpg", "Latest visible satellite image, Kauai Channel", 0.50, 150,
                    150, "NESDIS", (21.6, -158.8, 3.0, 4.0), compression="")
            if region == "GOES West" and ctype == "Visible":
                add(cat, region, ctype, "", "Visible Loop - GOES West", "sat/goesw_vis_loop.gif",
                    "Retired: visible image loop", 1.00, 900, 900, "NESDIS", area, compression="")


    # Across the date line; one title in other letter case.
    n = 0
    for region, code, area, titles in [
            ("Southwest Pacific", "swpac", SW_PACIFIC,
             [("Infrared", "ir", "Most Recent Infrared"), ("Visible", "vis", "Most Recent Visible"),
              ("Water Vapor", "wv", "most recent Water Vapor")]),
            ("Fiji and Tonga", "fiji", FIJI,
             [("Infrared", "ir", "Most Recent Infrared"), ("Visible", "vis", "MOST RECENT Visible")])]:
        for ctype, stem, title in titles:
            n += 1
            add(cat, region, ctype, "satx%02d" % (n + 1), "%s - %s" % (title, region),
                "sat/%s_%s_latest.jpg" % (code, stem), "Latest %s satellite image, %s" % (ctype.lower(), region),
                0.50, 180, 180, "MetService", area, compression="")


def build_radar():
    cat = "Radar"
    nex = [r for r in geo.RADARS if r[1] == "NEXRAD"]
    tdwr = [r for r in geo.RADARS if r[1] == "TDWR"]
    n = 0
    for region, sites, stem in [("NEXRAD", nex, "n0r"), ("TDWR", tdwr, "tr0")]:
        for city, kind, lat, lon in sites:
            n += 1
            slug = "".join(ch for ch in city.lower() if ch.isalnum())
            add(cat, region, "Base Reflectivity", "rad%03d" % n, "%s %s - Most Recent Base Reflectivity" % (city, kind),
                "radar/%s_%s_latest.png" % (stem, slug), "Latest %s base reflectivity image for %s" % (kind, city),
                0.50, rnd.randint(25, 60), 0, "NWS", (lat, lon, 4.0, 5.0), compression="")
            products[-1]["CompressedSize"] = products[-1]["RawSize"]
        if region == "NEXRAD":
            for i, (_rid, city, kind, lat, lon) in enumerate(EDGE_RADARS, 1):
                add(cat, region, "Base Reflectivity", "radx%02d" % i,
                    "%s %s - Most Recent Base Reflectivity" % (city.upper(), kind),
                    "radar/n0r_edge%02d_latest.png" % i, "Latest %s base reflectivity image for %s" % (kind, city),
                    0.50, 40, 40, "NWS", (lat, lon, 4.0, 5.0), compression="")


def build_buoy_products(buoys):
    cat = "Buoy"
    by_region = {}
    for b in buoys:
        by_region.setdefault(b["region"], []).append(b)
    n = 0
    for region, _prefix, *_ in geo.BUOY_AREAS:
        chosen = [b for b in by_region.get(region, []) if b["report"]]
        for ctype, hist in [("Latest Observations", False), ("24 Hour History", True)]:
            for b in chosen:
                if hist and not b["history"]:
                    continue
                n += 1
                sid = b["StationID"]
                add(cat, region, ctype, "by%03d" % n,
                    "%s %s - %s" % (sid, b["BuoyName"], ctype),
                    "buoy=>%s%s.txt" % ("hist" if hist else "obs", sid.lower()),
                    "%s from station %s (%s)" % ("Last 24 hours of observations" if hist else "Latest observation",
                                                 sid, b["BuoyName"]),
                    0.10 if not hist else 0.20, 3 if not hist else 12, 1 if not hist else 4, "NDBC",
                    (b["Latitude"], b["Longitude"], 1.0, 1.0))
            if region == "Western Pacific" and not hist:
                # One id in the middle of its title and in lower case.
                for i, (sid, name, lat, lon) in enumerate(EDGE_BUOYS, 1):
                    title = ("%s %s - %s" % (sid, name, ctype) if i > 1
                             else "%s Station %s - %s" % (name, sid.lower(), ctype))
                    add(cat, region, ctype, "byx%02d" % i, title, "buoy=>obsedge%02d.txt" % i,
                        "Latest observation from station %s (%s)" % (sid, name), 0.10, 3, 1, "NDBC",
                        (lat, lon, 1.0, 1.0))


def build_ocean_charts():
    cat = "Ocean Charts"
    gs = (37.0, -68.0, 14.0, 26.0)
    add(cat, "Gulf Stream", "Gulf Stream", "oc30a", "Gulf Stream Analysis - North Wall (colour)",
        "ocean/navy/gs_north_wall.png", "Navy analysis of the Gulf Stream north wall and eddies, colour", 0.75,
        180, 180, "NAVO", gs, compression="")
    add(cat, "Gulf Stream", "Gulf Stream", "oc31a", "Gulf Stream Analysis - Eddies and Rings (colour)",
        "ocean/navy/gs_eddies.png", "Navy analysis of warm and cold core rings, colour", 0.75, 175, 175, "NAVO",
        gs, compression="")
    add(cat, "Gulf Stream", "Gulf Stream", "oc36", "Gulf Stream Analysis - North Wall (black and white)",
        "ocean/navy/gs_north_wall_bw.gif", "Navy analysis of the Gulf Stream north wall, black and white", 0.50,
        60, 60, "NAVO", gs, compression="")
    add(cat, "Gulf Stream", "Gulf Stream", "oc884", "Gulf Stream Analysis - Eddies (black and white)",
        "ocean/navy/gs_eddies_bw.gif", "Navy analysis of rings and eddies, black and white", 0.50, 58, 58,
        "NAVO", gs, compression="")
    add(cat, "Sea Surface Temperature", "SST Charts", "oc40", "Sea Surface Temperature - Northwest Atlantic",
        "ocean/sst/nwatl.png", "Sea surface temperature chart, Northwest Atlantic", 0.50, 150, 150, "NAVO",
        (38.0, -65.0, 20.0, 30.0), compression="")
    add(cat, "Sea Surface Temperature", "SST Charts", "oc41", "Sea Surface Temperature - Northeast Pacific",
        "ocean/sst/nepac.png", "Sea surface temperature chart, Northeast Pacific", 0.50, 150, 150, "NAVO",
        (40.0, -132.0, 24.0, 30.0), compression="")
    add(cat, "Sea Surface Temperature", "SST Charts", "oc42", "Sea Surface Temperature - Gulf of Mexico",
        "ocean/sst/gulf.png", "Sea surface temperature chart, Gulf of Mexico", 0.50, 150, 150, "NAVO",
        (25.0, -90.0, 12.0, 20.0), compression="")
    fishing = [("Catch Journals", "oc54", "New Zealand Catch Journal", "ocean/fish/catch_nz.txt", NEW_ZEALAND),
               ("Catch Journals", "oc50", "Northeast Catch Journal", "ocean/fish/catch_ne.txt", (41.0, -69.0, 8.0, 12.0)),
               ("Catch Journals", "oc51", "Mid-Atlantic Catch Journal", "ocean/fish/catch_ma.txt", (37.0, -74.0, 8.0, 8.0)),
               ("Catch Journals", "oc52", "Pacific Northwest Catch Journal", "ocean/fish/catch_pnw.txt", (46.0, -125.0, 8.0, 8.0)),
               ("Catch Journals", "oc53", "Southern California Catch Journal", "ocean/fish/catch_socal.txt", (32.5, -119.0, 6.0, 8.0)),
               ("Fish Prices", "oc60", "East Coast Dock Prices", "ocean/fish/prices_east.txt", (38.0, -73.0, 20.0, 16.0)),
               ("Fish Prices", "oc61", "West Coast Dock Prices", "ocean/fish/prices_west.txt", (40.0, -124.0, 18.0, 10.0)),
               ("Fish Prices", "oc62", "Gulf Coast Dock Prices", "ocean/fish/prices_gulf.txt", (28.0, -89.0, 8.0, 18.0)),
               ("Fish Prices", "oc63", "Auckland Dock Prices", "ocean/fish/prices_auckland.txt", NEW_ZEALAND)]
    for ctype, fid, title, path, area in fishing:
        add(cat, "Fishing", ctype, fid, title, path, "%s, updated weekly" % title, 0.25, 10, 3, "Tidewright", area)


def build_pro_services():
    cat = "PRO Services"
    gs = (37.0, -68.0, 14.0, 26.0)
    colour = [("ps2", "Gulf Stream Currents - Colour"), ("ps4", "Gulf Stream Temperature - Colour"),
              ("ps8", "Gulf Stream Eddies and Rings - Colour"), ("ps12", "Gulf Stream Route Planner - Colour")]
    bw = [("ps1", "Gulf Stream Currents - Black and White"), ("ps3", "Gulf Stream Temperature - Black and White"),
          ("ps7", "Gulf Stream Eddies and Rings - Black and White"),
          ("ps11", "Gulf Stream Route Planner - Black and White")]
    for ctype, items, ext, size in [("Colour Charts", colour, "png", 240), ("Black and White Charts", bw, "gif", 80)]:
        for fid, title in items:
            add(cat, "Gulf Stream Analysis", ctype, fid, "Marisol Vennet %s" % title,
                "pro/mv/%s.%s" % (fid, ext), "Hand-drawn Gulf Stream analysis by Marisol Vennet: %s" % title.lower(),
                9.95, size, size, "Marisol Vennet", gs, compression="", race=1)
    add(cat, "Caribbean and Bahamas", "Text Forecast", "ps110", "Dalen Morrow Bahamas Forecast",
        "pro/dm/bahamas.txt", "Daily Bahamas weather forecast by Dalen Morrow", 1.95, 8, 3, "Dalen Morrow",
        (24.5, -77.0, 6.0, 8.0), race=1)
    add(cat, "Caribbean and Bahamas", "Text Forecast", "ps113", "Dalen Morrow Caribbean Forecast",
        "pro/dm/caribbean.txt", "Daily Caribbean weather forecast by Dalen Morrow", 1.95, 10, 3, "Dalen Morrow",
        (16.0, -68.0, 14.0, 26.0), race=1)


TERRAFIN_REGIONS = [
    ("Northeast Canyons", "nec", (40.0, -69.0, 6.0, 10.0)),
    ("Mid-Atlantic", "mab", (37.0, -73.5, 6.0, 8.0)),
    ("Southeast and Florida", "sef", (28.0, -79.0, 8.0, 8.0)),
    ("Gulf of Mexico", "gom", (26.0, -89.0, 10.0, 16.0)),
    ("Southern California", "soc", (32.5, -119.0, 6.0, 8.0)),
    ("Hawaii", "haw", (21.0, -157.0, 6.0, 8.0)),
]


def build_terrafin():
    cat = "Terrafin"
    n = 0
    for region, code, area in TERRAFIN_REGIONS:
        for ctype, stem, what in [("SST Analysis", "sst", "sea surface temperature with fronts"),
                                  ("Current Velocity", "cur", "surface current speed and direction"),
                                  ("SSH Anomaly", "ssh", "sea surface height anomaly (eddies)"),
                                  ("Chlorophyll", "chl", "chlorophyll concentration (water colour)")]:
            n += 1
            add(cat, region, ctype, "tf%03d" % n, "Terrafin %s - %s" % (ctype, region),
                "terrafin/%s_%s_latest.png" % (code, stem), "Terrafin fishing chart of %s, %s" % (what, region),
                4.95, rnd.randint(200, 420), 0, "Terrafin", area, compression="", race=1)
            products[-1]["CompressedSize"] = products[-1]["RawSize"]
    # Around the South Pacific homes, one on each side of the date line.
    for region, code, area in [("New Zealand", "nz", NEW_ZEALAND), ("Fiji", "fiji", FIJI)]:
        for ctype, stem, what, size in [("SST Analysis", "sst", "sea surface temperature with fronts", 310),
                                        ("Current Velocity", "cur", "surface current speed and direction", 280),
                                        ("SSH Anomaly", "ssh", "sea surface height anomaly (eddies)", 260),
                                        ("Chlorophyll", "chl", "chlorophyll concentration (water colour)", 240)]:
            n += 1
            add(cat, region, ctype, "tf%03d" % n, "Terrafin %s - %s" % (ctype, region),
                "terrafin/%s_%s_latest.png" % (code, stem), "Terrafin fishing chart of %s, %s" % (what, region),
                4.95, size, size, "Terrafin", area, compression="", race=1)


def build_ocean_models():
    cat = "Ocean Models"
    rows = [
        ("NOAA Global Ocean", [
            ("Surface Currents", ["hycomg005h", "hycomg005l"]), ("Surface Temperature", ["hycomg009h", "hycomg009l"]),
            ("Surface Height", ["hycomg006h", "hycomg006l"]), ("Salinity", ["hycomg007h", "hycomg007l"]),
            ("Mixed Layer Depth", ["hycomg008h", "hycomg008l"])]),
        ("Miami Ocean Model", [
            ("Surface Currents", ["glbhycom001"]), ("Surface Temperature", ["glbhycom003"]),
            ("Salinity", ["glbhycom004"]), ("Surface Height", ["glbhycom005"])]),
        ("GLBOCN", [
            ("Surface Currents", ["glbocng005a"]), ("Surface Temperature", ["glbocng007a"]),
            ("Surface Height", ["glbocng009a"])]),
        ("GHRSST", [("Surface Temperature", ["nlomg400a"]), ("Surface Height", ["nlomg401a"])]),
    ]
    for region, kinds in rows:
        for ctype, fids in kinds:
            for fid in fids:
                hi = fid.endswith("h")
                res = " (high resolution)" if hi else (" (low resolution)" if fid.endswith("l") and fid.startswith("hycom") else "")
                size = 900 if hi else 320
                add(cat, region, ctype, fid, "%s %s%s" % (region, ctype, res),
                    "ocean/models=>%s.grb" % fid, "%s model %s, 5 day forecast%s" % (region, ctype.lower(), res),
                    1.50 if hi else 0.95, size, int(size * 0.8), region, WORLD, race=1)


def build_ice_tides_race():
    add("Ice", "Arctic", "Ice Analysis", "ice01", "Arctic Sea Ice Analysis", "ice/arctic_analysis.gif",
        "Daily sea ice concentration and edge, Arctic", 0.50, 120, 120, "NIC", (75.0, 180.0, 30.0, 360.0),
        compression="")
    add("Ice", "Arctic", "Iceberg Limit", "ice02", "North Atlantic Iceberg Limit", "ice/iceberg_limit.gif",
        "Limit of all known ice, North Atlantic", 0.50, 80, 80, "IIP", (47.0, -45.0, 16.0, 30.0), compression="")
    add("Ice", "Great Lakes", "Ice Analysis", "ice03", "Great Lakes Ice Analysis", "ice/greatlakes.gif",
        "Ice cover on the Great Lakes", 0.35, 70, 70, "NIC", (45.0, -84.0, 8.0, 14.0), compression="")
    add("Ice", "Baltic Sea", "Ice Analysis", "ice04", "Baltic Sea Ice Chart", "ice/baltic.gif",
        "Ice chart of the Baltic Sea and the Gulf of Bothnia", 0.35, 75, 75, "FMI", (61.0, 21.0, 12.0, 16.0),
        compression="")
    add("Ice", "Newfoundland and Labrador", "Ice Analysis", "ice05", "Newfoundland and Labrador Ice Chart",
        "ice/newfoundland.gif", "Ice chart for the Labrador coast and the Grand Banks", 0.35, 70, 70, "CIS",
        (50.0, -52.0, 14.0, 20.0), compression="")
    add("Ice", "Antarctic", "Ice Analysis", "ice06", "Antarctic Sea Ice Analysis", "ice/antarctic.gif",
        "Weekly sea ice edge, Southern Ocean", 0.50, 110, 110, "NIC", (-65.0, 180.0, 30.0, 360.0),
        compression="")
    add("Ice", "Antarctic", "Iceberg Limit", "ice07", "Southern Ocean Iceberg Limit - New Zealand Sector",
        "ice/iceberg_limit_nz.gif", "Limit of known icebergs south of New Zealand", 0.50, 85, 85, "NIC",
        (-50.0, 175.0, 16.0, 40.0), compression="")

    tides = [("US West Coast", (40.0, -123.0, 18.0, 8.0)), ("US East Coast", (36.0, -75.0, 20.0, 12.0)),
             ("Gulf of Mexico", (28.5, -89.0, 6.0, 18.0)), ("Hawaii", (21.0, -157.0, 4.0, 6.0)),
             ("Alaska", (58.0, -150.0, 10.0, 30.0))]
    n = 0
    for region, area in tides:
        for ctype, stem in [("Tide Tables", "tides"), ("Tidal Currents", "currents")]:
            n += 1
            slug = region.lower().replace(" ", "")
            add("Tides", region, ctype, "td%02d" % n, "%s - %s (7 days)" % (ctype, region),
                "tides/%s_%s.txt" % (slug, stem), "%s for the main stations of the %s, next 7 days" % (ctype, region),
                0.25, rnd.randint(20, 40), 6, "NOS", area)
    for ctype, stem, size in [("Tide Tables", "tides", 28), ("Tidal Currents", "currents", 31)]:
        n += 1
        add("Tides", "New Zealand", ctype, "td%02d" % n, "%s - New Zealand (7 days)" % ctype,
            "tides/newzealand_%s.txt" % stem, "%s for the main ports of New Zealand, next 7 days" % ctype,
            0.25, size, 6, "LINZ", (-40.0, 174.0, 12.0, 12.0))

    races = [("Straits Regatta", (48.3, -123.3, 2.0, 3.0)), ("Pacific Crossing Race", (29.0, -140.0, 16.0, 36.0)),
             ("Gulf Stream Dash", (36.0, -70.0, 10.0, 12.0))]
    n = 0
    for region, area in races:
        slug = region.lower().replace(" ", "")
        for ctype, stem, title, price in [("Position Reports", "positions", "Fleet Position Report", 0.25),
                                          ("Race Notices", "Race Notices/notice", "Race Committee Notice", 0.0),
                                          ("Course Weather", "course_wx", "Course Weather Briefing", 0.50)]:
            n += 1
            add("Race", region, ctype, "race%02d" % n, "%s - %s" % (title, region),
                ("race/notices/%s Notice.txt" % region) if ctype == "Race Notices" else "race/%s_%s.txt" % (slug, stem), "%s for the %s" % (title, region), price, rnd.randint(3, 12), 2,
                "Race Committee", area)
    for ctype, fid, stem, title, price, size in [
            ("Position Reports", "race10", "race/auckfiji_positions.txt", "Fleet Position Report", 0.25, 7),
            ("Race Notices", "race11", "race/notices/Auckland to Fiji Race Notice.txt", "Race Committee Notice",
             0.0, 4),
            ("Course Weather", "race12", "race/auckfiji=>wind.3day.course.grb", "Course Wind 3 Day GRIB", 0.90,
             140)]:
        add("Race", "Auckland to Fiji Race", ctype, fid, "%s - Auckland to Fiji Race" % title, stem,
            "%s for the Auckland to Fiji Race" % title, price, size, 2, "Race Committee",
            (-27.0, 176.5, 22.0, 12.0))


PERSONALITIES = [
    ("Pacific Northwest", "pnw", "basic_pacific_northwest.png", (47.5, -124.5, 10.0, 14.0),
     ["PZZ135", "PZZ800"], "Seattle, WA"),
    ("California", "cal", "basic_california.png", (35.5, -121.5, 12.0, 14.0), ["PZZ545", "PZZ835"],
     "San Francisco, CA"),
    ("US East Coast", "usec", "basic_us_east_coast.png", (38.5, -72.0, 14.0, 14.0), ["ANZ350", "ANZ815"],
     "New York, NY"),
    ("Gulf of Mexico", "gulf", "basic_gulf_of_mexico.png", (26.5, -89.0, 12.0, 18.0), ["GMZ555", "GMZ019"],
     "New Orleans, LA"),
    ("Hawaii", "haw", "basic_hawaii.png", (21.0, -157.5, 8.0, 10.0), ["PHZ113", "PHZ180"], "Honolulu, HI"),
]

BASIC_BUTTONS = [
    # (button text, chart type, path stem, description, price, size, race)
    ("Wind 3 Day", "GRIB", "=>gfswind.3day.grb", "GFS wind for the region, 3 days", 0.40, 180, 0),
    ("Wind 7 Day", "GRIB", "=>gfswind.7day.grb", "GFS wind for the region, 7 days", 0.70, 390, 0),
    ("Pressure 3 Day", "GRIB", "=>gfsprmsl.3day.grb", "Sea-level pressure for the region, 3 days", 0.30, 110, 0),
    ("Waves 3 Day", "GRIB", "=>ww3wave.3day.grb", "Wave height and direction for the region, 3 days", 0.40, 160, 0),
    ("Rain 3 Day", "GRIB", "=>gfsprcp.3day.grb", "Precipitation for the region, 3 days", 0.30, 120, 0),
    ("Surface Analysis", "Charts", "/sfc_anal.gif", "Latest surface analysis chart", 0.30, 95, 0),
    ("24 Hr Forecast", "Charts", "/sfc_24h.gif", "24 hour surface forecast chart", 0.30, 95, 0),
    ("48 Hr Forecast", "Charts", "/sfc_48h.gif", "48 hour surface forecast chart", 0.30, 95, 0),
    ("500 mb Chart", "Charts", "/500_anal.gif", "500 mb analysis chart", 0.30, 90, 0),
    ("Wind and Waves", "Charts", "/ww_24h.gif", "24 hour wind and wave forecast chart", 0.30, 100, 0),
    ("Infrared Satellite", "Imagery", "/ir_latest.jpg", "Most recent infrared satellite image", 0.50, 180, 0),
    ("Visible Satellite", "Imagery", "/vis_latest.jpg", "Most recent visible satellite image", 0.50, 190, 0),
    ("Radar", "Imagery", "/radar_latest.png", "Most recent radar image", 0.50, 45, 0),
    ("Coastal Forecast", "Text", "/coastal.txt", "Coastal waters forecast", 0.10, 6, 0),
    ("Offshore Forecast", "Text", "/offshore.txt", "Offshore waters forecast", 0.15, 8, 0),
    ("Buoy Reports", "Text", "/buoys.txt", "Latest reports of the buoys in the region", 0.20, 12, 0),
    ("Tropical Outlook", "Text", "/tropical.txt", "Tropical weather outlook", 0.10, 5, 0),
    ("Tides", "Text", "/tides.txt", "Tide tables for the region, 7 days", 0.25, 20, 0),
    ("Sea Temperature", "Ocean", "=>sst.grb", "Sea surface temperature analysis", 0.95, 260, 1),
    ("Currents", "Ocean", "=>currents.grb", "Surface current forecast", 0.95, 300, 1),
]


def build_basic():
    buttons = []
    order = 0
    for name, code, graphic, area, _zones, _city in PERSONALITIES:
        rows = []
        for i, (text, ctype, stem, desc, price, size, race) in enumerate(BASIC_BUTTONS, 1):
            fid = "bm%s%02d" % (code, i)
            if stem.startswith("=>"):
                path = "basic=>%s_%s" % (code, stem[2:])
            else:
                path = "basic/%s_%s" % (code, stem[1:])
            comp = "" if ctype in ("Imagery", "Charts") else "bz2"
            csize = size if comp == "" else max(1, int(size * (0.85 if ctype in ("GRIB", "Ocean") else 0.3)))
            rows.append((ctype, fid, "%s - %s" % (text, name), path, "%s, %s" % (desc, name), price, size, csize,
                         comp, race, text))
        # Catalogue rows grouped by chart type, buttons in their own order.
        for ctype in ["GRIB", "Charts", "Imagery", "Text", "Ocean"]:
            for r in rows:
                if r[0] != ctype:
                    continue
                add("Basic Mode", name, ctype, r[1], r[2], r[3], r[4], r[5], r[6], r[7], "Tidewright", area,
                    compression=r[8], race=r[9])
        for i, r in enumerate(rows):
            order += 10
            buttons.append({"Region": name, "disp_ord": str(order), "RaceDisable": str(r[9]),
                            "ButtonText": r[10], "recid": r[1], "graphic": graphic if i == 0 else ""})
    return buttons


# --------------------------------------------------------------------------
# Marine zones
# --------------------------------------------------------------------------
def make_buoys(mask):
    buoys = []
    used_ids = set()

    def nearest_landmark(lat, lon):
        best = None
        for name, llat, llon in geo.LANDMARKS:
            d = distance_nm(llat, llon, lat, lon)
            if best is None or d < best[0]:
                best = (d, name, llat, llon)
        return best

    def name_for(lat, lon, area_name):
        d, name, llat, llon = nearest_landmark(lat, lon)
        if d > 320:
            return "%s %.0f%s %.0f%s" % (area_name, abs(lat), "N" if lat >= 0 else "S", abs(lon),
                                         "E" if lon >= 0 else "W")
        if d < 4:
            return "%s" % name
        return "%s %d NM %s" % (name, int(round(d)), compass(bearing(llat, llon, lat, lon)))

    def new_id(prefix):
        while True:
            sid = "%s%03d" % (prefix, rnd.randint(1, 999))
            if sid not in used_ids:
                used_ids.add(sid)
                return sid

    def random_point(s, n, w, e):
        if e < w:
            e += 360.0
        lon = rnd.uniform(w, e)
        if lon > 180.0:
            lon -= 360.0
        return round(rnd.uniform(s, n), 3), round(lon, 3)

    for region, prefix, count, s, n, w, e in geo.BUOY_AREAS:
        made = 0
        tries = 0
        while made < count:
            tries += 1
            assert tries < 200000, region
            lat, lon = random_point(s, n, w, e)
            if not mask.open_water(lat, lon):
                continue
            if any(distance_nm(lat, lon, b["Latitude"], b["Longitude"]) < 25 for b in buoys):
                continue
            buoys.append({"StationID": new_id(prefix), "BuoyName": name_for(lat, lon, region),
                          "Latitude": lat, "Longitude": lon, "region": region})
            made += 1
    for lat, lon in geo.DATELINE_BUOYS:
        assert mask.open_water(lat, lon, 1), (lat, lon)
        region = "Gulf of Alaska and Bering Sea" if lat > 45 else (
            "South Pacific" if lat < 0 else "Hawaii and Central Pacific")
        prefix = {"Gulf of Alaska and Bering Sea": "46", "South Pacific": "55",
                  "Hawaii and Central Pacific": "51"}[region]
        buoys.append({"StationID": new_id(prefix), "BuoyName": name_for(lat, lon, "Date Line"),
                      "Latitude": lat, "Longitude": lon, "region": region})
    # Coastal stations with letter identifiers near landmarks.
    for name, llat, llon in geo.LANDMARKS[::3]:
        for _ in range(60):
            lat = round(llat + rnd.uniform(-0.35, 0.35), 3)
            lon = round(llon + rnd.uniform(-0.35, 0.35), 3)
            if mask.open_water(lat, lon, 1):
                letters = "".join(ch for ch in name.upper() if ch.isalpha())
                sid = (letters[:4] + "XXXX")[:4] + str(rnd.randint(1, 9))
                if sid in used_ids:
                    continue
                used_ids.add(sid)
                region = min(geo.BUOY_AREAS, key=lambda a: distance_nm(
                    (a[3] + a[4]) / 2, span_lon(a[5], a[6])[1], lat, lon))[0]
                buoys.append({"StationID": sid, "BuoyName": "%s Coastal Station" % name,
                              "Latitude": lat, "Longitude": lon, "region": region})
                break
    # Stations that get catalogue products: a fair share of each region, and
    # every date-line buoy.
    for i, b in enumerate(buoys):
        b["report"] = (i % 7 == 0) or abs(b["Longitude"]) > 178.0
        b["history"] = b["report"] and (i % 21 == 0)
    return buoys


def square(s, n, w, e):
    """Outline of a box, corners clockwise from the north-west; west > east
    means the box crosses the date line (vertices keep [-180, 180])."""
    return [(n, w), (n, e), (s, e), (s, w)]


def bevelled(s, n, w, e, cut=0.18):
    """A box with bevelled corners, a little less boxy on the map."""
    width, _ = span_lon(w, e)
    dx, dy = width * cut, (n - s) * cut

    def lon_at(x):
        v = w + x
        return v - 360.0 if v > 180.0 else v
    pts = [(n, lon_at(dx)), (n, lon_at(width - dx)), (n - dy, lon_at(width)), (s + dy, lon_at(width)),
           (s, lon_at(width - dx)), (s, lon_at(dx)), (s + dy, lon_at(0.0)), (n - dy, lon_at(0.0))]
    return [(round(a, 3), round(b, 3)) for a, b in pts]


def make_zones():
    zones = []   # dicts for MZones
    pos = []     # (zcode, lat, lon, part)
    for mid, numeral, code, desc, lat, lon in geo.METAREAS:
        zones.append({"ID": str(mid), "zcode": code, "region": "WMA", "description": geo.METAREA_ISSUERS[mid],
                      "lat": fmt(lat), "lon": fmt(lon), "Map": "MetArea"})
    mid, code, desc, lat, lon = geo.METAREA_WITHOUT_OUTLINE
    zones.append({"ID": str(mid), "zcode": code, "region": "WMA", "description": desc,
                  "lat": fmt(lat), "lon": fmt(lon), "Map": "MetArea"})
    next_id = 101

    def add_zone(code, desc, region, kind, s, n, w, e, shape):
        nonlocal next_id
        _, c_lon = span_lon(w, e)
        zones.append({"ID": str(next_id), "zcode": code, "region": region, "description": desc,
                      "lat": fmt((s + n) / 2.0, 3), "lon": fmt(c_lon, 3), "Map": kind})
        next_id += 1
        for lat, lon in shape(s, n, w, e):
            pos.append((code, lat, lon, 1))

    for region, items in geo.COASTAL.items():
        for code, desc, s, n, w, e in items:
            add_zone(code, desc, region, "Coastal", s, n, w, e, bevelled)
        if region == "EAST":
            for code, desc, s, n, w, e in geo.EAST_OUTER:
                add_zone(code, desc, "EAST", "Offshore", s, n, w, e, bevelled)
    for region, items in geo.OFFSHORE.items():
        for code, desc, s, n, w, e in items:
            add_zone(code, desc, "OFFSHORE_" + region, "Offshore", s, n, w, e, square)
    for code, desc, s, n, w, e in geo.HIGHSEAS:
        add_zone(code, desc, "HIGHSEAS", "HighSeas", s, n, w, e, square)
    # One zone in two parts: the Hawaiian offshore area also covers the
    # waters around Johnston Atoll.
    pos.append(("PHZ180", 17.4, -170.8, 2))
    pos.append(("PHZ180", 17.4, -168.3, 2))
    pos.append(("PHZ180", 16.0, -168.3, 2))
    pos.append(("PHZ180", 16.0, -170.8, 2))
    # Rows added after the others, so that the IDs above stay as they were.
    # The eastern outer waters that the coastal map leaves out.
    for code, desc, s, n, w, e in geo.EAST_HIDDEN:
        add_zone(code, desc, "EAST", "Offshore", s, n, w, e, square)
    # An outline with a vertex repeated right after itself (the map keeps one
    # point of it for the zone's hit area).
    at = next(i for i, p in enumerate(pos) if p[0] == "PZZ530") + 2
    pos.insert(at + 1, pos[at])
    # A zone whose outline is missing: listed on its map, never drawn.
    zones.append({"ID": str(next_id), "zcode": "LMZ080", "region": "GREAT_LAKES",
                  "description": "Lake Michigan Open Waters", "lat": fmt(43.800, 3), "lon": fmt(-87.000, 3),
                  "Map": "Coastal"})
    next_id += 1
    return zones, pos


# --------------------------------------------------------------------------
# Writing
# --------------------------------------------------------------------------
def write_csv(path, columns, rows, comment):
    with open(path, "w", newline="", encoding="utf-8") as f:
        for line in comment.strip().splitlines():
            f.write("# " + line + "\n")
        w = csv.writer(f, lineterminator="\n")
        w.writerow(columns)
        for r in rows:
            w.writerow([r[c] if isinstance(r, dict) else r[i] for i, c in enumerate(columns)])


def main():
    mask = WaterMask(os.path.join(TOP, "res", "WorldmapTiff.PNG"))
    buoys = make_buoys(mask)
    zones, zone_pos = make_zones()
    edge = engine_edge_marine_entries()

    build_grib()
    build_charts()
    build_animations()
    build_text()
    build_satellite()
    build_radar()
    build_buoy_products(buoys)
    build_ocean_charts()
    build_pro_services()
    build_terrafin()
    build_ocean_models()
    build_ice_tides_race()
    buttons = build_basic()

    header = ("Generated by tools/seedcontent/make_content.py; edit the generator or this file, then rebuild.\n")
    write_csv(os.path.join(DATA, "zir", "products.csv"), PRODUCT_COLUMNS, products, header +
              "The catalogue, grouped by Category, Region and ChartType (the builder numbers them).\n"
              "Path and Compression are plain here; the builder stores them encoded.\n"
              "Lon is degrees east in [0, 360); Lat/Height/Width in degrees.")
    write_csv(os.path.join(DATA, "zir", "buttons.csv"), ["Region", "disp_ord", "RaceDisable", "ButtonText", "recid",
                                                         "graphic"], buttons, header +
              "Basic window personalities, twenty buttons each; graphic names a picture in Icons/.")
    hs_rows = [(zone, fid) for zone, fids in highseas_products.items() for fid in fids]
    write_csv(os.path.join(DATA, "zir", "MetHighSeasZones.csv"), ["Zone", "FileID"], hs_rows, header +
              "High-seas and METAREA zone codes to the products that forecast them.")
    write_csv(os.path.join(DATA, "MarineZones", "Buoys.csv"),
              ["StationID", "BuoyName", "Latitude", "Longitude", "selected"],
              [(b["StationID"], b["BuoyName"], "%.3f" % b["Latitude"], "%.3f" % b["Longitude"], "0")
               for b in buoys + edge["buoys"]], header + "Buoy and coastal stations; longitudes in [-180, 180].")
    write_csv(os.path.join(DATA, "MarineZones", "MZones.csv"),
              ["ID", "zcode", "region", "description", "lat", "lon", "Map", "selected"],
              [dict(z, selected="0") for z in zones + edge["zones"]], header +
              "Forecast zones. METAREAs (region WMA) keep the fixed IDs of the METAREA picker.")
    write_csv(os.path.join(DATA, "MarineZones", "MZonesPos.csv"), ["zcode", "lat", "lon", "part"],
              [(c, "%.3f" % la, "%.3f" % lo, str(p)) for c, la, lo, p in zone_pos + edge["pos"]], header +
              "Zone outlines, vertices in order per part; longitudes in [-180, 180].")
    write_csv(os.path.join(DATA, "MarineZones", "RadarCities.csv"),
              ["ID", "City", "RadarType", "Latitude", "Longitude"],
              [(str(i), c, t, "%.2f" % la, "%.2f" % lo) for i, (c, t, la, lo) in enumerate(geo.RADARS, 1)]
              + edge["radars"],
              header + "Weather radar sites.")
    print("products %d, buttons %d, buoys %d, zones %d, vertices %d, radars %d"
          % (len(products), len(buttons), len(buoys), len(zones), len(zone_pos), len(geo.RADARS)))


if __name__ == "__main__":
    main()
