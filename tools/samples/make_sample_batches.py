#!/usr/bin/env python3
"""Writes the sample batch files (samples/*.rvl) from our catalogue.

Each sample is a batch of real catalogue items for one kind of trip. The
items are named by file id; the script stops when an id is missing from
data/zir/products.csv or cannot be downloaded (an empty id), so the samples
always import whole. Run it after changing the catalogue or the list below:

    python3 tools/samples/make_sample_batches.py
"""
import csv
import os
import sys

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CATALOGUE = os.path.join(TOP, "data", "zir", "products.csv")
OUT = os.path.join(TOP, "samples")

# 2025-01-01 00:00 UTC: the samples' creation date.
DATE = 1735689600

SAMPLES = [
    {
        "name": "North Pacific Passage",
        "description": "Wind, pressure, charts and buoys for a passage across the North Pacific",
        "runstat": 2,
        "combine": 1,
        "items": ["gfs003", "gfs010", "wc013", "wc014", "wc022", "hs01", "by001", "by004", "sat008"],
    },
    {
        "name": "Atlantic Crossing",
        "description": "Models, charts and the Gulf Stream for a crossing of the North Atlantic",
        "runstat": 2,
        "combine": 1,
        "items": ["ww3003", "ww3010", "wc001", "wc002", "wc009", "hs06", "hs07", "oc30a", "sat001"],
    },
    {
        "name": "Gulf of Mexico Fishing",
        "description": "Sea temperature, currents, buoys and forecasts for a day offshore in the Gulf",
        "runstat": 2,
        "combine": 0,
        "items": ["oc42", "tf013", "tf014", "by056", "by058", "ozgmz015", "hs09", "oc62"],
    },
]


def catalogue_ids():
    with open(CATALOGUE, newline="", encoding="utf-8") as f:
        rows = csv.DictReader(line for line in f if not line.startswith("#"))
        return {row["FileID"] for row in rows if row["FileID"]}


def record(sample):
    folder = "%MyDocuments%/Weather Files/" + sample["name"]
    grib = folder + "/" + sample["name"] + ".grb" if sample["combine"] else ""
    lines = [
        "[batch]",
        "date=%d" % DATE,
        "runstat=%d" % sample["runstat"],
        "status=1",
        "application=",
        "args=0",
        "description=" + sample["description"],
        "folder=" + folder,
        "name=" + sample["name"],
        "combine=%d" % sample["combine"],
        "grib=" + grib,
        "interactive=0",
        "width=0.000000",
        "lat=0.000000",
        "lon=0.000000",
        "runwexpg=0",
    ]
    for item in sample["items"]:
        lines.append("recid=[File.%s]" % item)
        lines.append("status=1")
    lines.append("[batch]")
    return "".join(line + "\n" for line in lines)


def main():
    known = catalogue_ids()
    os.makedirs(OUT, exist_ok=True)
    for sample in SAMPLES:
        missing = [item for item in sample["items"] if item not in known]
        if missing:
            sys.exit("%s: not in the catalogue: %s" % (sample["name"], ", ".join(missing)))
        path = os.path.join(OUT, sample["name"] + ".rvl")
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(record(sample))
        print(path)


if __name__ == "__main__":
    main()
