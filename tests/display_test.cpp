// The video mode, the fixed OpenGL state, the projection and the edge
// functions, on Mesa under Xvfb.
#include "render/Display.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

TEST(DisplayTest, DesktopModeAndFixedState) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    const int desktopBits = SDL_GetVideoInfo()->vfmt->BitsPerPixel;
    SDL_Quit();
    Display display(0, 0, 0);
    // The test display is 1024x768x24.
    EXPECT_EQ(display.width, 1024);
    EXPECT_EQ(display.height, 768);
    EXPECT_EQ(display.bitsPerPixel, desktopBits);  // the desktop's figure, recorded only
    ASSERT_NE(screenSurface, nullptr);
    EXPECT_EQ(screenSurface->w, 1024);
    EXPECT_EQ(screenSurface->h, 768);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    // At the desktop's size frames go straight to the window, not through a
    // framebuffer object that SDL copies at every swap.
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint v = 0;
    glGetIntegerv(GL_SHADE_MODEL, &v);
    EXPECT_EQ(v, GL_SMOOTH);
    glGetIntegerv(GL_DEPTH_FUNC, &v);
    EXPECT_EQ(v, GL_LEQUAL);
    glGetIntegerv(GL_BLEND_SRC, &v);
    EXPECT_EQ(v, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &v);
    EXPECT_EQ(v, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &v);
    EXPECT_EQ(v, GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_NEAR(ref, 0.9f, 1e-6);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &v);
    EXPECT_EQ(v, GL_NICEST);
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLdouble depth = 0;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0);
    const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (ext && std::strstr(ext, "GL_EXT_separate_specular_color")) {
        glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL_EXT, &v);
        EXPECT_EQ(v, GL_SEPARATE_SPECULAR_COLOR_EXT);
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    glGetIntegerv(GL_MATRIX_MODE, &v);
    EXPECT_EQ(v, GL_MODELVIEW);

    // The projection is gluPerspective(45, w/h, 0.1f, 250).
    GLdouble projection[16], expected[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, 1024.0f / 768.0f, static_cast<double>(0.1f), 250.0);
    glGetDoublev(GL_PROJECTION_MATRIX, expected);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(projection[i], expected[i], 1e-6) << i;

    // 4:3: the visible half-height at the scene plane is 100 tan 22.5.
    EXPECT_NEAR(display.edgeY(-100), -41.42, 0.005);
    EXPECT_NEAR(display.edgeX(-100), -55.23, 0.005);
    EXPECT_NEAR(display.edgeX(-200), 2 * display.edgeX(-100), 1e-9);
    EXPECT_EQ(display.edgeX(0), 0);
    EXPECT_EQ(display.edgeY(0), 0);
}

TEST(DisplayTest, WideModeKeepsTheHeightAndWidensTheEdges) {
    Display display(1024, 640, 32);  // 16:10
    EXPECT_EQ(display.width, 1024);
    EXPECT_EQ(display.bitsPerPixel, 32);
    EXPECT_NEAR(display.edgeY(-100), -41.42, 0.005);
    EXPECT_NEAR(display.edgeX(-100), -41.4214 * 1.6, 0.01);
}

TEST(DisplayDeathTest, VideoFailuresEndTheProcessWithTheirMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            Display d(0, 0, 0);
        },
        ::testing::ExitedWithCode(1), "^Video initialization failed: .+\n");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            Display d(640, 480, 32);
        },
        ::testing::ExitedWithCode(1), "^Video mode set failed: .+\n");
}

}  // namespace
