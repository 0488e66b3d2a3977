#include "PackContents.h"

#include "Png.h"
#include "formats/CommandLine.h"
#include "formats/PackFormat.h"

#include <cstdio>
#include <cstdlib>

namespace artgen {

namespace {

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

void PackContents::addImage(const std::string& name, const Image& image) {
    if (!powerOfTwo(image.width) || !powerOfTwo(image.height)) {
        std::fprintf(stderr, "%s: image %s is %dx%d, not a power of two\n", programName().c_str(), name.c_str(), image.width,
                     image.height);
        std::exit(1);
    }
    std::vector<std::uint8_t> png = encodePng(image);
    if (png.empty()) {
        std::fprintf(stderr, "%s: cannot encode %s\n", programName().c_str(), name.c_str());
        std::exit(1);
    }
    entries.emplace_back(name, std::move(png));
    images[name] = image;
}

void PackContents::addModel(const std::string& name, const Model& model) {
    entries.emplace_back(name, model.encode());
    models[name] = model;
}

bool PackContents::save(const std::string& path) const {
    std::vector<PackEntryView> views;
    for (const auto& e : entries)
        views.push_back(PackEntryView{&e.first, EntryData{e.second.data(), static_cast<std::uint32_t>(e.second.size())}});
    std::string error;
    if (writePackFile(path, views, &error)) return true;
    std::fprintf(stderr, "%s: %s: %s\n", programName().c_str(), path.c_str(), error.c_str());
    return false;
}

}  // namespace artgen
