// Whether the display asks for 4x multisampling. On a software rasteriser
// it multiplies the cost of every frame (there the fill is all the work) for
// edges that hardly change, so it is left off there unless asked for.
#pragma once

#include <string>

enum class MultisampleChoice { Auto, On, Off };

// QUESSANTA_MULTISAMPLE's value: "on", "off", or "auto" (also empty or
// anything else): off on a software rasteriser, on otherwise.
MultisampleChoice parseMultisampleChoice(const std::string& value);
// The choice displays opened from now on apply; Auto until a program's
// entry sets what its run was asked for.
MultisampleChoice multisampleChoice();
void setMultisampleChoice(MultisampleChoice choice);

// The choice applied: in "auto", the renderer a window would get is asked
// for first (platform::openGlRenderer), before any visible mode exists, and
// a software one (render/SoftwareRenderer.h) gets none.
bool wantMultisampling();

// Whether the display's framebuffer has sample buffers. Then alpha-tested
// parts are drawn with alpha to coverage instead of the alpha test, so that
// their cut-out edges are smoothed like every other edge. Set by Display.
bool framebufferMultisampled();
void setFramebufferMultisampled(bool multisampled);
