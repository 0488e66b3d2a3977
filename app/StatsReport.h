// Opt-in run statistics for long runs: when QUESSANTA_STATS_FILE is set,
// one line is appended to that file every QUESSANTA_STATS_SECONDS seconds
// (default 5, monotonic clock) with the frame count, the live scene nodes,
// open packs, textures, resident memory and what the overlays show. Off,
// and free, when the variable is not set.
#pragma once

// Called by the main loop after each frame, with the OpenGL context current.
void reportStatsIfDue();
