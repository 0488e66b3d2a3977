// The entries of one pack as the generator builds them, kept both encoded
// (for the file) and as pictures and models (for the preview renderer).
#pragma once

#include "meshes/Model.h"
#include "platform/Result.h"
#include "png/Image.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace artgen {

struct PackContents {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries;  // file order
    std::map<std::string, Image> images;
    std::map<std::string, Model> models;

    // The first thing that went wrong while the pack was built, empty while
    // nothing has: the generator reports it and writes nothing more.
    std::string error;
    void fail(const std::string& problem);

    // Power-of-two sides are checked here: the textures are made without
    // resizing, and older OpenGL needs them. An image that fails the check
    // or cannot be encoded is left out, and the pack fails.
    void addImage(const std::string& name, const Image& image);
    void addModel(const std::string& name, const Model& model);
    // A coarser cut of the model entry `source` (added before it), marked
    // with the source's CRC-32 so that the program draws it only in place
    // of that very entry. The pack fails when it holds no `source`.
    void addCutModel(const std::string& name, const Model& model, const std::string& source);

    // Writes the pack with the project's pack writer; false and the reason
    // in `why` on failure.
    Result<void> save(const std::string& path) const;
};

}  // namespace artgen
