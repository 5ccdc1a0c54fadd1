-- Catalogue database (zir.db): the content catalogue, the Basic window's
-- personalities, the gateway choices and the high-seas zone map.
-- The builder runs this file on an empty database, then loads the content
-- files of this folder. Text columns are declared TEXT so that prices and
-- sizes stay texts exactly as written.

-- One row: the catalogue's version number, compared by the update check.
CREATE TABLE Version (
  Version INTEGER NOT NULL
);

-- The catalogue. Rows are stored grouped by category, region and chart type;
-- the three index columns count 0, 1, 2 ... in order of first appearance at
-- their level (the catalogue tree is built from the rows in stored order).
-- Path and Compression hold text in the catalogue's own encoding
-- (CDbTextEncoder). Lat/Lon/Height/Width give the product's area (centre and
-- extent in degrees); Lon is degrees east in the range [0, 360) so that the
-- home-relative TransLon that the suggestion engine writes stays in
-- (-180, 180]. TransLon is scratch space of the suggestion engine.
CREATE TABLE products (
  CategoryIdx    INTEGER NOT NULL,
  RegionIdx      INTEGER NOT NULL,
  ChartTypeIdx   INTEGER NOT NULL,
  Category       TEXT NOT NULL DEFAULT '',
  Region         TEXT NOT NULL DEFAULT '',
  ChartType      TEXT NOT NULL DEFAULT '',
  FileID         TEXT NOT NULL DEFAULT '',
  Title          TEXT NOT NULL DEFAULT '',
  Path           TEXT NOT NULL DEFAULT '',
  File           TEXT NOT NULL DEFAULT '',
  Description    TEXT NOT NULL DEFAULT '',
  Price          TEXT NOT NULL DEFAULT '0',
  Compression    TEXT NOT NULL DEFAULT '',
  RawSize        TEXT NOT NULL DEFAULT '0',
  CompressedSize TEXT NOT NULL DEFAULT '0',
  Source         TEXT NOT NULL DEFAULT '',
  RaceDisable    INTEGER NOT NULL DEFAULT 0,
  Lat            REAL NOT NULL DEFAULT 0,
  Lon            REAL NOT NULL DEFAULT 0,
  Height         REAL NOT NULL DEFAULT 0,
  Width          REAL NOT NULL DEFAULT 0,
  TransLon       REAL NOT NULL DEFAULT 0
);
CREATE INDEX products_fileid ON products(FileID);

-- Basic window personalities: twenty rows per Region, ordered by disp_ord;
-- exactly one row of each Region carries the picture file name (in Icons/),
-- the others hold ''.
CREATE TABLE buttons (
  Region      TEXT NOT NULL,
  disp_ord    INTEGER NOT NULL,
  RaceDisable INTEGER NOT NULL DEFAULT 0,
  ButtonText  TEXT NOT NULL DEFAULT '',
  recid       TEXT NOT NULL DEFAULT '',
  graphic     TEXT NOT NULL DEFAULT ''
);

-- Gateway host names offered in the connection settings, with the address
-- the transfer connects to.
CREATE TABLE hosts (
  hostname   TEXT NOT NULL,
  IP         TEXT NOT NULL DEFAULT '',
  disp_order INTEGER NOT NULL
);

-- Gateway TCP ports offered in the connection settings.
CREATE TABLE ports (
  port       INTEGER NOT NULL,
  disp_order INTEGER NOT NULL
);

-- High-seas and METAREA zone code (MZones.zcode of MarineZones.db) to the
-- catalogue products that forecast it; a zone may have several rows.
CREATE TABLE MetHighSeasZones (
  Zone   TEXT NOT NULL,
  FileID TEXT NOT NULL
);
