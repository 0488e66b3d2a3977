// A small software renderer that draws the generator's own models the way
// the screensaver's fixed-function OpenGL does (perspective, depth test,
// one positional light with quadratic attenuation and separate specular,
// textures modulated by the lit colour, alpha test above 0.9, blended
// parts last), for the preview picture.
#pragma once

#include "geometry/Affine.h"
#include "meshes/Model.h"
#include "png/Image.h"

#include <map>
#include <string>
#include <vector>

namespace artgen {

class SoftRenderer {
public:
    // Picture size; the projection is 45 degrees vertically, near 0.1, far 250.
    SoftRenderer(int width, int height);

    // The light's position in eye space.
    void setLight(const Vec3& eyePosition) { light = eyePosition; }
    // Draws the opaque and alpha-tested parts at once and keeps the
    // transparent ones for flush. Parts whose texture is not in `images`
    // (procedural ones) are drawn untextured.
    void draw(const Model& model, const std::map<std::string, Image>& images, const Affine& modelView, bool lit);
    // Draws the kept transparent parts in order, without depth writes.
    void flush();
    // The picture reduced by `factor` in each direction.
    Image picture(int factor) const;

private:
    struct ShadedVertex {
        double x, y, z;   // window x, y and depth in [0, 1]
        double invW;      // 1 / clip w
        double r, g, b, a;
        double sr, sg, sb;  // separate specular
        double u, v;
    };
    struct Pending {
        std::vector<ShadedVertex> vertices;
        const Image* texture;
        bool alphaTest;
    };
    bool shade(const Vertex& v, const Material& m, const Affine& modelView, bool lit, ShadedVertex& out) const;
    void raster(const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c, const Image* texture,
                bool alphaTest, bool blend);

    int w, h;
    double f, aspect, zNear = 0.1, zFar = 250.0;
    Vec3 light{0, 12, -55};
    std::vector<float> colour;  // RGB
    std::vector<float> depth;
    std::vector<Pending> pending;
};

}  // namespace artgen
