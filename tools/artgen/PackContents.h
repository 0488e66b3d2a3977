// The entries of one pack as the generator builds them, kept both encoded
// (for the file) and as pictures and models (for the preview renderer).
#pragma once

#include "Image.h"
#include "Model.h"

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

    // Power-of-two sides are checked here: the textures are made without
    // resizing, and older OpenGL needs them.
    void addImage(const std::string& name, const Image& image);
    void addModel(const std::string& name, const Model& model);

    // Writes the pack with the project's pack writer; false (after a line on
    // stderr) on failure.
    bool save(const std::string& path) const;
};

}  // namespace artgen
