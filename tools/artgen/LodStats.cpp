#include "LodStats.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
namespace artgen {
void lodStats(const Model& m, const std::vector<LodTag>& tags, const Image& tex) {
    const int W = 1920, H = 1080;
    const double f = 1.0 / std::tan(radians(22.5)), aspect = double(W) / H;
    struct Tri { double x[3], y[3], z[3]; double u[3], v[3]; int part; std::size_t first; };
    std::map<std::string, double> count, small1, small025, area, visPx, visTris;
    std::vector<std::string> catOf;  // per triangle
    std::vector<int> partOf; std::vector<std::size_t> firstOf;
    for (int p = 0; p < (int)m.parts.size(); ++p)
        for (std::size_t i = 0; i + 2 < m.parts[p].vertices.size(); i += 3) {
            std::string c = "?";
            for (const LodTag& t : tags) if (t.part == p && i >= t.begin && i < t.end) { c = t.cat; break; }
            catOf.push_back(c); partOf.push_back(p); firstOf.push_back(i);
        }
    const int angles = 8;
    for (int ai = 0; ai < angles; ++ai) {
        const Affine mv = Affine::translation({0, 0, -110}) * Affine::rotationX(-30) * Affine::rotationZ(ai * 45.0 + 10) * Affine::scaling(2);
        std::vector<float> depth(W * H, 1e9f); std::vector<int> id(W * H, -1);
        for (std::size_t t = 0; t < catOf.size(); ++t) {
            const ModelPart& part = m.parts[partOf[t]];
            double X[3], Y[3], Z[3], U[3], V[3];
            for (int k = 0; k < 3; ++k) {
                const Vertex& vx = part.vertices[firstOf[t] + k];
                Vec3 p = mv.point(vx.position);
                X[k] = (f / aspect * p.x / -p.z * 0.5 + 0.5) * W; Y[k] = (0.5 - f * p.y / -p.z * 0.5) * H; Z[k] = -p.z;
                U[k] = vx.uv.x; V[k] = vx.uv.y;
            }
            const double a = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
            const std::string& c = catOf[t];
            count[c] += 1; area[c] += std::fabs(a) / 2; if (std::fabs(a) / 2 < 1) small1[c] += 1; if (std::fabs(a) / 2 < 0.25) small025[c] += 1;
            if (std::fabs(a) < 1e-12) continue;
            const int x0 = std::max(0, (int)std::floor(std::min({X[0], X[1], X[2]}))), x1 = std::min(W - 1, (int)std::ceil(std::max({X[0], X[1], X[2]})));
            const int y0 = std::max(0, (int)std::floor(std::min({Y[0], Y[1], Y[2]}))), y1 = std::min(H - 1, (int)std::ceil(std::max({Y[0], Y[1], Y[2]})));
            for (int y = y0; y <= y1; ++y) for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double l0 = ((X[1] - px) * (Y[2] - py) - (Y[1] - py) * (X[2] - px)) / a;
                const double l1 = ((X[2] - px) * (Y[0] - py) - (Y[2] - py) * (X[0] - px)) / a;
                const double l2 = 1 - l0 - l1;
                if (l0 < 0 || l1 < 0 || l2 < 0) continue;
                const double z = l0 * Z[0] + l1 * Z[1] + l2 * Z[2];
                if (z >= depth[y * W + x]) continue;
                if (part.material.alphaTest) {
                    const double u = l0 * U[0] + l1 * U[1] + l2 * U[2], v = l0 * V[0] + l1 * V[1] + l2 * V[2];
                    int tx = std::clamp((int)(u * tex.width), 0, tex.width - 1), ty = std::clamp((int)(v * tex.height), 0, tex.height - 1);
                    if (tex.pixel(tx, ty)[3] < 128) continue;
                }
                depth[y * W + x] = (float)z; id[y * W + x] = (int)t;
            }
        }
        std::vector<char> seen(catOf.size(), 0);
        for (int i : id) if (i >= 0) { visPx[catOf[i]] += 1; if (!seen[i]) { seen[i] = 1; visTris[catOf[i]] += 1; } }
    }
    double tc = 0, ts = 0, tv = 0;
    std::printf("%-14s %7s %7s %7s %9s %9s %8s  (per frame avg over %d angles, 1920x1080)\n", "element", "tris", "<1px", "<.25px", "area", "visPx", "visTris", angles);
    for (auto& kv : count) {
        const std::string& c = kv.first;
        std::printf("%-14s %7.0f %7.0f %7.0f %9.0f %9.0f %8.0f\n", c.c_str(), kv.second / angles, small1[c] / angles, small025[c] / angles, area[c] / angles, visPx[c] / angles, visTris[c] / angles);
        tc += kv.second / angles; ts += small1[c] / angles; tv += visTris[c] / angles;
    }
    std::printf("total %.0f tris, %.0f under 1px, %.0f own a pixel\n", tc, ts, tv);
}
}
