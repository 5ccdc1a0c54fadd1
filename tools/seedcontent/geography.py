"""Geography used by the content generator: product areas, forecast zones,
landmarks for naming buoys, radar sites. Positions are decimal degrees,
north and east positive; longitudes here are in [-180, 180].

The zones are our own simplified outlines (boxes and a few polygons) drawn
inside the regional maps that show them:
  US map        lon -132.5 .. -62.1,  lat 16.1 .. 51.3
  Caribbean map lon -113.5 .. -43.1,  lat  5.9 .. 41.0
  Alaska map    lon  162.8 .. -126.8 (across the date line), lat 47.6 .. 82.8
  Pacific map   lon  139.8 .. -149.8 (across the date line), lat -2.3 .. 32.9
High-seas zones are shown on the whole Pacific-centred world map.
"""

# (code, description, south, north, west, east)
COASTAL = {
    "WEST": [
        ("PZZ130", "West Entrance of the Strait of Juan de Fuca", 48.10, 48.55, -124.80, -123.90),
        ("PZZ131", "Central Strait of Juan de Fuca", 48.10, 48.40, -123.90, -123.00),
        ("PZZ135", "Puget Sound and Hood Canal", 47.05, 48.00, -122.90, -122.25),
        ("PZZ150", "Cape Flattery to James Island out 10 NM", 47.90, 48.40, -125.00, -124.60),
        ("PZZ155", "James Island to Point Grenville out 10 NM", 47.30, 47.90, -124.90, -124.30),
        ("PZZ210", "Columbia River Bar", 46.15, 46.35, -124.20, -123.90),
        ("PZZ250", "Cape Disappointment to Cape Foulweather out 10 NM", 44.80, 46.30, -124.40, -123.95),
        ("PZZ350", "Cape Foulweather to Florence out 10 NM", 44.00, 44.80, -124.50, -124.05),
        ("PZZ356", "Cape Blanco to Pistol River out 10 NM", 42.20, 42.85, -124.80, -124.35),
        ("PZZ450", "Point St. George to Cape Mendocino out 10 NM", 40.40, 42.00, -124.70, -124.10),
        ("PZZ530", "San Francisco Bay", 37.45, 38.10, -122.50, -122.10),
        ("PZZ545", "Point Reyes to Pigeon Point out 10 NM", 37.20, 38.00, -123.10, -122.40),
        ("PZZ655", "Inner Waters from Point Mugu to San Mateo Point", 33.40, 34.10, -119.00, -117.70),
        ("PZZ750", "San Mateo Point to the Mexican Border out 30 NM", 32.50, 33.40, -117.90, -117.30),
    ],
    "EAST": [
        ("ANZ150", "Stonington to Merrimack River out 25 NM", 42.80, 43.80, -70.60, -69.60),
        ("ANZ230", "Boston Harbor", 42.25, 42.40, -71.05, -70.85),
        ("ANZ250", "Ipswich Bay and the Outer Cape out 20 NM", 41.80, 42.70, -70.60, -69.80),
        ("ANZ254", "Provincetown to Chatham out 20 NM", 41.60, 42.10, -70.10, -69.60),
        ("ANZ255", "Marthas Vineyard and Nantucket Sound", 41.00, 41.50, -70.80, -69.90),
        ("ANZ330", "Long Island Sound East of New Haven", 41.00, 41.30, -72.90, -72.00),
        ("ANZ350", "Moriches Inlet to Montauk Point out 20 NM", 40.50, 41.00, -72.80, -71.80),
        ("ANZ450", "Sandy Hook to Manasquan Inlet out 20 NM", 40.00, 40.50, -74.05, -73.60),
        ("ANZ530", "Chesapeake Bay North of Pooles Island", 39.20, 39.55, -76.40, -76.00),
        ("ANZ650", "Fenwick Island to Chincoteague out 20 NM", 37.90, 38.50, -75.10, -74.60),
        ("ANZ656", "Currituck Beach Light to Oregon Inlet out 20 NM", 35.80, 36.40, -75.70, -75.20),
    ],
    "GREAT_LAKES": [
        ("LSZ162", "Lake Superior West of Grand Marais", 46.70, 47.80, -91.50, -89.50),
        ("LSZ265", "Lake Superior East of Marquette", 46.50, 47.30, -87.20, -85.20),
        ("LMZ646", "Lake Michigan from Wilmette Harbor to Michigan City", 41.70, 42.20, -87.80, -86.90),
        ("LMZ741", "Lake Michigan North of Sheboygan", 43.80, 45.00, -87.60, -86.50),
        ("LHZ361", "Lake Huron from Presque Isle Light to Sturgeon Point", 44.40, 45.40, -83.40, -82.50),
        ("LEZ144", "Lake Erie from Avon Point to Willowick", 41.50, 41.90, -82.00, -81.30),
        ("LOZ043", "Lake Ontario from the Niagara River to Hamlin Beach", 43.28, 43.50, -79.10, -77.90),
        ("LCZ460", "Lake St. Clair", 42.35, 42.65, -82.90, -82.45),
    ],
    "SOUTH": [
        ("AMZ250", "Surf City to Cape Fear out 20 NM", 33.60, 34.40, -78.00, -77.30),
        ("AMZ350", "South Santee River to Edisto Beach out 20 NM", 32.30, 33.10, -79.70, -79.00),
        ("AMZ450", "Altamaha Sound to Fernandina Beach out 20 NM", 30.60, 31.40, -81.30, -80.70),
        ("AMZ550", "Flagler Beach to the Volusia-Brevard County Line out 20 NM", 28.80, 29.50, -81.00, -80.40),
        ("AMZ650", "Jupiter Inlet to Deerfield Beach out 20 NM", 26.30, 26.95, -80.10, -79.70),
        ("AMZ651", "Deerfield Beach to Ocean Reef out 20 NM", 25.30, 26.30, -80.15, -79.80),
    ],
    "GULF": [
        ("GMZ031", "Florida Bay including Barnes Sound", 24.90, 25.30, -81.10, -80.40),
        ("GMZ042", "Hawk Channel from Ocean Reef to Craig Key", 24.80, 25.30, -80.60, -80.30),
        ("GMZ656", "Chokoloskee to Bonita Beach out 20 NM", 25.70, 26.40, -82.20, -81.60),
        ("GMZ830", "Tampa Bay Waters", 27.50, 28.00, -82.75, -82.40),
        ("GMZ750", "Okaloosa-Walton County Line to Mexico Beach out 20 NM", 29.60, 30.35, -86.40, -85.40),
        ("GMZ650", "Pensacola to Pascagoula out 20 NM", 29.80, 30.30, -88.50, -87.30),
        ("GMZ555", "Mississippi River to Port Fourchon out 20 NM", 28.60, 29.20, -90.30, -89.10),
        ("GMZ435", "Vermilion Bay", 29.55, 29.80, -92.20, -91.80),
        ("GMZ355", "Galveston to Freeport out 20 NM", 28.60, 29.30, -95.30, -94.60),
        ("GMZ250", "Baffin Bay to Port Mansfield out 20 NM", 26.60, 27.30, -97.40, -96.90),
    ],
    "ALASKA": [
        ("PKZ011", "Glacier Bay", 58.40, 59.00, -136.70, -135.80),
        ("PKZ022", "Icy Strait", 58.10, 58.40, -136.30, -135.00),
        ("PKZ041", "Dixon Entrance to Cape Decision", 54.70, 56.20, -134.50, -133.00),
        ("PKZ052", "Icy Cape to Cape Suckling", 59.60, 60.20, -143.50, -141.30),
        ("PKZ120", "Cape Cleare to Gore Point", 59.00, 59.90, -150.50, -148.00),
        ("PKZ130", "West of the Barren Islands including Kamishak Bay", 58.80, 59.60, -154.30, -152.50),
        ("PKZ150", "Sitkinak to Castle Cape", 55.80, 56.70, -157.00, -154.00),
        ("PKZ155", "Castle Cape to Cape Sarichef", 54.30, 56.00, -164.80, -158.00),
        ("PKZ170", "Cape Sarichef to Nikolski, Bering Side", 53.00, 54.60, -169.00, -164.80),
        ("PKZ172", "Adak to Kiska", 51.30, 52.50, 177.00, -176.00),
        ("PKZ175", "Kiska to Attu", 51.80, 53.20, 172.50, 177.00),
        ("PKZ180", "Kuskokwim Delta and Etolin Strait", 59.50, 61.00, -166.50, -163.50),
        ("PKZ200", "Norton Sound", 63.30, 64.60, -166.00, -161.00),
        ("PKZ220", "Wales to Cape Thompson", 65.50, 68.00, -168.50, -166.00),
    ],
    "PACIFIC_ISLANDS": [
        ("PHZ110", "Kauai Northwest Waters", 22.00, 22.60, -160.30, -159.50),
        ("PHZ111", "Kauai Windward Waters", 21.80, 22.30, -159.50, -159.10),
        ("PHZ113", "Oahu Leeward Waters", 21.20, 21.70, -158.50, -158.10),
        ("PHZ115", "Kaiwi Channel", 21.00, 21.30, -157.70, -157.20),
        ("PHZ118", "Maalaea Bay", 20.70, 20.85, -156.55, -156.40),
        ("PHZ121", "Alenuihaha Channel", 20.20, 20.60, -156.10, -155.60),
        ("PHZ123", "Big Island Leeward Waters", 19.10, 20.00, -156.20, -155.85),
        ("PMZ151", "Guam Coastal Waters", 13.20, 13.80, 144.50, 145.00),
        ("PMZ152", "Rota Coastal Waters", 14.00, 14.30, 145.00, 145.40),
        ("PMZ153", "Tinian and Saipan Coastal Waters", 14.80, 15.40, 145.40, 145.90),
        ("PMZ171", "Majuro Atoll Waters", 7.00, 7.30, 171.00, 171.50),
    ],
    "PR_VI": [
        ("AMZ710", "Atlantic Waters of Puerto Rico and the US Virgin Islands", 18.50, 19.50, -67.50, -64.50),
        ("AMZ712", "Northern Puerto Rico out 10 NM", 18.45, 18.70, -67.30, -65.60),
        ("AMZ715", "Southern US Virgin Islands, Vieques and Eastern Puerto Rico", 17.80, 18.30, -65.90, -64.50),
        ("AMZ725", "Southern Puerto Rico out 10 NM", 17.70, 17.95, -67.20, -65.80),
        ("AMZ735", "Mona Passage Southward to 17N", 17.00, 18.50, -68.20, -67.30),
        ("AMZ745", "Southwestern Puerto Rico out 10 NM", 17.90, 18.20, -67.35, -67.10),
    ],
}

# Offshore forecast areas that lie in the eastern coastal region but are not
# offered on the coastal map (its query leaves them out).
EAST_OUTER = [
    ("ANZ270", "Gulf of Maine Outer Waters beyond 25 NM", 42.00, 43.60, -69.50, -67.50),
    ("ANZ370", "Georges Bank Inner Waters", 40.80, 41.80, -69.00, -67.00),
]

# Outer waters of the eastern region that the coastal map never offers (its
# query leaves out these codes together with ANZ270 and ANZ370 above). They
# have no text forecasts of their own in the catalogue.
EAST_HIDDEN = [
    ("ANZ070", "Gulf of Maine Outer Waters North of 43N and East of 67W", 43.00, 44.30, -67.00, -65.80),
    ("ANZ170", "Georges Bank Outer Waters East of 67W", 40.40, 41.60, -66.90, -65.60),
    ("ANZ271", "Jordan Basin Outer Waters", 43.70, 44.40, -68.40, -67.10),
    ("ANZ272", "Wilkinson Basin Outer Waters", 42.40, 43.00, -69.90, -68.90),
    ("ANZ273", "Cashes Ledge Outer Waters", 42.70, 43.30, -68.90, -68.10),
    ("ANZ470", "Hudson Canyon Outer Waters", 38.80, 39.60, -72.40, -70.90),
    ("ANZ670", "Outer Waters East of Chincoteague", 36.80, 37.70, -73.90, -72.60),
    ("AMZ170", "Outer Waters East of Cape Hatteras", 34.40, 35.40, -74.40, -72.90),
    ("AMZ270", "Outer Waters East of Cape Fear", 32.80, 33.80, -76.40, -74.90),
    ("AMZ370", "Outer Waters East of Charleston", 31.40, 32.40, -78.40, -76.90),
]

OFFSHORE = {
    "Gulf": [
        ("GMZ011", "NW Gulf including Stetson Bank", 26.50, 28.50, -97.00, -93.00),
        ("GMZ013", "N Central Gulf including Flower Garden Banks", 26.50, 28.50, -93.00, -89.00),
        ("GMZ015", "NE Gulf North of 25N and East of 87W", 25.00, 29.50, -87.00, -83.50),
        ("GMZ017", "W Central Gulf from 22N to 26N West of 94W", 22.00, 26.00, -97.30, -94.00),
        ("GMZ019", "Central Gulf from 22N to 26N between 87W and 94W", 22.00, 26.00, -94.00, -87.00),
        ("GMZ023", "SW Gulf South of 22N and West of 94W", 18.80, 22.00, -97.00, -94.00),
    ],
    "Alaska": [
        ("PKZ310", "Gulf of Alaska North of 57N and East of 144W", 57.00, 59.50, -144.00, -137.50),
        ("PKZ351", "Gulf of Alaska 55N to 57N East of 144W", 55.00, 57.00, -144.00, -136.50),
        ("PKZ411", "Bering Sea West of 180", 55.00, 60.50, 172.50, 180.00),
        ("PKZ412", "Bering Sea 171W to 180 and South of 56N", 52.00, 56.00, -180.00, -171.00),
        ("PKZ414", "Eastern Aleutians South of 56N", 50.00, 53.50, -171.00, -164.00),
    ],
    "West Coast": [
        ("PZZ800", "Cape Flattery to Cape Lookout 60 to 150 NM offshore", 45.00, 48.50, -128.50, -126.00),
        ("PZZ815", "Florence to Point St. George 60 to 150 NM offshore", 42.00, 44.00, -128.50, -126.20),
        ("PZZ820", "Point St. George to Point Arena 60 to 150 NM offshore", 39.00, 42.00, -127.50, -125.50),
        ("PZZ835", "Point Arena to Pigeon Point 60 to 150 NM offshore", 37.20, 39.00, -126.00, -124.00),
        ("PZZ840", "Pigeon Point to Point Piedras Blancas 60 to 150 NM offshore", 35.50, 37.20, -125.00, -123.00),
        ("PZZ850", "Santa Cruz Island to 120W 60 to 150 NM offshore", 32.00, 34.00, -122.50, -120.00),
    ],
    "Atlantic": [
        ("ANZ800", "Gulf of Maine to the Hague Line", 42.00, 44.50, -70.00, -66.50),
        ("ANZ805", "Georges Bank between Cape Cod and 68W", 40.50, 42.00, -69.50, -67.50),
        ("ANZ810", "South of New England to Montauk Point", 39.80, 41.00, -71.80, -69.00),
        ("ANZ815", "South of Long Island between Montauk Point and Sandy Hook", 39.50, 40.50, -74.00, -71.80),
        ("ANZ820", "Hudson Canyon to Baltimore Canyon", 38.00, 39.70, -74.00, -72.50),
        ("ANZ825", "Baltimore Canyon to Cape Charles Light", 36.80, 38.20, -75.20, -73.80),
        ("ANZ830", "Cape Charles Light to Currituck Beach Light", 36.00, 37.00, -75.70, -74.60),
        ("ANZ835", "Currituck Beach Light to Cape Hatteras", 35.00, 36.20, -75.40, -74.20),
    ],
    "Caribbean": [
        ("AMZ011", "Caribbean North of 18N and West of 85W", 18.00, 21.50, -86.50, -84.00),
        ("AMZ013", "Caribbean North of 18N between 76W and 85W", 18.00, 19.60, -84.00, -77.50),
        ("AMZ015", "Approaches to the Windward Passage", 18.20, 20.00, -75.50, -72.80),
        ("AMZ017", "Gulf of Honduras", 16.00, 17.50, -88.30, -86.50),
        ("AMZ019", "Caribbean 15N to 18N between 80W and 85W", 15.00, 18.00, -83.00, -80.00),
        ("AMZ023", "Caribbean South of 15N and West of 80W", 10.00, 15.00, -83.00, -80.00),
        ("AMZ025", "Offshore Waters of the Leeward Islands", 15.00, 19.00, -63.00, -61.80),
        ("AMZ027", "Tropical N Atlantic 15N to 19N between 55W and 60W", 15.00, 19.00, -60.00, -55.00),
    ],
    "Arctic": [
        ("PKZ500", "Western US Arctic Offshore", 69.00, 75.00, -170.00, -160.00),
        ("PKZ505", "Central US Arctic Offshore", 71.50, 75.00, -160.00, -150.00),
        ("PKZ510", "Eastern US Arctic Offshore", 70.50, 75.00, -150.00, -141.00),
    ],
    "Hawaii": [
        ("PHZ180", "Offshore Waters within 240 NM of Honolulu", 17.50, 25.00, -162.50, -153.50),
        ("PHZ181", "Northwestern Hawaiian Islands Offshore Waters", 22.50, 28.50, -178.00, -162.50),
    ],
}

HIGHSEAS = [
    ("HSNPE", "North Pacific East of 160W, 30N to 55N", 30.0, 55.0, -160.0, -130.0),
    ("HSNPW", "North Pacific 150E to 160W, 30N to 55N", 30.0, 55.0, 150.0, -160.0),
    ("HSTPE", "Tropical Pacific East of 140W, 3S to 30N", -3.4, 30.0, -140.0, -115.0),
    ("HSTPW", "Tropical Pacific 130E to 140W, Equator to 30N", 0.0, 30.0, 135.0, -140.0),
    ("HSSPC", "South Pacific 180 to 120W, 25S to 3S", -25.0, -3.4, -180.0, -120.0),
    ("HSNAE", "North Atlantic 35W to 50W, 31N to 60N", 31.0, 60.0, -50.0, -35.0),
    ("HSNAW", "North Atlantic West of 50W, 31N to 50N", 31.0, 39.0, -70.0, -50.0),
    ("HSTAT", "Tropical Atlantic 35W to 60W, 7N to 31N", 7.0, 31.0, -60.0, -35.0),
    ("HSGMX", "Gulf of Mexico High Seas", 22.0, 27.0, -94.0, -86.0),
    ("HSCAR", "Caribbean Sea High Seas", 13.0, 17.0, -80.0, -67.0),
]

# METAREAs: (ID, numeral, zcode, description, lat, lon). The IDs are the ones
# of the METAREA picker's outlines.
METAREAS = [
    (1, "I", "MA01", "North East Atlantic", 58.0, -20.0),
    (2, "IB", "MA01B", "Baltic Sea", 58.0, 20.0),
    (3, "II", "MA02", "East Central Atlantic", 20.0, -25.0),
    (4, "III", "MA03", "Mediterranean and Black Sea", 37.0, 18.0),
    (5, "IV", "MA04", "North West Atlantic", 35.0, -60.0),
    (6, "V", "MA05", "South West Atlantic", -25.0, -35.0),
    (7, "VI", "MA06", "South Atlantic and Drake Passage", -45.0, -50.0),
    (8, "VII", "MA07", "South Atlantic and South West Indian Ocean", -40.0, 10.0),
    (12, "IX", "MA09", "Arabian Sea, Gulf of Aden and Red Sea", 15.0, 60.0),
    (13, "X", "MA10", "Waters North and East of Australia", -15.0, 150.0),
    (14, "XI", "MA11N", "North West Pacific", 30.0, 140.0),
    (15, "XI", "MA11S", "South China Sea and Indonesian Waters", 8.0, 115.0),
    (16, "XII", "MA12", "North East Pacific", 35.0, -140.0),
    (17, "XIII", "MA13", "Sea of Japan and Sea of Okhotsk", 45.0, 140.0),
    (18, "XIV", "MA14", "South West Pacific", -30.0, -170.0),
    (19, "XV", "MA15", "South East Pacific", -30.0, -100.0),
    (20, "XVI", "MA16", "Tropical East Pacific and Peru", -5.0, -95.0),
    (21, "XVII", "MA17", "Arctic: Alaska and the Beaufort Sea", 75.0, -150.0),
    (22, "XVIII", "MA18", "Arctic: Canadian Archipelago", 75.0, -90.0),
    (23, "XIX", "MA19", "Arctic: Greenland and Norwegian Seas", 75.0, 0.0),
    (24, "XX", "MA20", "Arctic: Barents and Kara Seas", 78.0, 60.0),
    (25, "XXI", "MA21", "Arctic: East Siberian Sea", 75.0, 160.0),
    (26, "VIII", "MA08", "Indian Ocean", -20.0, 75.0),
]

# The service that issues each METAREA's bulletins, by METAREA ID: the short
# text the METAREA picker writes under each area's numeral.
METAREA_ISSUERS = {
    1: "UK", 2: "Sweden", 3: "France", 4: "Greece", 5: "USA", 6: "Brazil", 7: "Argentina",
    8: "South Africa", 12: "Pakistan", 13: "Australia", 14: "Japan", 15: "China", 16: "USA",
    17: "Russia", 18: "New Zealand", 19: "Chile", 20: "Peru", 21: "Canada", 22: "Canada",
    23: "Norway", 24: "Russia", 25: "Russia", 26: "India",
}

# A METAREA row the picker has no outline for (it must be passed over).
METAREA_WITHOUT_OUTLINE = (27, "MA22", "Southern Ocean", -65.0, 0.0)

# Landmarks for naming buoys: (name, lat, lon).
LANDMARKS = [
    ("Cape Flattery", 48.38, -124.72), ("Grays Harbor", 46.91, -124.12), ("Columbia River", 46.25, -124.05),
    ("Newport", 44.63, -124.06), ("Cape Blanco", 42.84, -124.56), ("Eureka", 40.80, -124.16),
    ("Cape Mendocino", 40.44, -124.41), ("Point Arena", 38.95, -123.74), ("San Francisco", 37.81, -122.48),
    ("Monterey", 36.60, -121.89), ("Point Conception", 34.45, -120.47), ("Santa Barbara", 34.40, -119.69),
    ("San Diego", 32.70, -117.24), ("Cape Elizabeth", 47.35, -124.73), ("Vancouver Island", 49.50, -126.50),
    ("Haida Gwaii", 53.00, -132.00), ("Sitka", 57.05, -135.34), ("Yakutat", 59.55, -139.73),
    ("Kodiak", 57.79, -152.40), ("Unalaska", 53.87, -166.54), ("Adak", 51.86, -176.66),
    ("Attu", 52.93, 173.18), ("St. Paul Island", 57.13, -170.28), ("Nome", 64.50, -165.41),
    ("Honolulu", 21.31, -157.87), ("Hilo", 19.72, -155.08), ("Lihue", 21.98, -159.37),
    ("Midway Atoll", 28.21, -177.38), ("Johnston Atoll", 16.73, -169.53), ("Wake Island", 19.28, 166.65),
    ("Guam", 13.44, 144.79), ("Saipan", 15.18, 145.75), ("Okinawa", 26.33, 127.80),
    ("Tokyo Bay", 35.30, 139.80), ("Majuro", 7.09, 171.38), ("Suva", -18.14, 178.44),
    ("Nukualofa", -21.14, -175.20), ("Apia", -13.83, -171.76), ("Noumea", -22.27, 166.44),
    ("Portland", 43.66, -70.25), ("Cape Cod", 41.67, -69.95), ("Nantucket", 41.28, -70.10),
    ("Montauk Point", 41.07, -71.86), ("Sandy Hook", 40.47, -74.01), ("Cape May", 38.93, -74.91),
    ("Cape Charles", 37.12, -75.91), ("Cape Hatteras", 35.23, -75.53), ("Cape Lookout", 34.60, -76.54),
    ("Cape Fear", 33.84, -77.96), ("Charleston", 32.75, -79.87), ("Savannah", 32.03, -80.85),
    ("St. Augustine", 29.88, -81.28), ("Cape Canaveral", 28.39, -80.60), ("Fort Pierce", 27.45, -80.30),
    ("Miami", 25.76, -80.13), ("Key West", 24.55, -81.80), ("Bermuda", 32.30, -64.78),
    ("Nassau", 25.06, -77.35), ("San Juan", 18.47, -66.11), ("St. Croix", 17.73, -64.73),
    ("Barbados", 13.10, -59.61), ("Martinique", 14.64, -61.02), ("Kingston", 17.97, -76.79),
    ("Grand Cayman", 19.30, -81.38), ("Cozumel", 20.42, -86.92), ("Cabo Gracias a Dios", 15.00, -83.15),
    ("Naples", 26.14, -81.80), ("Tampa Bay", 27.60, -82.76), ("Apalachicola", 29.73, -84.98),
    ("Pensacola", 30.35, -87.31), ("Mobile Point", 30.23, -88.03), ("Southwest Pass", 28.93, -89.43),
    ("Grand Isle", 29.24, -90.00), ("Sabine Pass", 29.73, -93.87), ("Galveston", 29.29, -94.78),
    ("Port Aransas", 27.83, -97.06), ("Port Isabel", 26.07, -97.21), ("Veracruz", 19.20, -96.13),
    ("Campeche", 19.85, -90.53), ("Halifax", 44.65, -63.57), ("Sable Island", 43.95, -59.91),
    ("Cape Race", 46.66, -53.08), ("Duluth", 46.78, -92.10), ("Marquette", 46.55, -87.38),
    ("Chicago", 41.88, -87.61), ("Milwaukee", 43.04, -87.89), ("Alpena", 45.06, -83.43),
    ("Cleveland", 41.50, -81.70), ("Buffalo", 42.89, -78.88), ("Rochester", 43.26, -77.60),
    ("Mizen Head", 51.45, -9.82), ("Lands End", 50.07, -5.72), ("Ushant", 48.46, -5.09),
    ("Cape Finisterre", 42.88, -9.27), ("Cape St. Vincent", 37.02, -8.99), ("Azores", 38.66, -27.22),
    ("Madeira", 32.65, -16.91), ("Canary Islands", 28.10, -15.42), ("Shetland", 60.15, -1.15),
    ("Dogger Bank", 54.70, 2.00), ("Gibraltar", 36.14, -5.35), ("Balearic Islands", 39.57, 2.65),
    ("Gulf of Lion", 43.00, 4.50), ("Sardinia", 39.22, 9.11), ("Malta", 35.90, 14.51),
    ("Crete", 35.34, 25.13), ("Cyprus", 34.92, 33.63), ("Perth", -31.95, 115.86),
    ("Cape Leeuwin", -34.37, 115.14), ("Sydney", -33.86, 151.21), ("Brisbane", -27.47, 153.03),
    ("Bass Strait", -39.50, 146.00), ("Auckland", -36.85, 174.76),
]

# Buoy regions: (product region name, id prefix, count, south, north, west, east)
BUOY_AREAS = [
    ("Northeast Pacific", "46", 60, 32.0, 55.0, -140.0, -117.5),
    ("Gulf of Alaska and Bering Sea", "46", 26, 50.5, 62.0, -178.0, -134.0),
    ("Hawaii and Central Pacific", "51", 26, 8.0, 30.0, -178.0, -150.0),
    ("Western Pacific", "52", 26, 8.0, 36.0, 128.0, 172.0),
    ("South Pacific", "55", 12, -30.0, -10.0, 165.0, -165.0),
    ("Northwest Atlantic", "44", 40, 35.0, 46.0, -75.5, -55.0),
    ("Southeast US and Caribbean", "41", 40, 10.0, 35.0, -81.0, -55.0),
    ("Gulf of Mexico", "42", 34, 19.0, 30.2, -97.5, -81.5),
    ("Great Lakes", "45", 16, 41.5, 48.5, -92.5, -76.5),
    ("Northeast Atlantic", "62", 24, 36.0, 61.0, -25.0, 5.0),
    ("Mediterranean", "61", 16, 33.0, 44.0, -5.0, 35.0),
    ("Australia and Indian Ocean", "56", 12, -42.0, -12.0, 105.0, 156.0),
]

# Buoys placed on purpose near the date line: (lat, lon)
DATELINE_BUOYS = [
    (51.60, 179.40), (52.30, -179.60), (54.90, 179.85), (30.20, -179.70),
    (8.40, 179.60), (-17.40, 179.70), (-21.60, -179.40), (-26.10, 179.90),
]

# Radar sites: (City, type, lat, lon)
RADARS = [
    ("Seattle, WA", "NEXRAD", 48.19, -122.50), ("Portland, OR", "NEXRAD", 45.72, -122.97),
    ("Medford, OR", "NEXRAD", 42.08, -122.72), ("Eureka, CA", "NEXRAD", 40.50, -124.29),
    ("San Francisco, CA", "NEXRAD", 37.16, -121.90), ("Los Angeles, CA", "NEXRAD", 34.41, -119.18),
    ("San Diego, CA", "NEXRAD", 32.92, -117.04), ("Sacramento, CA", "NEXRAD", 38.50, -121.63),
    ("Spokane, WA", "NEXRAD", 47.68, -117.63), ("Boise, ID", "NEXRAD", 43.49, -116.24),
    ("Las Vegas, NV", "NEXRAD", 36.00, -114.89), ("Phoenix, AZ", "NEXRAD", 33.29, -111.67),
    ("Salt Lake City, UT", "NEXRAD", 41.26, -112.45), ("Denver, CO", "NEXRAD", 39.79, -104.55),
    ("Anchorage, AK", "NEXRAD", 60.73, -151.35), ("Kodiak, AK", "NEXRAD", 57.81, -152.37),
    ("Fairbanks, AK", "NEXRAD", 64.51, -147.50), ("Honolulu, HI", "NEXRAD", 21.13, -157.18),
    ("Hilo, HI", "NEXRAD", 19.60, -155.27), ("Guam", "NEXRAD", 13.46, 144.81),
    ("San Juan, PR", "NEXRAD", 18.12, -66.08), ("Miami, FL", "NEXRAD", 25.61, -80.41),
    ("Key West, FL", "NEXRAD", 24.60, -81.70), ("Tampa, FL", "NEXRAD", 27.71, -82.40),
    ("Melbourne, FL", "NEXRAD", 28.11, -80.65), ("Jacksonville, FL", "NEXRAD", 30.48, -81.70),
    ("Tallahassee, FL", "NEXRAD", 30.40, -84.33), ("Mobile, AL", "NEXRAD", 30.68, -88.24),
    ("New Orleans, LA", "NEXRAD", 30.34, -89.83), ("Lake Charles, LA", "NEXRAD", 30.13, -93.22),
    ("Houston, TX", "NEXRAD", 29.47, -95.08), ("Corpus Christi, TX", "NEXRAD", 27.78, -97.51),
    ("Brownsville, TX", "NEXRAD", 25.92, -97.42), ("Dallas, TX", "NEXRAD", 32.57, -97.30),
    ("Charleston, SC", "NEXRAD", 32.66, -81.04), ("Wilmington, NC", "NEXRAD", 33.99, -78.43),
    ("Morehead City, NC", "NEXRAD", 34.78, -76.88), ("Norfolk, VA", "NEXRAD", 36.98, -77.01),
    ("Dover, DE", "NEXRAD", 38.83, -75.44), ("Philadelphia, PA", "NEXRAD", 39.95, -74.41),
    ("New York, NY", "NEXRAD", 40.87, -72.86), ("Boston, MA", "NEXRAD", 41.96, -71.14),
    ("Portland, ME", "NEXRAD", 43.89, -70.26), ("Caribou, ME", "NEXRAD", 46.04, -67.81),
    ("Buffalo, NY", "NEXRAD", 42.95, -78.74), ("Cleveland, OH", "NEXRAD", 41.41, -81.86),
    ("Detroit, MI", "NEXRAD", 42.70, -83.47), ("Chicago, IL", "NEXRAD", 41.60, -88.08),
    ("Milwaukee, WI", "NEXRAD", 42.97, -88.55), ("Green Bay, WI", "NEXRAD", 44.50, -88.11),
    ("Marquette, MI", "NEXRAD", 46.53, -87.55), ("Duluth, MN", "NEXRAD", 46.84, -92.21),
    ("Atlanta, GA", "NEXRAD", 33.36, -84.57), ("Nashville, TN", "NEXRAD", 36.25, -86.56),
    ("St. Louis, MO", "NEXRAD", 38.70, -90.68), ("Minneapolis, MN", "NEXRAD", 44.85, -93.57),
    ("Atlanta Hartsfield, GA", "TDWR", 33.65, -84.26), ("Baltimore, MD", "TDWR", 39.09, -76.63),
    ("Boston Logan, MA", "TDWR", 42.16, -70.93), ("Chicago Midway, IL", "TDWR", 41.65, -87.73),
    ("Cleveland Hopkins, OH", "TDWR", 41.29, -82.01), ("Dallas Love Field, TX", "TDWR", 32.93, -96.97),
    ("Denver Intl, CO", "TDWR", 39.73, -104.53), ("Detroit Metro, MI", "TDWR", 42.11, -83.52),
    ("Fort Lauderdale, FL", "TDWR", 26.14, -80.34), ("Houston Intercontinental, TX", "TDWR", 30.07, -95.57),
    ("Las Vegas Intl, NV", "TDWR", 36.14, -115.01), ("Miami Intl, FL", "TDWR", 25.76, -80.49),
    ("New Orleans Intl, LA", "TDWR", 30.02, -90.40), ("New York JFK, NY", "TDWR", 40.59, -73.88),
    ("Orlando, FL", "TDWR", 28.34, -81.33), ("Phoenix Sky Harbor, AZ", "TDWR", 33.42, -112.16),
    ("San Juan Intl, PR", "TDWR", 18.47, -66.18), ("Tampa Intl, FL", "TDWR", 27.86, -82.52),
    ("Washington National, DC", "TDWR", 38.70, -76.85), ("West Palm Beach, FL", "TDWR", 26.69, -80.27),
]
