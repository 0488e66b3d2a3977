// The text "/s" hands each monitor's screensaver: every area the launcher
// can write reads back the same, and nothing else is taken for an area.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ScreenArea, ReadsBackWhatIsWrittenAndRefusesTheRest) {
    using platform::ScreenArea;
    for (const ScreenArea& area : {ScreenArea{0, 0, 1024, 768}, ScreenArea{-1920, -300, 1920, 1080},
                                   ScreenArea{32767, -32768, 1, 32767}}) {
        const std::string text = platform::screenAreaText(area);
        ScreenArea back;
        ASSERT_TRUE(platform::parseScreenArea(text, &back)) << text;
        EXPECT_EQ(platform::screenAreaText(back), text);
    }
    EXPECT_EQ(platform::screenAreaText({1024, 0, 800, 600}), "1024,0,800x600");
    for (const char* bad : {"", "1024,0,800", "1024,0,800x600,", " 1024,0,800x600", "1024,0,800x600 ", "+1,0,8x6",
                            "1,0,0x600", "1,0,800x-600", "32768,0,8x6", "0,-32769,8x6", "0,0,32768x1",
                            "99999999999999999999,0,1x1", "0,0,1x1\n", "a,0,1x1", "0,0,1X1", "0,,1x1"}) {
        ScreenArea area{7, 7, 7, 7};
        EXPECT_FALSE(platform::parseScreenArea(bad, &area)) << bad;
        EXPECT_EQ(area.width, 7) << bad;
    }
    // A NUL inside the text does not end it early.
    platform::ScreenArea area;
    EXPECT_FALSE(platform::parseScreenArea(std::string("0,0,8x6\0junk", 12), &area));
}

}  // namespace
