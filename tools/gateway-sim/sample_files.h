// The sample files the gateway stand-in serves in the demo profile: for every
// catalogue item a real file of its kind, of the size the catalogue gives it
// (within the stand-in's size cap): a chart picture (PNG, GIF or JPEG, drawn
// with the toolkit), a GRIB file of 10 m wind components over the item's area
// (written with ecCodes), or a text forecast.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

// An item's area: centre latitude, centre longitude in degrees east
// [0, 360), and its extent in degrees.
struct SampleArea {
    double lat = 0;
    double lon = 180;
    double height = 180;
    double width = 360;
};

struct SampleItem {
    std::string name;    // the stored file name
    std::string title;   // the catalogue title
    SampleArea area;
};

enum class SampleKind { Png, Gif, Jpeg, Grib, Text };

// The kind of file a stored name stands for, by its extension (lower case);
// anything that is not a picture or a GRIB file is a text.
SampleKind KindOf(const std::string& name);

// "40.00N 40.00W, 50 x 80 degrees"
std::string AreaText(const SampleArea& area);

// Each writer returns exactly `size` bytes when a file of its kind fits in
// them (GRIB: about 400 bytes, pictures: a few KB, text: any size); otherwise
// the smallest file it can make. The same item and size give the same bytes.
std::string TextSample(const SampleItem& item, size_t size);
std::string GribSample(const SampleItem& item, size_t size);
// Needs the toolkit's GUI to be initialised (it draws on a bitmap).
std::string ImageSample(const SampleItem& item, SampleKind kind, size_t size);
std::string SampleFile(const SampleItem& item, size_t size);

// One file to make: for the item, `size` bytes, and "<name>.bz2" beside it
// when the item has a compression option.
struct SampleJob {
    SampleItem item;
    size_t size = 0;
    bool compressed = false;
};

// The files for the catalogue database `db`: one per stored name, of the
// item's RawSize in KB (at most maxKb; 4 KB when the catalogue gives none).
// False (with a message) when the database cannot be read.
bool ReadSampleJobs(const std::string& db, long maxKb, std::vector<SampleJob>& jobs);

// Makes the jobs part, part + parts, part + 2 * parts, ... in `outDir`
// (created when missing); false (with a message) when one cannot be written.
bool WriteSamples(const std::vector<SampleJob>& jobs, const std::string& outDir, size_t part, size_t parts);

} // namespace sim
