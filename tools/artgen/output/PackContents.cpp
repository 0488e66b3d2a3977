#include "output/PackContents.h"

#include "formats/Crc32.h"
#include "formats/ModelFormat.h"
#include "formats/PackFormat.h"
#include "png/Png.h"

#include <algorithm>
#include <string>

namespace artgen {

namespace {

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

void PackContents::fail(const std::string& problem) {
    if (error.empty()) error = problem;
}

void PackContents::addImage(const std::string& name, const Image& image) {
    if (!powerOfTwo(image.width) || !powerOfTwo(image.height)) {
        fail("image " + name + " is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
             ", not a power of two");
        return;
    }
    std::vector<std::uint8_t> png = encodePng(image);
    if (png.empty()) {
        fail("cannot encode " + name);
        return;
    }
    entries.emplace_back(name, std::move(png));
    images[name] = image;
}

void PackContents::addModel(const std::string& name, const Model& model) {
    entries.emplace_back(name, model.encode());
    models[name] = model;
}

void PackContents::addCutModel(const std::string& name, const Model& model, const std::string& source) {
    const auto from = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == source; });
    if (from == entries.end()) {
        fail("model " + name + " is cut from " + source + ", which the pack does not hold");
        return;
    }
    const std::uint32_t sourceCrc = crc32(from->second.data(), from->second.size());
    entries.emplace_back(name, markCutFrom(model.encode(), sourceCrc));
    models[name] = model;
}

Result<void> PackContents::save(const std::string& path) const {
    std::vector<PackEntryView> views;
    for (const auto& e : entries)
        views.push_back(PackEntryView{&e.first, EntryData{e.second.data(), static_cast<std::uint32_t>(e.second.size())}});
    return writePackFile(path, views);
}

}  // namespace artgen
