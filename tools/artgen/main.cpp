// artgen OUTDIR [--only PACK ...] [--images DIR] [--verbose]
// Writes every pack, the preview bitmap and the Windows programs' icon
// (Quessanta.ico) into OUTDIR. --only limits the work to the named packs
// (for looking at one piece); --images also writes each painted image as its
// own PNG file into DIR.
#include "formats/CommandLine.h"
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

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

void printUsage() {
    std::printf("Usage: %s OUTDIR [--only PACK]... [--images DIR] [--verbose]\n"
                "Paints the artwork and writes every pack and preview.ppk into the folder OUTDIR.\n"
                "  --only PACK      only that pack (or preview.ppk); may be repeated\n"
                "  --images DIR     also each painted image as a PNG file in DIR\n"
                "  --verbose        the time each file took\n"
                "  -h, --help       this text\n"
                "  -V, --version    the version\n",
                programName().c_str());
}

int usageError(const std::string& problem) {
    std::fputs(usageErrorText(problem).c_str(), stderr);
    return 2;
}

// The artwork cannot be made: one line, and nothing more is written.
int failure(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n", programName().c_str(), problem.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    setProgramName(argc > 0 ? argv[0] : nullptr, "artgen");
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
    if (argc < 2) return usageError("no output folder given");
    if (argv[1][0] == '-') return usageError(std::string("the output folder comes first, not '") + argv[1] + "'");
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
            return usageError(std::string(argv[i]) + " needs a value");
        } else {
            return usageError(std::string("unknown argument '") + argv[i] + "'");
        }
    }
    std::error_code error;
    if (!std::filesystem::is_directory(argv[1], error)) {
        std::fprintf(stderr, "%s: %s is not a folder\n", programName().c_str(), argv[1]);
        return 1;
    }
    auto wanted = [&](const std::string& name) { return only.empty() || only.count(name) != 0; };
    const auto start = std::chrono::steady_clock::now();
    Fonts fonts;
    std::string fontError;
    if (!fonts.open(&fontError)) return failure(fontError);
    bool ok = true;
    auto finish = [&](const std::string& name, const PackContents& pack) {
        std::string saveError;
        if (!pack.save(outDir + name, &saveError)) {
            std::fprintf(stderr, "%s: %s%s: %s\n", programName().c_str(), outDir.c_str(), name.c_str(), saveError.c_str());
            std::fprintf(stderr, "%s: cannot write %s%s\n", programName().c_str(), outDir.c_str(), name.c_str());
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
        if (!mainPack.error.empty()) return failure(mainPack.error);
        if (wanted("main.pak")) finish("main.pak", mainPack);
    }
    PackContents butterflies[5];
    for (int species = 1; species <= 5; ++species) {
        const std::string name = "butterfly" + std::to_string(species) + ".pak";
        if (!wanted(name) && !wanted("preview.ppk") && !(species == 1 && wanted("Quessanta.ico"))) continue;
        addButterfly(butterflies[species - 1], species);
        if (!butterflies[species - 1].error.empty()) return failure(butterflies[species - 1].error);
        if (wanted(name)) finish(name, butterflies[species - 1]);
    }
    if (wanted("utils.pak")) {
        PackContents pack;
        addFrameCounter(pack, fonts);
        if (!pack.error.empty()) return failure(pack.error);
        finish("utils.pak", pack);
    }
    if (wanted("clock.pak")) {
        PackContents pack;
        addClock(pack, fonts);
        if (!pack.error.empty()) return failure(pack.error);
        finish("clock.pak", pack);
    }
    if (wanted("calendar.pak")) {
        PackContents pack;
        addCalendar(pack, fonts);
        if (!pack.error.empty()) return failure(pack.error);
        finish("calendar.pak", pack);
    }
    if (wanted("preview.ppk")) {
        const Image preview = renderPreview(mainPack, butterflies[0], butterflies[1], 152, 112);
        if (!writeFile(outDir + "preview.ppk", encodeBmp24(preview))) {
            std::fprintf(stderr, "%s: cannot write %spreview.ppk\n", programName().c_str(), outDir.c_str());
            ok = false;
        }
        if (!imageDir.empty()) writeFile(imageDir + "preview.png", encodePng(preview));
    }
    if (wanted("Quessanta.ico")) {
        const std::vector<Image> icon = paintIcon(butterflies[0]);
        if (!writeFile(outDir + "Quessanta.ico", encodeIco(icon))) {
            std::fprintf(stderr, "%s: cannot write %sQuessanta.ico\n", programName().c_str(), outDir.c_str());
            ok = false;
        }
        if (!imageDir.empty()) writeFile(imageDir + "icon.png", encodePng(icon.back()));
    }
    if (verbose) {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%6.2f s  done\n", s);
    }
    return ok ? 0 : 1;
}
