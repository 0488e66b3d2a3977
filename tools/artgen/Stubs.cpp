#include "Artwork.h"
namespace artgen {
void addCalendar(PackContents&, const Fonts&) {}
void addFrameCounter(PackContents&, const Fonts&) {}
Image renderPreview(const PackContents&, const PackContents&, const PackContents&, int w, int h) { return Image(w, h); }
}
