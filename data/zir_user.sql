-- User database (zir_user.db): the user's batches. Copied once into the
-- user's database folder and never replaced by catalogue updates.

-- One row per batch. ID is the row id (new batches get max(ID)+1, so user
-- batches start at 3). Rows 0, 1 and 2 are reserved: 0 the global
-- properties (its folder is the global download folder), 1 the Basic
-- window's batch, 2 the content wizard's batch.
-- create_date: seconds since 1970-01-01 00:00 UTC, -1 for none.
-- An empty folder is filled in at start-up with the default download folder.
CREATE TABLE batches (
  ID            INTEGER PRIMARY KEY,
  title         TEXT NOT NULL DEFAULT '',
  description   TEXT NOT NULL DEFAULT '',
  create_date   INTEGER NOT NULL DEFAULT -1,
  status        INTEGER NOT NULL DEFAULT 1,
  runstat       INTEGER NOT NULL DEFAULT 0,
  application   TEXT NOT NULL DEFAULT '',
  args          INTEGER NOT NULL DEFAULT 0,
  folder        TEXT DEFAULT '',
  bCombineGribs INTEGER NOT NULL DEFAULT 0,
  gribfile      TEXT NOT NULL DEFAULT '',
  bInteractive  INTEGER NOT NULL DEFAULT 0,
  width         REAL NOT NULL DEFAULT 0,
  lat           REAL NOT NULL DEFAULT 0,
  lon           REAL NOT NULL DEFAULT 0,
  runwexpg      INTEGER NOT NULL DEFAULT 0,
  version       REAL NOT NULL DEFAULT 3.05
);

-- One row per item of a batch: productID is the catalogue FileID,
-- status 1 selected, 0 not selected.
CREATE TABLE batch_items (
  ID        INTEGER PRIMARY KEY,
  batchID   INTEGER NOT NULL,
  productID TEXT NOT NULL DEFAULT '',
  status    INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX batch_items_batch ON batch_items(batchID);
