// artgen OUTDIR [--only PACK ...] [--images DIR]
// Writes every pack and the preview bitmap into OUTDIR. --only limits the
// work to the named packs (for looking at one piece); --images also writes
// each painted image as its own PNG file into DIR.
#include "Artwork.h"
#include "Bitmap.h"
#include "Png.h"

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

using namespace artgen;

namespace {

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: artgen OUTDIR [--only PACK ...] [--images DIR] [--verbose]\n");
        return 2;
    }
    const std::string outDir = std::string(argv[1]) + "/";
    std::set<std::string> only;
    std::string imageDir;
    bool verbose = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only.insert(argv[++i]);
        } else if (std::strcmp(argv[i], "--images") == 0 && i + 1 < argc) {
            imageDir = std::string(argv[++i]) + "/";
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else {
            std::fprintf(stderr, "artgen: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    std::error_code error;
    if (!std::filesystem::is_directory(argv[1], error)) {
        std::fprintf(stderr, "artgen: %s is not a directory\n", argv[1]);
        return 1;
    }
    auto wanted = [&](const std::string& name) { return only.empty() || only.count(name) != 0; };
    const auto start = std::chrono::steady_clock::now();
    Fonts fonts;
    bool ok = true;
    auto finish = [&](const std::string& name, const PackContents& pack) {
        if (!pack.save(outDir + name)) {
            std::fprintf(stderr, "artgen: cannot write %s%s\n", outDir.c_str(), name.c_str());
            ok = false;
        }
        if (!imageDir.empty())
            for (const auto& image : pack.images) writeFile(imageDir + image.first, encodePng(image.second));
        if (verbose) {
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%6.2f s  %s\n", s, name.c_str());
        }
    };

    PackContents mainPack;
    const bool needMain = wanted("main.pak") || wanted("preview.ppk");
    if (needMain) {
        addMeadow(mainPack);
        addBouquet(mainPack);
        if (wanted("main.pak")) finish("main.pak", mainPack);
    }
    PackContents butterflies[5];
    for (int species = 1; species <= 5; ++species) {
        const std::string name = "butterfly" + std::to_string(species) + ".pak";
        if (!wanted(name) && !wanted("preview.ppk")) continue;
        addButterfly(butterflies[species - 1], species);
        if (wanted(name)) finish(name, butterflies[species - 1]);
    }
    if (wanted("utils.pak")) {
        PackContents pack;
        addFrameCounter(pack, fonts);
        finish("utils.pak", pack);
    }
    if (wanted("clock.pak")) {
        PackContents pack;
        addClock(pack, fonts);
        finish("clock.pak", pack);
    }
    if (wanted("calendar.pak")) {
        PackContents pack;
        addCalendar(pack, fonts);
        finish("calendar.pak", pack);
    }
    if (wanted("preview.ppk")) {
        const Image preview = renderPreview(mainPack, butterflies[0], butterflies[1], 152, 112);
        if (!writeFile(outDir + "preview.ppk", encodeBmp24(preview))) {
            std::fprintf(stderr, "artgen: cannot write %spreview.ppk\n", outDir.c_str());
            ok = false;
        }
        if (!imageDir.empty()) writeFile(imageDir + "preview.png", encodePng(preview));
    }
    if (verbose) {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%6.2f s  done\n", s);
    }
    return ok ? 0 : 1;
}
