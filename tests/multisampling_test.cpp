// Multisampling by renderer: the rule that tells software rasterisers by
// name, and what the display really gets on Mesa's llvmpipe; and the frame
// cap in a host's window, which follows the same rule.
#include "app/MainLoop.h"
#include "render/Display.h"
#include "render/Multisampling.h"
#include "render/SoftwareRenderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Multisampling, SoftwareRasterisersAreToldByName) {
    for (const char* software : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Gallium 0.4 on softpipe",
                                 "Mesa DRI swrast", "Software Rasterizer", "GDI Generic",
                                 "Microsoft Basic Render Driver"})
        EXPECT_TRUE(isSoftwareRenderer(software)) << software;
    for (const char* hardware : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1080/PCIe/SSE2",
                                 "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)",
                                 "Intel(R) HD Graphics 4000", "virgl (ANGLE (NVIDIA))", ""})
        EXPECT_FALSE(isSoftwareRenderer(hardware)) << hardware;
    EXPECT_FALSE(isSoftwareRenderer(nullptr));
}

TEST(FrameCap, HostWindowsGetThirtyOnSoftwareRenderersAndFullScreenNone) {
    EXPECT_EQ(defaultMaxFps(true, "llvmpipe (LLVM 15.0.6, 256 bits)"), 30);
    EXPECT_EQ(defaultMaxFps(true, "GDI Generic"), 30);
    EXPECT_EQ(defaultMaxFps(true, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)"), 60);
    EXPECT_EQ(defaultMaxFps(true, nullptr), 60);
    EXPECT_EQ(defaultMaxFps(false, "llvmpipe (LLVM 15.0.6, 256 bits)"), 0);
    EXPECT_EQ(defaultMaxFps(false, "NVIDIA GeForce GTX 1080/PCIe/SSE2"), 0);
}

GLint sampleBuffersWith(const char* choice) {
    setMultisampleChoice(parseMultisampleChoice(choice ? choice : ""));
    Result<std::unique_ptr<Display>> opened = Display::open(320, 240, 32);
    EXPECT_TRUE(opened) << (opened ? "" : opened.message());
    std::unique_ptr<Display> display = opened ? std::move(*opened) : nullptr;
    GLint buffers = -1;
    if (display) glGetIntegerv(GL_SAMPLE_BUFFERS, &buffers);
    return buffers;
}

TEST(Multisampling, LlvmpipeGetsNoneByDefaultAndFourWhenAsked) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    {
        Result<std::unique_ptr<Display>> opened = Display::open(320, 240, 32);
        ASSERT_TRUE(opened) << (opened ? "" : opened.message());
        std::unique_ptr<Display> probe = opened ? std::move(*opened) : nullptr;
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (!isSoftwareRenderer(renderer)) GTEST_SKIP() << "not a software renderer: " << renderer;
    }
    EXPECT_EQ(sampleBuffersWith(nullptr), 0);
    EXPECT_EQ(sampleBuffersWith("auto"), 0);
    EXPECT_EQ(sampleBuffersWith("on"), 1);
    GLint samples = 0;
    {
        setMultisampleChoice(MultisampleChoice::On);
        Result<std::unique_ptr<Display>> opened = Display::open(320, 240, 32);
        ASSERT_TRUE(opened) << (opened ? "" : opened.message());
        std::unique_ptr<Display> display = opened ? std::move(*opened) : nullptr;
        glGetIntegerv(GL_SAMPLES, &samples);
        EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    }
    EXPECT_EQ(samples, 4);
    EXPECT_EQ(sampleBuffersWith("off"), 0);
    setMultisampleChoice(MultisampleChoice::Auto);
}

// Full screen at the desktop's size, where sdl12-compat draws straight to
// the window: Xvfb there has no visual with samples, and asking for them
// must still end with a display (and the samples) rather than no mode.
TEST(Multisampling, AskedForAtTheDesktopSizeStillOpens) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    for (const char* choice : {"on", "auto"}) {
        setMultisampleChoice(parseMultisampleChoice(choice));
        Result<std::unique_ptr<Display>> opened = Display::open(0, 0, 0);
        ASSERT_TRUE(opened) << choice << ": " << (opened ? "" : opened.message());
        std::unique_ptr<Display> display = opened ? std::move(*opened) : nullptr;
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        GLint buffers = -1;
        glGetIntegerv(GL_SAMPLE_BUFFERS, &buffers);
        if (isSoftwareRenderer(renderer)) {
            EXPECT_EQ(buffers, std::string(choice) == "on" ? 1 : 0) << choice;
        }
    }
    setMultisampleChoice(MultisampleChoice::Auto);
}

}  // namespace
