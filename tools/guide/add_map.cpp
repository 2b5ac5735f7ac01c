// add-map: a raster GDAL reads becomes a map of the guide.
#include "tools/guide/commands.h"
#include "tools/guide/guide.h"
#include "tools/quantizer.h"
#include "tools/twk_encoder.h"

#include <gdal_priv.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

// The map image format stores sides in 16 bits; the program holds a map's
// pixels in one bitmap of at most 1 GiB.
constexpr int kMaxSide = 65535;
constexpr double kMaxBitmapBytes = 1024.0 * 1024 * 1024;

// NAME[,SECOND,THIRD] as the three texts of <Name>; the second defaults to
// the name and the third to the raster's file name.
std::vector<std::u16string> name_texts(const std::string& option, const std::string& raster) {
    std::vector<std::u16string> texts;
    std::u16string all = utf16(option);
    std::size_t at = 0;
    while (true) {
        const std::size_t comma = std::min(all.find(u',', at), all.size());
        texts.push_back(all.substr(at, comma - at));
        if (comma == all.size()) break;
        at = comma + 1;
    }
    if (texts.size() > 3) throw GuideError("--name holds at most three texts, separated by commas");
    if (texts.size() < 2) texts.push_back(texts[0]);
    if (texts.size() < 3) texts.push_back(utf16(std::filesystem::path(raster).filename().string()));
    for (const std::u16string& t : texts) {
        if (t.empty()) throw GuideError("--name: a text may not be empty (\"" + option + "\")");
        if (std::any_of(t.begin(), t.end(), [](char16_t c) { return c < u' '; })) {
            throw GuideError("--name: the texts hold a control character");
        }
    }
    if (texts[0].front() == u' ' || starts_with_tag(texts[0])) {
        throw GuideError("--name: a map name may not begin with a blank or a tag of the database format");
    }
    return texts;
}

// The database file: --file, else HOME.DAB, then MAIN.DAB, then one named
// after the map.
std::string database_file(const Guide& guide, const CommandLine& line, const std::u16string& name) {
    std::string file = line.value("--file");
    if (!file.empty()) {
        const bool dab = file.size() > 4 && lstrcmpiW(utf16(file.substr(file.size() - 4)).c_str(), u".DAB") == 0;
        if (!dab || file.find('/') != std::string::npos || file.size() < 5 || file[0] == '.') {
            throw GuideError("--file takes a file name ending in .DAB, without a directory (not \"" + file + "\")");
        }
    } else if (!guide.has_file("HOME.DAB")) {
        file = "HOME.DAB";
    } else if (!guide.has_file("MAIN.DAB")) {
        file = "MAIN.DAB";
    } else {
        for (char c : utf8(name)) file.push_back(std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(c)) : '_');
        file += ".DAB";
    }
    if (guide.has_file(file)) throw GuideError("the guide already has " + file + " (choose another with --file)");
    return file;
}

struct GdalClose {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};

// One band of the picture at the output size, in 0..255: bytes as they are,
// other types stretched from their smallest to their largest value.
std::vector<float> read_band(GDALRasterBand* band, int width, int height, GDALRIOResampleAlg resampling) {
    std::vector<float> values(static_cast<std::size_t>(width) * height);
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = resampling;
    if (band->RasterIO(GF_Read, 0, 0, band->GetXSize(), band->GetYSize(), values.data(), width, height, GDT_Float32, 0,
                       0, &extra) != CE_None) {
        throw GuideError(std::string("cannot read the raster's pixels: ") + CPLGetLastErrorMsg());
    }
    if (band->GetRasterDataType() != GDT_Byte) {
        double range[2] = {0, 0};
        band->ComputeRasterMinMax(FALSE, range);
        const double span = range[1] > range[0] ? range[1] - range[0] : 1;
        for (float& v : values) v = static_cast<float>((v - range[0]) * 255 / span);
    }
    return values;
}

std::uint8_t to_byte(float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// The raster at width x height as a palette picture: a palette raster keeps
// its palette and indices (nearest pixels when it is made smaller); any
// other is read as grey or red, green and blue (an alpha band laid over
// white, averaged when made smaller).
IndexedImage read_picture(GDALDataset& ds, int width, int height, int colours, bool dither, bool* reduced) {
    const int bands = ds.GetRasterCount();
    if (bands < 1) throw GuideError("the raster has no bands");
    GDALRasterBand* first = ds.GetRasterBand(1);
    const GDALColorTable* table = first->GetColorTable();
    if (table && first->GetRasterDataType() == GDT_Byte && table->GetColorEntryCount() <= 256) {
        IndexedImage image{width, height, {}, {}};
        for (int i = 0; i < table->GetColorEntryCount(); ++i) {
            const GDALColorEntry* e = table->GetColorEntry(i);
            auto over_white = [&](short c) { return to_byte(static_cast<float>(c * e->c4 + 255 * (255 - e->c4)) / 255); };
            image.palette.push_back(Rgb{over_white(e->c1), over_white(e->c2), over_white(e->c3)});
        }
        for (float v : read_band(first, width, height, GRIORA_NearestNeighbour)) image.pixels.push_back(to_byte(v));
        return fit_palette(image, colours, dither, reduced);
    }
    const bool colour = bands >= 3;
    const int alphaBand = bands == 2 || bands >= 4 ? (colour ? 4 : 2) : 0;
    std::vector<std::vector<float>> channels;
    for (int b = 1; b <= (colour ? 3 : 1); ++b) channels.push_back(read_band(ds.GetRasterBand(b), width, height, GRIORA_Average));
    std::vector<float> alpha;
    if (alphaBand) alpha = read_band(ds.GetRasterBand(alphaBand), width, height, GRIORA_Average);
    RgbImage rgb{width, height, {}};
    rgb.pixels.resize(channels[0].size());
    for (std::size_t i = 0; i < rgb.pixels.size(); ++i) {
        const float a = alpha.empty() ? 255 : std::clamp(alpha[i], 0.0f, 255.0f);
        auto c = [&](int ch) { return to_byte((channels[colour ? ch : 0][i] * a + 255 * (255 - a)) / 255); };
        rgb.pixels[i] = Rgb{c(0), c(1), c(2)};
    }
    return fit_palette(rgb, colours, dither, reduced);
}

// The raster's own georeference, when it has one: a geotransform, else
// ground control points, each with its coordinate system.
std::unique_ptr<MapGeoref> raster_georef(GDALDataset& ds, std::string* why) {
    std::array<double, 6> gt{};
    const OGRSpatialReference* srs = ds.GetSpatialRef();
    std::string error;
    if (ds.GetGeoTransform(gt.data()) == CE_None) {
        if (srs) return MapGeoref::from_affine(gt, *srs, &error);
        *why = "a georeference without a coordinate system (add a .prj beside it)";
        return nullptr;
    }
    if (ds.GetGCPCount() >= 3 && ds.GetGCPSpatialRef()) {
        std::vector<ControlPoint> points;
        const GDAL_GCP* gcps = ds.GetGCPs();
        for (int i = 0; i < ds.GetGCPCount(); ++i) {
            points.push_back({gcps[i].dfGCPPixel, gcps[i].dfGCPLine, gcps[i].dfGCPX, gcps[i].dfGCPY});
        }
        return MapGeoref::from_points(std::move(points), *ds.GetGCPSpatialRef(), &error);
    }
    *why = "no georeference";
    return nullptr;
}

}  // namespace

void run_add_map(const std::vector<std::string>& args) {
    const CommandLine line =
        parse_command_line(args, 2, {"--name", "--file", "--colours", "--max-size"}, {"--dither"});
    if (!line.has("--name")) throw GuideError("--name \"NAME[,SECOND,THIRD]\" is required");
    const std::string& raster = line.positional[1];
    const int colours = int_option(line, "--colours", 256, 2, 256);
    const int maxSize = int_option(line, "--max-size", kMaxSide, 1, kMaxSide);
    Guide guide(line.positional[0]);
    const std::vector<std::u16string> texts = name_texts(line.value("--name"), raster);
    for (const GuideMap& m : guide.maps()) {
        if (m.name == texts[0]) throw GuideError("the guide already has a map named \"" + utf8(texts[0]) + "\" (" + m.file + ")");
    }
    const std::string file = database_file(guide, line, texts[0]);
    std::string image = std::filesystem::path(file).stem().string();
    std::transform(image.begin(), image.end(), image.begin(), [](unsigned char c) { return std::tolower(c); });
    image += ".twk";

    std::unique_ptr<GDALDataset, GdalClose> ds(
        GDALDataset::Open(raster.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    if (!ds) throw GuideError("cannot read " + raster + " as a raster: " + CPLGetLastErrorMsg());
    const int sourceWidth = ds->GetRasterXSize();
    const int sourceHeight = ds->GetRasterYSize();
    const double scale = std::min(1.0, static_cast<double>(maxSize) / std::max(sourceWidth, sourceHeight));
    const int width = std::max(1, static_cast<int>(std::lround(sourceWidth * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(sourceHeight * scale)));
    if (width > kMaxSide || height > kMaxSide || (width + 3) / 4 * 4.0 * height > kMaxBitmapBytes) {
        throw GuideError(raster + " is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                         " pixels, where a map image holds at most 65535 a side and 1 GiB in all; make it smaller "
                         "with --max-size");
    }
    std::string why;
    std::unique_ptr<MapGeoref> georef = raster_georef(*ds, &why);
    if (georef && (width != sourceWidth || height != sourceHeight)) {
        georef = georef->scaled(static_cast<double>(sourceWidth) / width, static_cast<double>(sourceHeight) / height);
    }
    bool reduced = false;
    const bool dither = line.flags.count("--dither") > 0;
    const IndexedImage picture = read_picture(*ds, width, height, colours, dither, &reduced);
    std::string error;
    std::optional<std::string> twk = encode_twk(picture, TwkEncodeOptions{}, &error);
    if (!twk) throw GuideError(raster + ": " + error);

    for (const std::string& name : {image, std::filesystem::path(image).stem().string() + ".wld",
                                    std::filesystem::path(image).stem().string() + ".prj", image + ".aux.xml"}) {
        if (std::filesystem::exists(guide.path(name))) throw GuideError("the guide already has a file " + name);
    }
    guide.stage(image, std::move(*twk));
    if (georef) {
        for (auto& [name, content] : georef->sidecars(image)) guide.stage(name, content);
    }
    DabText text;
    text.append({u"<Mapfolio Version>", u"1", u"<Name>", texts[0] + u"," + texts[1] + u"," + texts[2], u"<Images>",
                 utf16(image)});
    guide.stage(file, text.bytes());
    std::string summary = file + ": map \"" + utf8(texts[0]) + "\", " + image + " " + std::to_string(width) + " x " +
                          std::to_string(height) + ", " + std::to_string(picture.palette.size()) + " colours" +
                          (reduced ? (dither ? " (reduced, dithered)" : " (reduced)") : "") + "\n";
    if (georef) {
        summary += std::string("georeferenced in ") + (georef->srs().GetName() ? georef->srs().GetName() : "its coordinate system") + "\n";
    } else {
        summary += raster + " has " + why + ": run georef before add-places or link\n";
    }
    guide.commit(summary);
}
