// Smooth value noise and fractal sums of it, for painted textures.
#pragma once

#include <cstdint>

namespace artgen {

// Value noise in about [-1, 1], smooth, period 1 lattice, different per seed.
double valueNoise(double x, double y, std::uint32_t seed);
// Sum of `octaves` noise layers, each at twice the frequency and `gain` of
// the amplitude of the one before; normalised to about [-1, 1].
double fbm(double x, double y, std::uint32_t seed, int octaves, double gain = 0.5);
// Noise that wraps around with the given integer period in x (for textures
// wrapped around a cylinder).
double fbmWrapX(double x, double y, int periodX, std::uint32_t seed, int octaves, double gain = 0.5);
// Cell noise: distance to the nearest of jittered points, one per cell.
double cellDistance(double x, double y, std::uint32_t seed);
// A hash of integers to [0, 1).
double hash01(std::int32_t x, std::int32_t y, std::uint32_t seed);

}  // namespace artgen
