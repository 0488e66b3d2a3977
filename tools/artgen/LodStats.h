#pragma once
#include "Image.h"
#include "Model.h"
#include <string>
#include <vector>
namespace artgen {
struct LodTag { std::string cat; int part; std::size_t begin, end; };
void lodStats(const Model& m, const std::vector<LodTag>& tags, const Image& texture);
}
