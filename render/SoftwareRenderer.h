// Which OpenGL renderers draw on the processor: there every pixel costs a
// core's time, so multisampling stays off and a host's window gets a lower
// frame cap.
#pragma once

// Whether an OpenGL renderer string (GL_RENDERER) names a software
// rasteriser: Mesa's llvmpipe, softpipe and swrast, the "Software
// Rasterizer", Windows' "GDI Generic" and Microsoft's Basic Render Driver.
bool isSoftwareRenderer(const char* renderer);
