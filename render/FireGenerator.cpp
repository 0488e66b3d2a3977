#include "render/FireGenerator.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Rgba {
    int r, g, b, a;
};

// Entries a (inclusive) to b (exclusive) from c0 towards c1; c1 itself is
// the first entry of the following gradient.
void gradient(unsigned char palette[256][4], int a, int b, Rgba c0, Rgba c1) {
    for (int i = a; i < b; ++i) {
        const double f = static_cast<double>(i - a) / (b - a);
        palette[i][0] = static_cast<unsigned char>(static_cast<int>(c0.r + (c1.r - c0.r) * f));
        palette[i][1] = static_cast<unsigned char>(static_cast<int>(c0.g + (c1.g - c0.g) * f));
        palette[i][2] = static_cast<unsigned char>(static_cast<int>(c0.b + (c1.b - c0.b) * f));
        palette[i][3] = static_cast<unsigned char>(static_cast<int>(c0.a + (c1.a - c0.a) * f));
    }
}

}  // namespace

FireState::FireState(std::int32_t width, std::int32_t height)
    : width(width),
      rows(height + 3),
      fieldA(static_cast<std::size_t>(width) * static_cast<std::size_t>(height + 3)),
      fieldB(fieldA.size()) {
    current = fieldA.data();
    next = fieldB.data();
    std::memset(palette, 0, sizeof palette);
    gradient(palette, 0, 64, {0, 0, 0, 0}, {255, 51, 36, 140});
    gradient(palette, 64, 96, {255, 51, 36, 140}, {255, 189, 51, 255});
    gradient(palette, 96, 128, {255, 189, 51, 255}, {255, 237, 51, 255});
    gradient(palette, 128, 196, {255, 237, 51, 255}, {100, 100, 189, 255});
    gradient(palette, 196, 255, {100, 100, 189, 255}, {255, 231, 51, 255});
}

void generateFire(std::int32_t, std::int32_t width, std::int32_t height, unsigned char* pixels, void* userData) {
    FireState& fire = *static_cast<FireState*>(userData);
    const int W = width;
    const int H = height;

    // The rand() calls are separate statements so their order is fixed: the
    // sequence is shared with the scene.
    const int sparks = std::rand() & (W - 1);
    for (int i = 0; i < sparks; ++i) {
        const int column = std::rand() % W;
        const int row = H + std::rand() % 3;
        fire.current[row * W + column] = static_cast<unsigned char>(std::rand() & 0xFF);
    }
    {
        const int half = H >> 1;
        const int column = std::rand() % W;
        const int row = half + std::rand() % half;
        fire.current[row * W + column] = static_cast<unsigned char>(std::rand() & 0xFF);
    }

    // Heat moves towards row 0 and cools by one per step.
    const int fw = fire.width;
    const unsigned char* cur = fire.current;
    unsigned char* nxt = fire.next;
    for (int r = 0; r <= fire.rows - 4; ++r) {
        const unsigned char* row0 = cur + r * fw;
        const unsigned char* row1 = row0 + fw;
        const unsigned char* row2 = row1 + fw;
        unsigned char* out = nxt + r * fw;
        out[0] = 0;
        out[fw - 1] = 0;
        for (int c = 1; c < fw - 1; ++c) {
            int h = (row0[c - 1] + row0[c + 1] + row1[c - 1] + row1[c] + row1[c + 1] + row2[c - 1] + row2[c] +
                     row2[c + 1]) >>
                    3;
            if (h > 0) --h;
            out[c] = static_cast<unsigned char>(h);
        }
    }

    const int cells = W * H;
    for (int j = 0; j < cells; ++j) std::memcpy(pixels + 4 * j, fire.palette[nxt[j]], 4);

    unsigned char* swap = fire.current;
    fire.current = fire.next;
    fire.next = swap;
}
