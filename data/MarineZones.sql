-- Marine-zones database (MarineZones.db): buoys, forecast zones with their
-- outlines, and weather radar sites. Replaced by catalogue updates, with the
-- user's selected flags carried over by StationID and zcode.
-- Positions are decimal degrees, north and east positive, longitudes in
-- [-180, 180].

CREATE TABLE Version (
  Version INTEGER NOT NULL
);

-- Buoy and coastal stations shown on the buoys page.
CREATE TABLE Buoys (
  StationID TEXT NOT NULL,
  BuoyName  TEXT NOT NULL DEFAULT '',
  Latitude  REAL NOT NULL,
  Longitude REAL NOT NULL,
  selected  INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX buoys_station ON Buoys(StationID);

-- Forecast zones and METAREAs. region groups the zones one picker offers
-- (WEST, EAST, GREAT_LAKES, SOUTH, GULF, ALASKA, PACIFIC_ISLANDS, PR_VI, the
-- OFFSHORE_ regions, HIGHSEAS, WMA); Map is the kind of forecast:
-- 'Coastal', 'Offshore', 'HighSeas' or 'MetArea'. The METAREA rows use the
-- fixed IDs 1-8 and 12-26 of the METAREA picker.
CREATE TABLE MZones (
  ID          INTEGER PRIMARY KEY,
  zcode       TEXT NOT NULL,
  region      TEXT NOT NULL,
  description TEXT NOT NULL DEFAULT '',
  lat         REAL NOT NULL DEFAULT 0,
  lon         REAL NOT NULL DEFAULT 0,
  Map         TEXT NOT NULL,
  selected    INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX mzones_zcode ON MZones(zcode);
CREATE INDEX mzones_region ON MZones(region);

-- Zone outlines: one row per vertex; vertices of a part are taken in row-id
-- order, parts in ascending part order.
CREATE TABLE MZonesPos (
  zcode TEXT NOT NULL,
  lat   REAL NOT NULL,
  lon   REAL NOT NULL,
  part  INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX mzonespos_zcode ON MZonesPos(zcode, part);

-- Weather radar sites; RadarType is 'NEXRAD' or 'TDWR'.
CREATE TABLE RadarCities (
  ID        INTEGER PRIMARY KEY,
  City      TEXT NOT NULL,
  RadarType TEXT NOT NULL,
  Latitude  REAL NOT NULL,
  Longitude REAL NOT NULL
);
