// artgen OUTDIR [--only PACK ...] [--images DIR] [--verbose]
// Writes every pack, the preview bitmap and the Windows programs' icon
// (Quessanta.ico) into OUTDIR. --only limits the work to the named packs
// (for looking at one piece); --images also writes each painted image as its
// own PNG file into DIR.
#include "formats/CommandLine.h"
#include "platform/Platform.h"
#include "output/Bitmap.h"
#include "output/Ico.h"
#include "packs/Artwork.h"
#include "png/Png.h"

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

using namespace artgen;

namespace {

// Replaced atomically, as the packs are: a build stopped meanwhile leaves
// the old file, never a torn one.
Result<void> writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return platform::replaceFile(path, bytes.data(), bytes.size());
}

// Images written only to be looked at: one that cannot be is said, and the
// artwork is still made.
void writeImage(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (const Result<void> written = writeFile(path, bytes); !written) platform::warn(written.message());
}

void printUsage() {
    std::printf("Usage: %s OUTDIR [--only PACK]... [--images DIR] [--verbose]\n"
                "Paints the artwork and writes every pack and preview.ppk into the folder OUTDIR.\n"
                "  --only PACK      only that pack (or preview.ppk); may be repeated\n"
                "  --images DIR     also each painted image as a PNG file in DIR\n"
                "  --verbose        the time each file took\n"
                "  -h, --help       this text\n"
                "  -V, --version    the version\n",
                platform::programName().c_str());
}

// The artwork cannot be made: one line, and nothing more is written.
int cannotMake(const std::string& problem) {
    platform::showFatalError(problem);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    platform::setProgramName(argc > 0 ? argv[0] : nullptr, "artgen");
    for (int i = 1; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            printUsage();
            return 0;
        }
        if (isVersionOption(argv[i])) {
            std::printf("%s\n", versionLine().c_str());
            return 0;
        }
    }
    if (argc < 2) return reportUsageError("no output folder given");
    if (argv[1][0] == '-') return reportUsageError(std::string("the output folder comes first, not '") + argv[1] + "'");
    const std::string outDir = std::string(argv[1]) + "/";
    std::set<std::string> only;
    std::string imageDir;
    bool verbose = false;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--only") == 0 && hasValue) {
            only.insert(argv[++i]);
        } else if (std::strcmp(argv[i], "--images") == 0 && hasValue) {
            imageDir = std::string(argv[++i]) + "/";
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--only") == 0 || std::strcmp(argv[i], "--images") == 0) {
            return reportUsageError(std::string(argv[i]) + " needs a value");
        } else {
            return reportUsageError(std::string("unknown argument '") + argv[i] + "'");
        }
    }
    std::error_code error;
    if (!std::filesystem::is_directory(argv[1], error)) return cannotMake(std::string(argv[1]) + " is not a folder");
    auto wanted = [&](const std::string& name) { return only.empty() || only.count(name) != 0; };
    const auto start = std::chrono::steady_clock::now();
    Fonts fonts;
    if (const Result<void> opened = fonts.open(); !opened) return cannotMake(opened.message());
    bool ok = true;
    // A file that cannot be written is said, and the others are still made.
    auto written = [&](const Result<void>& result) {
        if (!result) platform::showFatalError(result.message());
        ok = ok && result.ok();
    };
    auto finish = [&](const std::string& name, const PackContents& pack) {
        written(pack.save(outDir + name));
        if (!imageDir.empty())
            for (const auto& image : pack.images) writeImage(imageDir + image.first, encodePng(image.second));
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
        if (!mainPack.error.empty()) return cannotMake(mainPack.error);
        if (wanted("main.pak")) finish("main.pak", mainPack);
    }
    PackContents butterflies[5];
    for (int species = 1; species <= 5; ++species) {
        const std::string name = "butterfly" + std::to_string(species) + ".pak";
        if (!wanted(name) && !wanted("preview.ppk") && !(species == 1 && wanted("Quessanta.ico"))) continue;
        addButterfly(butterflies[species - 1], species);
        if (!butterflies[species - 1].error.empty()) return cannotMake(butterflies[species - 1].error);
        if (wanted(name)) finish(name, butterflies[species - 1]);
    }
    if (wanted("utils.pak")) {
        PackContents pack;
        addFrameCounter(pack, fonts);
        if (!pack.error.empty()) return cannotMake(pack.error);
        finish("utils.pak", pack);
    }
    if (wanted("clock.pak")) {
        PackContents pack;
        addClock(pack, fonts);
        if (!pack.error.empty()) return cannotMake(pack.error);
        finish("clock.pak", pack);
    }
    if (wanted("calendar.pak")) {
        PackContents pack;
        addCalendar(pack, fonts);
        if (!pack.error.empty()) return cannotMake(pack.error);
        finish("calendar.pak", pack);
    }
    if (wanted("preview.ppk")) {
        const Image preview = renderPreview(mainPack, butterflies[0], butterflies[1], 152, 112);
        written(writeFile(outDir + "preview.ppk", encodeBmp24(preview)));
        if (!imageDir.empty()) writeImage(imageDir + "preview.png", encodePng(preview));
    }
    if (wanted("Quessanta.ico")) {
        const std::vector<Image> icon = paintIcon(butterflies[0]);
        written(writeFile(outDir + "Quessanta.ico", encodeIco(icon)));
        if (!imageDir.empty()) writeImage(imageDir + "icon.png", encodePng(icon.back()));
    }
    if (verbose) {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%6.2f s  done\n", s);
    }
    return ok ? 0 : 1;
}
