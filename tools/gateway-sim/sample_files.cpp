#include "sample_files.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include <bzlib.h>
#include <eccodes.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/palette.h>
#include <wx/pen.h>
#include <wx/quantize.h>

#include "core/StringHelpers.h"
#include "samples.h"

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A generator seeded by the item's name, so a sample comes out the same
// every time it is made.
std::mt19937 Seeded(const std::string& name)
{
    std::seed_seq seed(name.begin(), name.end());
    return std::mt19937(seed);
}

std::string LowerExtension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::string Format(const char* format, double a, double b)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

// Degrees east [0, 360) as the usual -180..180 with a hemisphere letter.
std::string LonText(double lonEast, int decimals = 2)
{
    double lon = std::fmod(lonEast, 360.0);
    if (lon < 0)
        lon += 360.0;
    if (lon > 180.0)
        lon -= 360.0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f%c", decimals, std::fabs(lon),
                  std::fabs(lon) < 1e-9 || std::fabs(lon) > 180 - 1e-9 ? ' ' : lon < 0 ? 'W' : 'E');
    std::string text = buffer;
    if (text.back() == ' ')
        text.pop_back();
    return text;
}

std::string LatText(double lat, int decimals = 2)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f%c", decimals, std::fabs(lat),
                  std::fabs(lat) < 1e-9 ? ' ' : lat < 0 ? 'S' : 'N');
    std::string text = buffer;
    if (text.back() == ' ')
        text.pop_back();
    return text;
}

// --------------------------------------------------------------- text

const char* const kDirections[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
const char* const kPeriods[] = {"TODAY", "TONIGHT", "THU", "THU NIGHT", "FRI", "FRI NIGHT", "SAT", "SAT NIGHT",
                                "SUN", "SUN NIGHT", "MON", "MON NIGHT", "TUE", "TUE NIGHT", "WED", "WED NIGHT"};
const char* const kWeather[] = {"", " A chance of showers.", " Patchy fog in the morning.", " Rain likely.",
                                " Isolated thunderstorms.", ""};

std::string PeriodLine(std::mt19937& rng, size_t period)
{
    const int wind = 5 + static_cast<int>(rng() % 6) * 5;
    const int seas = 1 + static_cast<int>(rng() % 8);
    const int swellPeriod = 6 + static_cast<int>(rng() % 10);
    const std::string label = period < std::size(kPeriods) ? kPeriods[period]
                                                           : "DAY " + std::to_string(period / 2 + 1) +
                                                                 (period % 2 ? " NIGHT" : "");
    char line[256];
    std::snprintf(line, sizeof line, ".%s...%s wind %d to %d kt. Seas %d to %d ft. Wave detail: %s %d ft at %d seconds.%s\n",
                  label.c_str(), kDirections[rng() % 8], wind, wind + 5, seas, seas + 2, kDirections[rng() % 8],
                  seas + 1, swellPeriod, kWeather[rng() % std::size(kWeather)]);
    return line;
}

// --------------------------------------------------------------- GRIB

struct Grid {
    double step = 1;
    long ni = 1, nj = 1;
    double latFirst = 0, latLast = 0;   // north to south
    double lonFirst = 0;                // degrees east [0, 360)
    bool global = false;
};

Grid MakeGrid(const SampleArea& area, double step)
{
    Grid g;
    g.step = step;
    double north = std::min(90.0, area.lat + area.height / 2);
    double south = std::max(-90.0, area.lat - area.height / 2);
    north = std::min(90.0, std::ceil(north / step - 1e-9) * step);
    south = std::max(-90.0, std::floor(south / step + 1e-9) * step);
    if (north - south < step)
        north = std::min(90.0, south + step);
    g.latFirst = north;
    g.latLast = south;
    g.nj = std::lround((north - south) / step) + 1;
    g.global = area.width >= 360.0 - 1e-9;
    if (g.global) {
        g.lonFirst = 0;
        g.ni = std::max(1L, std::lround(360.0 / step));
    } else {
        double west = std::floor((area.lon - area.width / 2) / step + 1e-9) * step;
        double east = std::ceil((area.lon + area.width / 2) / step - 1e-9) * step;
        if (east - west < step)
            east = west + step;
        g.ni = std::lround((east - west) / step) + 1;
        g.lonFirst = std::fmod(west, 360.0);
        if (g.lonFirst < 0)
            g.lonFirst += 360.0;
    }
    return g;
}

// Bytes of one message: the sections around the data, and 16 bits a value.
constexpr size_t kGribOverhead = 179;
constexpr size_t kSection2Minimum = 5;
constexpr long kBitsPerValue = 16;
constexpr size_t kMaxSteps = 41;   // ten days, six-hourly

size_t MessageSize(const Grid& g)
{
    return kGribOverhead + static_cast<size_t>((g.ni * g.nj * kBitsPerValue + 7) / 8);
}

bool SetLong(codes_handle* h, const char* key, long value)
{
    return codes_set_long(h, key, value) == CODES_SUCCESS;
}

bool SetDouble(codes_handle* h, const char* key, double value)
{
    return codes_set_double(h, key, value) == CODES_SUCCESS;
}

bool SetString(codes_handle* h, const char* key, const char* value)
{
    size_t length = std::strlen(value);
    return codes_set_string(h, key, value, &length) == CODES_SUCCESS;
}

// A wind field: westerlies and easterlies by latitude, and a cyclone that
// moves east with time.
void WindValues(const Grid& g, const SampleArea& area, double hours, unsigned seed, std::vector<double>& u,
                std::vector<double>& v)
{
    u.resize(static_cast<size_t>(g.ni * g.nj));
    v.resize(u.size());
    const double radius = std::max(2.0, std::min(area.height, std::min(area.width, 360.0)) / 4);
    const double centreLat = area.lat + (static_cast<int>(seed % 7) - 3) * radius / 8;
    const double centreLon = area.lon - area.width / 4 + hours * radius / 48 + static_cast<double>(seed % 5);
    const double sign = centreLat < 0 ? -1.0 : 1.0;   // cyclones turn the other way in the south
    size_t k = 0;
    for (long j = 0; j < g.nj; ++j) {
        const double lat = g.latFirst - j * g.step;
        for (long i = 0; i < g.ni; ++i, ++k) {
            const double lon = g.lonFirst + i * g.step;
            const double zonal = -8.0 * std::cos(3.0 * lat * kPi / 180.0);
            double dx = std::remainder(lon - centreLon, 360.0) * std::cos(lat * kPi / 180.0);
            double dy = lat - centreLat;
            const double r = std::sqrt(dx * dx + dy * dy) + 1e-6;
            const double speed = 22.0 * (r / radius) * std::exp(1.0 - r / radius);
            u[k] = zonal - sign * speed * dy / r;
            v[k] = sign * speed * dx / r;
        }
    }
}

// One message of 10 m wind (u or v) on the grid.
std::string WindMessage(const Grid& g, bool uComponent, long hours, const std::vector<double>& values)
{
    codes_handle* h = codes_grib_handle_new_from_samples(nullptr, "regular_ll_sfc_grib2");
    if (!h)
        return std::string();
    bool ok = SetString(h, "centre", "kwbc") && SetLong(h, "dataDate", 20250101) && SetLong(h, "dataTime", 0) &&
              SetLong(h, "typeOfProcessedData", 1) && SetLong(h, "Ni", g.ni) && SetLong(h, "Nj", g.nj) &&
              SetDouble(h, "latitudeOfFirstGridPointInDegrees", g.latFirst) &&
              SetDouble(h, "longitudeOfFirstGridPointInDegrees", g.lonFirst) &&
              SetDouble(h, "latitudeOfLastGridPointInDegrees", g.latLast) &&
              SetDouble(h, "longitudeOfLastGridPointInDegrees", std::fmod(g.lonFirst + (g.ni - 1) * g.step, 360.0)) &&
              SetDouble(h, "iDirectionIncrementInDegrees", g.step) &&
              SetDouble(h, "jDirectionIncrementInDegrees", g.step) &&
              SetString(h, "shortName", uComponent ? "10u" : "10v") && SetLong(h, "forecastTime", hours) &&
              SetLong(h, "bitsPerValue", kBitsPerValue) &&
              codes_set_double_array(h, "values", values.data(), values.size()) == CODES_SUCCESS;
    std::string message;
    const void* data = nullptr;
    size_t length = 0;
    if (ok && codes_get_message(h, &data, &length) == CODES_SUCCESS)
        message.assign(static_cast<const char*>(data), length);
    codes_handle_delete(h);
    return message;
}

uint64_t ReadBig(const std::string& bytes, size_t at, int count)
{
    uint64_t value = 0;
    for (int n = 0; n < count; ++n)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + n]);
    return value;
}

void WriteBig(std::string& bytes, size_t at, int count, uint64_t value)
{
    for (int n = count - 1; n >= 0; --n, value >>= 8)
        bytes[at + n] = static_cast<char>(value & 0xFF);
}

// Puts an empty local-use section (section 2, zeros) of `length` bytes after
// section 1 of a GRIB 2 message, and fixes the message length.
std::string WithLocalSection(const std::string& message, size_t length)
{
    if (length < kSection2Minimum || message.size() < 21 || message.compare(0, 4, "GRIB") != 0)
        return message;
    const size_t section1 = static_cast<size_t>(ReadBig(message, 16, 4));
    const size_t at = 16 + section1;
    std::string section(length, '\0');
    WriteBig(section, 0, 4, length);
    section[4] = 2;
    std::string out = message.substr(0, at) + section + message.substr(at);
    WriteBig(out, 8, 8, out.size());
    return out;
}

// --------------------------------------------------------------- pictures

const wxColour kPaper(0xF5, 0xF7, 0xF9);
const wxColour kNavy(0x1F, 0x3B, 0x57);
const wxColour kTeal(0x2E, 0x7D, 0x8C);
const wxColour kSea(0xDC, 0xEB, 0xF2);
const wxColour kGrid(0xA9, 0xCB, 0xE0);
const wxColour kLabel(0x4A, 0x5A, 0x6A);
const wxColour kFrame(0x8A, 0x9A, 0xAA);

// The text cut to fit `width` pixels, with "..." when it had to be cut.
wxString Fitted(wxDC& dc, const wxString& text, int width)
{
    if (dc.GetTextExtent(text).GetWidth() <= width)
        return text;
    wxString cut = text;
    while (!cut.empty() && dc.GetTextExtent(cut + "...").GetWidth() > width)
        cut.RemoveLast();
    return cut + "...";
}

// A weather chart of the item's area: title bar, area, graticule, isobars
// round a low and a high.
wxImage DrawChart(const SampleItem& item, int w, int h)
{
    wxBitmap bitmap(w, h, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(kPaper));
        dc.Clear();
        const int margin = std::max(4, w / 40);
        const int bar = std::max(14, h / 9);

        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(kNavy));
        dc.DrawRectangle(0, 0, w, bar);
        wxFont titleFont(wxFontInfo(std::max(6, bar * 2 / 5)).Family(wxFONTFAMILY_SWISS).Bold());
        dc.SetFont(titleFont);
        dc.SetTextForeground(*wxWHITE);
        const wxString title = Fitted(dc, wxString::FromUTF8(item.title), w - 2 * margin);
        dc.DrawText(title, margin, (bar - dc.GetTextExtent(title).GetHeight()) / 2);

        wxFont small(wxFontInfo(std::max(6, bar / 3)).Family(wxFONTFAMILY_SWISS));
        dc.SetFont(small);
        dc.SetTextForeground(kLabel);
        const wxString areaText = Fitted(dc, "Area: " + wxString::FromUTF8(AreaText(item.area)), w - 2 * margin);
        const int lineHeight = dc.GetTextExtent("Ag").GetHeight();
        dc.DrawText(areaText, margin, bar + margin / 2);

        // The map, with a line below it for the sample note.
        const int mapTop = bar + margin + lineHeight;
        const wxRect map(margin, mapTop, w - 2 * margin, std::max(8, h - mapTop - lineHeight - 2));
        dc.SetBrush(wxBrush(kSea));
        dc.SetPen(wxPen(kFrame, 1));
        dc.DrawRectangle(map);
        dc.SetClippingRegion(map);

        const SampleArea& a = item.area;
        const double west = a.lon - a.width / 2, north = a.lat + a.height / 2;
        auto toX = [&](double lon) { return map.x + static_cast<int>((lon - west) / a.width * map.width); };
        auto toY = [&](double lat) { return map.y + static_cast<int>((north - lat) / a.height * map.height); };

        // Graticule at a round spacing, four to eight lines across.
        const double spacings[] = {0.1, 0.25, 0.5, 1, 2, 5, 10, 15, 20, 30, 45, 60, 90};
        double spacing = 90;
        for (double s : spacings)
            if (std::max(a.width, a.height) / s <= 8) {
                spacing = s;
                break;
            }
        dc.SetPen(wxPen(kGrid, 1));
        dc.SetTextForeground(kLabel);
        const int decimals = spacing >= 1 ? 0 : 2;
        // Latitudes at the left edge, above the band of the longitude labels.
        int latLabelWidth = 0;
        for (double lat = std::ceil((north - a.height) / spacing) * spacing; lat <= north + 1e-9; lat += spacing) {
            dc.DrawLine(map.x, toY(lat), map.GetRight(), toY(lat));
            const wxString label = wxString::FromUTF8(LatText(lat, decimals));
            if (toY(lat) + 1 + lineHeight < map.GetBottom() - lineHeight) {
                dc.DrawText(label, map.x + 2, toY(lat) + 1);
                latLabelWidth = std::max(latLabelWidth, dc.GetTextExtent(label).GetWidth());
            }
        }
        // Longitudes along the bottom, each only where it does not run into
        // the one before it or the latitude labels.
        int freeFrom = map.x + latLabelWidth + 6;
        for (double lon = std::ceil(west / spacing) * spacing; lon <= west + a.width + 1e-9; lon += spacing) {
            dc.DrawLine(toX(lon), map.y, toX(lon), map.GetBottom());
            const wxString label = wxString::FromUTF8(LonText(lon, decimals));
            const int width = dc.GetTextExtent(label).GetWidth();
            if (toX(lon) + 2 >= freeFrom && toX(lon) + 2 + width <= map.GetRight()) {
                dc.DrawText(label, toX(lon) + 2, map.GetBottom() - lineHeight);
                freeFrom = toX(lon) + 2 + width + 6;
            }
        }

        // Isobars round a low and a high placed by the item's name.
        std::mt19937 rng = Seeded(item.name);
        struct Centre {
            double fx, fy;
            const char* letter;
            int pressure;
        } centres[] = {
            {0.15 + (rng() % 20) / 100.0, 0.25 + (rng() % 40) / 100.0, "L", 984 + static_cast<int>(rng() % 12)},
            {0.62 + (rng() % 23) / 100.0, 0.3 + (rng() % 40) / 100.0, "H", 1020 + static_cast<int>(rng() % 12)},
        };
        wxFont letterFont(wxFontInfo(std::max(8, map.height / 8)).Family(wxFONTFAMILY_SWISS).Bold());
        for (const Centre& c : centres) {
            const int cx = map.x + static_cast<int>(c.fx * map.width);
            const int cy = map.y + static_cast<int>(c.fy * map.height);
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.SetPen(wxPen(kTeal, std::max(1, w / 400)));
            const int rings = 6;
            for (int ring = 1; ring <= rings; ++ring) {
                const int rx = ring * map.width / (rings * 3);
                const int ry = ring * map.height / (rings * 3 + 2);
                dc.DrawEllipse(cx - rx, cy - ry, 2 * rx, 2 * ry);
            }
            dc.SetFont(letterFont);
            dc.SetTextForeground(c.letter[0] == 'L' ? wxColour(0xB0, 0x30, 0x30) : kNavy);
            const wxSize letter = dc.GetTextExtent(c.letter);
            dc.DrawText(c.letter, cx - letter.GetWidth() / 2, cy - letter.GetHeight() / 2);
            dc.SetFont(small);
            dc.SetTextForeground(kLabel);
            dc.DrawText(wxString::Format("%d", c.pressure), cx - letter.GetWidth() / 2, cy + letter.GetHeight() / 2);
        }
        dc.DestroyClippingRegion();
        dc.SetFont(small);
        dc.SetTextForeground(kFrame);
        const wxString note = "Tidewright demo sample";
        const wxSize noteSize = dc.GetTextExtent(note);
        dc.DrawText(note, w - margin - noteSize.GetWidth(), map.GetBottom() + 2);
        dc.SelectObject(wxNullBitmap);
    }
    return bitmap.ConvertToImage();
}

std::string Encode(const wxImage& image, SampleKind kind)
{
    wxImage copy = image;
    wxBitmapType type = wxBITMAP_TYPE_PNG;
    if (kind == SampleKind::Gif) {
        // GIF holds at most 256 colours, in a palette.
        type = wxBITMAP_TYPE_GIF;
        wxPalette* palette = nullptr;
        if (!wxQuantize::Quantize(image, copy, &palette, 256, nullptr, wxQUANTIZE_FILL_DESTINATION_IMAGE) ||
            !palette)
            return std::string();
        copy.SetPalette(*palette);
        delete palette;
    } else if (kind == SampleKind::Jpeg) {
        type = wxBITMAP_TYPE_JPEG;
        copy.SetOption(wxIMAGE_OPTION_QUALITY, 85);
    }
    wxMemoryOutputStream out;
    if (!copy.SaveFile(out, type))
        return std::string();
    std::string bytes(out.GetSize(), '\0');
    out.CopyTo(&bytes[0], bytes.size());
    return bytes;
}

uint32_t Crc32(const std::string& bytes, size_t from, size_t count)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t n = from; n < from + count; ++n) {
        crc ^= static_cast<unsigned char>(bytes[n]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Smallest padding each format can add.
size_t MinimumPadding(SampleKind kind)
{
    switch (kind) {
    case SampleKind::Png: return 20;   // a tEXt chunk with the keyword "Comment"
    case SampleKind::Gif: return 5;    // a comment extension with one byte
    default: return 4;                 // an empty JPEG comment segment
    }
}

// Makes an encoded picture exactly `size` bytes long with comments that
// every reader skips.
std::string Padded(std::string bytes, SampleKind kind, size_t size, const std::string& note)
{
    if (bytes.size() >= size || size - bytes.size() < MinimumPadding(kind))
        return bytes;
    size_t pad = size - bytes.size();
    if (kind == SampleKind::Png) {
        // A tEXt chunk before IEND (the last 12 bytes).
        std::string text = "Comment";
        text += '\0';
        text += note;
        const size_t dataLength = pad - 12;
        text.resize(dataLength, ' ');
        std::string chunk(8, '\0');
        WriteBig(chunk, 0, 4, dataLength);
        chunk.replace(4, 4, "tEXt");
        chunk += text;
        chunk += std::string(4, '\0');
        WriteBig(chunk, chunk.size() - 4, 4, Crc32(chunk, 4, 4 + dataLength));
        bytes.insert(bytes.size() - 12, chunk);
    } else if (kind == SampleKind::Gif) {
        // A comment extension before the trailer (the last byte): blocks of
        // up to 255 bytes, each after its length, then a zero block.
        const size_t inner = pad - 3;                     // blocks with their length bytes
        const size_t blocks = (inner + 255) / 256;
        size_t data = inner - blocks;
        std::string extension = "\x21\xFE";
        std::string text = note;
        text.resize(data, ' ');
        for (size_t done = 0, left = blocks; left > 0; --left) {
            const size_t n = std::min<size_t>(255, data - done - (left - 1));
            extension += static_cast<char>(n);
            extension += text.substr(done, n);
            done += n;
        }
        extension += '\0';
        bytes.insert(bytes.size() - 1, extension);
    } else {
        // Comment segments after the start-of-image marker.
        std::string segments;
        std::string text = note;
        while (pad > 0) {
            size_t segment = std::min<size_t>(pad, 65537);
            if (pad - segment > 0 && pad - segment < 4)
                segment = pad - 4;
            std::string s = "\xFF\xFE";
            s += std::string(2, '\0');
            WriteBig(s, 2, 2, segment - 2);
            std::string body = text.substr(0, segment - 4);
            body.resize(segment - 4, ' ');
            text.clear();
            s += body;
            segments += s;
            pad -= segment;
        }
        bytes.insert(2, segments);
    }
    return bytes;
}

// --------------------------------------------------------------- catalogue

std::string Decode(const unsigned char* text)
{
    wxString s = wxString::FromUTF8(text ? reinterpret_cast<const char*>(text) : "");
    CDbTextEncoder::decode_db_string(s);
    return std::string(s.utf8_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

// ------------------------------------------------------------------- public

SampleKind KindOf(const std::string& name)
{
    const std::string ext = LowerExtension(name);
    if (ext == "png")
        return SampleKind::Png;
    if (ext == "gif")
        return SampleKind::Gif;
    if (ext == "jpg" || ext == "jpeg")
        return SampleKind::Jpeg;
    if (ext == "grb" || ext == "grib" || ext == "grb2" || ext == "grib2")
        return SampleKind::Grib;
    return SampleKind::Text;
}

std::string AreaText(const SampleArea& area)
{
    return LatText(area.lat) + " " + LonText(area.lon) + ", " +
           Format("%g x %g degrees", area.height, area.width);
}

std::string TextSample(const SampleItem& item, size_t size)
{
    std::mt19937 rng = Seeded(item.name);
    std::string title = item.title.empty() ? item.name : item.title;
    std::string text = title + "\n";
    text += "Sample forecast from the Tidewright demo gateway\n";
    text += "Area: " + AreaText(item.area) + "\n";
    text += "Issued 0400 UTC Wed Jan 1 2025\n\n";
    std::string tail = "\n$$\n";
    for (size_t period = 0; text.size() + tail.size() < size; ++period) {
        const std::string line = PeriodLine(rng, period);
        if (text.size() + line.size() + tail.size() > size)
            break;
        text += line;
    }
    text += tail;
    if (text.size() < size) {
        // The rest as blanks on the last line, so the text ends with a line end.
        text.insert(text.size() - 1, std::string(size - text.size(), ' '));
    } else if (text.size() > size) {
        text.resize(size);
        if (!text.empty())
            text.back() = '\n';
    }
    return text;
}

std::string GribSample(const SampleItem& item, size_t size)
{
    SampleArea area = item.area;
    area.height = std::clamp(area.height, 0.01, 180.0);
    area.width = std::clamp(area.width, 0.01, 360.0);

    // The finest round grid spacing at which one u and one v message fit,
    // then as many six-hourly steps as fit (at most ten days).
    const double steps[] = {0.01, 0.025, 0.05, 0.1, 0.125, 0.25, 0.5, 1, 2, 2.5, 5, 10, 15, 30, 45, 90};
    const size_t room = size > kSection2Minimum ? size - kSection2Minimum : 0;
    Grid grid = MakeGrid(area, 90);
    for (double step : steps) {
        const Grid g = MakeGrid(area, step);
        if (g.ni * g.nj >= 4 && 2 * MessageSize(g) <= room) {
            grid = g;
            break;
        }
    }
    const size_t message = MessageSize(grid);
    const size_t count = std::clamp<size_t>(room / (2 * message), 1, kMaxSteps);

    std::mt19937 rng = Seeded(item.name);
    const unsigned seed = rng();
    std::vector<std::string> messages;
    size_t whole = 0;
    std::vector<double> u, v;
    for (size_t n = 0; n < count; ++n) {
        const long hours = static_cast<long>(n) * 6;
        WindValues(grid, area, static_cast<double>(hours), seed, u, v);
        messages.push_back(WindMessage(grid, true, hours, u));
        messages.push_back(WindMessage(grid, false, hours, v));
        for (size_t k = messages.size() - 2; k < messages.size(); ++k) {
            if (messages[k].empty())
                return std::string();
            whole += messages[k].size();
        }
    }
    // The first message carries the bytes that make up the size.
    if (whole + kSection2Minimum <= size)
        messages[0] = WithLocalSection(messages[0], size - whole);
    std::string out;
    for (const std::string& m : messages)
        out += m;
    return out;
}

std::string ImageSample(const SampleItem& item, SampleKind kind, size_t size)
{
    // A picture of 800 x 600, or smaller when that does not fit the size.
    int w = 800, h = 600;
    std::string bytes;
    for (int attempt = 0; attempt < 8; ++attempt) {
        bytes = Encode(DrawChart(item, w, h), kind);
        const size_t room = size > MinimumPadding(kind) ? size - MinimumPadding(kind) : 0;
        if (bytes.empty() || bytes.size() <= room || w <= 80)
            break;
        const double scale = std::clamp(0.95 * std::sqrt(static_cast<double>(room) / bytes.size()), 0.3, 0.95);
        w = std::max(80, static_cast<int>(w * scale));
        h = std::max(60, static_cast<int>(h * scale));
    }
    if (bytes.empty())
        return bytes;
    return Padded(bytes, kind, size, "Tidewright demo sample: " + item.title);
}

std::string SampleFile(const SampleItem& item, size_t size)
{
    const SampleKind kind = KindOf(item.name);
    switch (kind) {
    case SampleKind::Grib: return GribSample(item, size);
    case SampleKind::Text: return TextSample(item, size);
    default: return ImageSample(item, kind, size);
    }
}

bool ReadSampleJobs(const std::string& db, long maxKb, std::vector<SampleJob>& jobs)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "gateway-samples: cannot open %s\n", db.c_str());
        sqlite3_close(handle);
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT * FROM products WHERE FileID <> ''", -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "gateway-samples: %s\n", sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return false;
    }
    auto column = [&](const char* name) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            if (std::strcmp(sqlite3_column_name(stmt, c), name) == 0)
                return c;
        return -1;
    };
    const int cPath = column("Path"), cCompression = column("Compression"), cRawSize = column("RawSize"),
              cTitle = column("Title"), cLat = column("Lat"), cLon = column("Lon"), cHeight = column("Height"),
              cWidth = column("Width");
    auto text = [&](int c) {
        const unsigned char* t = c >= 0 ? sqlite3_column_text(stmt, c) : nullptr;
        return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    auto real = [&](int c) { return c >= 0 ? sqlite3_column_double(stmt, c) : 0.0; };

    std::set<std::string> names;
    int step = SQLITE_DONE;
    while (cPath >= 0 && (step = sqlite3_step(stmt)) == SQLITE_ROW) {
        const std::string path = Decode(sqlite3_column_text(stmt, cPath));
        SampleJob job;
        job.item.name = StoredName(ProductName(path));
        if (job.item.name.size() > 4 && job.item.name.compare(job.item.name.size() - 4, 4, ".bz2") == 0)
            job.item.name.erase(job.item.name.size() - 4);
        if (job.item.name.empty() || !names.insert(job.item.name).second)
            continue;
        job.item.title = text(cTitle);
        if (real(cWidth) > 0 && real(cHeight) > 0) {
            job.item.area.lat = real(cLat);
            job.item.area.lon = real(cLon);
            job.item.area.height = real(cHeight);
            job.item.area.width = real(cWidth);
        }
        long kb = std::atol(text(cRawSize).c_str());
        if (kb <= 0)
            kb = 4;
        job.size = static_cast<size_t>(std::min(kb, maxKb)) * 1024;
        job.compressed = !Decode(cCompression >= 0 ? sqlite3_column_text(stmt, cCompression) : nullptr).empty() ||
                         path.find(".bz2") != std::string::npos;
        jobs.push_back(job);
    }
    const bool ok = cPath >= 0 && step == SQLITE_DONE;
    if (!ok)
        std::fprintf(stderr, "gateway-samples: cannot read the products of %s\n", db.c_str());
    sqlite3_finalize(stmt);
    sqlite3_close(handle);
    return ok;
}

bool WriteSamples(const std::vector<SampleJob>& jobs, const std::string& outDir, size_t part, size_t parts)
{
    for (size_t slash = outDir.find('/', 1);; slash = outDir.find('/', slash + 1)) {
        ::mkdir(outDir.substr(0, slash).c_str(), 0777);
        if (slash == std::string::npos)
            break;
    }
    for (size_t n = part; n < jobs.size(); n += std::max<size_t>(1, parts)) {
        const SampleJob& job = jobs[n];
        const std::string bytes = SampleFile(job.item, job.size);
        const std::string target = outDir + "/" + job.item.name;
        if (bytes.empty() || !WriteBytes(target, bytes)) {
            std::fprintf(stderr, "gateway-samples: cannot make %s\n", target.c_str());
            return false;
        }
        if (!job.compressed)
            continue;
        std::vector<char> packed(bytes.size() + bytes.size() / 100 + 601);
        unsigned packedSize = static_cast<unsigned>(packed.size());
        std::string source = bytes;
        if (BZ2_bzBuffToBuffCompress(packed.data(), &packedSize, &source[0], static_cast<unsigned>(source.size()), 9,
                                     0, 0) != BZ_OK ||
            !WriteBytes(target + ".bz2", std::string(packed.data(), packedSize))) {
            std::fprintf(stderr, "gateway-samples: cannot write %s.bz2\n", target.c_str());
            return false;
        }
    }
    return true;
}

} // namespace sim
