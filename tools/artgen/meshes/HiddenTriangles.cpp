#include "meshes/HiddenTriangles.h"

#include "meshes/Detail.h"
#include "meshes/TurningView.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace artgen {

namespace {

// A picture 1080 pixels high, as a 1920x1080 screen shows the scene, and
// wider than any screen's view of the bunch, so that all of it is judged.
constexpr int width = 2400, height = 1080;
// One view per degree of the turn.
constexpr int turns = 360;
// How much nearer than the parts around it a surface must lie to be
// hidden: a hair's breadth, as a share of 1 / depth.
constexpr double depthMargin = 1e-3;

// Texels that hide what lies behind them: fully opaque, and so are all
// their neighbours, which linear filtering and multisampling's alpha to
// coverage blend in.
std::vector<bool> solidTexels(const Image& image) {
    std::vector<bool> solid(static_cast<std::size_t>(image.width) * image.height, false);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            bool all = true;
            for (int dy = -1; dy <= 1 && all; ++dy)
                for (int dx = -1; dx <= 1 && all; ++dx) {
                    const int nx = (x + dx + image.width) % image.width, ny = (y + dy + image.height) % image.height;
                    all = image.pixel(nx, ny)[3] == 255;
                }
            solid[static_cast<std::size_t>(y) * image.width + x] = all;
        }
    return solid;
}

struct Texture {
    int width = 0, height = 0;
    std::vector<bool> solid;
    bool at(double u, double v) const {
        const int x = static_cast<int>(std::floor(u * width)), y = static_cast<int>(std::floor(v * height));
        return solid[static_cast<std::size_t>(((y % height) + height) % height) * width + ((x % width) + width) % width];
    }
};

struct Triangle {
    Vec3 position[3];
    Vec2 uv[3];
    const Texture* cutOut;  // alpha-tested: hides only where solid
    bool hides;             // drawn with depth writes
};

// A triangle on the picture: x, y of the pixel grid (centres at + 0.5) and
// the attributes that are linear there: 1 / depth, and u and v over depth.
struct Flat {
    double x[3], y[3], w[3], uw[3], vw[3];
};

// Calls f(x, y, w, uw, vw) for every pixel centre inside the triangle.
template <typename F>
void raster(const Flat& t, F f) {
    const double area = (t.x[1] - t.x[0]) * (t.y[2] - t.y[0]) - (t.x[2] - t.x[0]) * (t.y[1] - t.y[0]);
    if (std::fabs(area) < 1e-12) return;
    // Plane equations of the attributes: a + ax x + ay y.
    auto plane = [&](const double* a, double& a0, double& ax, double& ay) {
        ax = ((a[1] - a[0]) * (t.y[2] - t.y[0]) - (a[2] - a[0]) * (t.y[1] - t.y[0])) / area;
        ay = ((a[2] - a[0]) * (t.x[1] - t.x[0]) - (a[1] - a[0]) * (t.x[2] - t.x[0])) / area;
        a0 = a[0] - ax * t.x[0] - ay * t.y[0];
    };
    double w0, wx, wy, u0, ux, uy, v0, vx, vy;
    plane(t.w, w0, wx, wy);
    plane(t.uw, u0, ux, uy);
    plane(t.vw, v0, vx, vy);
    const double side = area > 0 ? 1 : -1;
    const int yFirst = std::max(0, static_cast<int>(std::ceil(std::min({t.y[0], t.y[1], t.y[2]}) - 0.5)));
    const int yLast = std::min(height - 1, static_cast<int>(std::floor(std::max({t.y[0], t.y[1], t.y[2]}) - 0.5)));
    for (int y = yFirst; y <= yLast; ++y) {
        const double py = y + 0.5;
        double left = -1e300, right = 1e300;
        bool empty = false;
        for (int e = 0; e < 3 && !empty; ++e) {
            const int a = e, b = (e + 1) % 3;
            // side * ((xb - xa) (py - ya) - (yb - ya) (px - xa)) >= 0
            const double cx = -side * (t.y[b] - t.y[a]);
            const double c0 = side * ((t.x[b] - t.x[a]) * (py - t.y[a]) + (t.y[b] - t.y[a]) * t.x[a]);
            if (cx > 0) {
                left = std::max(left, -c0 / cx);
            } else if (cx < 0) {
                right = std::min(right, -c0 / cx);
            } else if (c0 < 0) {
                empty = true;
            }
        }
        if (empty) continue;
        const int xFirst = std::max(0, static_cast<int>(std::ceil(left - 0.5)));
        const int xLast = std::min(width - 1, static_cast<int>(std::floor(right - 0.5)));
        for (int x = xFirst; x <= xLast; ++x) {
            const double px = x + 0.5;
            f(x, y, w0 + wx * px + wy * py, u0 + ux * px + uy * py, v0 + vx * px + vy * py);
        }
    }
}

}  // namespace

std::vector<bool> shownTriangles(const Model& model, const std::map<std::string, Image>& images) {
    std::map<std::string, Texture> textures;
    for (const auto& entry : images)
        textures[entry.first] = Texture{entry.second.width, entry.second.height, solidTexels(entry.second)};
    std::vector<Triangle> triangles;
    for (const ModelPart& part : model.parts) {
        const auto found = textures.find(part.texture);
        const Texture* cutOut = part.material.alphaTest && found != textures.end() ? &found->second : nullptr;
        // An alpha-tested part without its picture hides nothing.
        const bool hides = !part.material.transparent && (!part.material.alphaTest || cutOut);
        for (std::size_t i = 0; i + 2 < part.vertices.size(); i += 3) {
            Triangle t{};
            for (int k = 0; k < 3; ++k) {
                t.position[k] = part.vertices[i + k].position;
                t.uv[k] = part.vertices[i + k].uv;
            }
            t.cutOut = cutOut;
            t.hides = hides;
            triangles.push_back(t);
        }
    }
    std::vector<bool> seen(triangles.size(), false);
    std::vector<Flat> flat(triangles.size());
    std::vector<float> nearest(static_cast<std::size_t>(width) * height), acrossRow(nearest.size()),
        farthestAround(nearest.size());
    const double focal = screenPixelsPerUnit(1.0);
    for (int turn = 0; turn < turns; ++turn) {
        const Affine eye = TurningView::eye(360.0 * turn / turns);
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            Flat& f = flat[i];
            for (int k = 0; k < 3; ++k) {
                const Vec3 p = eye.point(triangles[i].position[k]);
                f.w[k] = 1.0 / -p.z;
                f.x[k] = width / 2.0 + focal * p.x * f.w[k];
                f.y[k] = height / 2.0 - focal * p.y * f.w[k];
                f.uw[k] = triangles[i].uv[k].x * f.w[k];
                f.vw[k] = triangles[i].uv[k].y * f.w[k];
            }
        }
        // Everything drawn lies in this box of the picture, with a pixel
        // around it.
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        for (const Flat& f : flat)
            for (int k = 0; k < 3; ++k) {
                x0 = std::min(x0, f.x[k]);
                y0 = std::min(y0, f.y[k]);
                x1 = std::max(x1, f.x[k]);
                y1 = std::max(y1, f.y[k]);
            }
        const int left = std::max(0, static_cast<int>(x0) - 2), top = std::max(0, static_cast<int>(y0) - 2);
        const int right = std::min(width - 1, static_cast<int>(x1) + 2),
                  bottom = std::min(height - 1, static_cast<int>(y1) + 2);
        auto at = [](std::vector<float>& buffer, int x, int y) -> float& {
            return buffer[static_cast<std::size_t>(y) * width + x];
        };
        // What the opaque parts leave in front, as 1 / depth (0: nothing).
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) at(nearest, x, y) = 0;
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            if (!triangles[i].hides) continue;
            const Texture* cutOut = triangles[i].cutOut;
            raster(flat[i], [&](int x, int y, double w, double uw, double vw) {
                float& n = at(nearest, x, y);
                if (w > n && (!cutOut || cutOut->at(uw / w, vw / w))) n = static_cast<float>(w);
            });
        }
        // The farthest of it around each pixel (3 x 3): what shows beside an
        // edge. Rows first, then columns.
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                float far = at(nearest, x, y);
                if (x > left) far = std::min(far, at(nearest, x - 1, y));
                if (x < right) far = std::min(far, at(nearest, x + 1, y));
                at(acrossRow, x, y) = far;
            }
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                float far = at(acrossRow, x, y);
                if (y > top) far = std::min(far, at(acrossRow, x, y - 1));
                if (y < bottom) far = std::min(far, at(acrossRow, x, y + 1));
                at(farthestAround, x, y) = far;
            }
        auto shows = [&](double x, double y, double w) {
            if (x < 0 || y < 0 || x >= width || y >= height) return true;
            return w >= at(farthestAround, static_cast<int>(x), static_cast<int>(y)) * (1 - depthMargin);
        };
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            if (seen[i]) continue;
            const Flat& f = flat[i];
            // Its middle too, so that slivers between pixel centres are
            // judged. (Not its corners: there it meets its neighbours.)
            bool visible = shows((f.x[0] + f.x[1] + f.x[2]) / 3, (f.y[0] + f.y[1] + f.y[2]) / 3,
                                 (f.w[0] + f.w[1] + f.w[2]) / 3);
            if (!visible)
                raster(f, [&](int x, int y, double w, double, double) {
                    visible = visible || shows(x + 0.5, y + 0.5, w);
                });
            seen[i] = visible;
        }
    }
    return seen;
}

int removeHiddenTriangles(Model& model, const std::map<std::string, Image>& images) {
    const std::vector<bool> seen = shownTriangles(model, images);
    int removed = 0;
    std::size_t index = 0;
    for (ModelPart& part : model.parts) {
        std::vector<Vertex> kept;
        for (std::size_t i = 0; i + 2 < part.vertices.size(); i += 3, ++index) {
            if (seen[index]) {
                kept.insert(kept.end(), part.vertices.begin() + static_cast<std::ptrdiff_t>(i),
                            part.vertices.begin() + static_cast<std::ptrdiff_t>(i + 3));
            } else {
                ++removed;
            }
        }
        part.vertices = std::move(kept);
    }
    return removed;
}

}  // namespace artgen
