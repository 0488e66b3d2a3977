// The builders of every pack, one per piece of the installation data.
#pragma once

#include "output/PackContents.h"
#include "packs/Fonts.h"
#include "png/Image.h"

#include <memory>
#include <vector>

namespace artgen {

// "fon": the meadow and sky behind everything.
void addMeadow(PackContents& pack);
// "flowers": the turning bunch, and its coarser cuts for lower pictures
// (scenePlacement::flowerCuts).
void addBouquet(PackContents& pack);
// "brushko" and "krilo" of species 1 to 5.
void addButterfly(PackContents& pack, int species);
// Every entry of clock.pak.
void addClock(PackContents& pack, const Fonts& fonts);
// Every entry of calendar.pak.
void addCalendar(PackContents& pack, const Fonts& fonts);
// "fps" and "0" ... "9" of utils.pak.
void addFrameCounter(PackContents& pack, const Fonts& fonts);
// The programs' icon (Windows), from a butterfly pack's wing: every size
// from 16 to 256 pixels that Windows asks for, smallest first.
std::vector<Image> paintIcon(const PackContents& butterfly);
// The preview: the scene drawn in software from the packs' own models.
Image renderPreview(const PackContents& mainPack, const PackContents& butterflies1, const PackContents& butterflies2,
                    int width, int height);

}  // namespace artgen
