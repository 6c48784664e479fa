#pragma once
// Timestamps that follow sound blocks and waterfall rows from their arrival on
// the network thread to the moment they are handed to the sound card or shown
// on screen. Built only into the benchmark build (FARLISTEN_LATENCY_PROBES);
// elsewhere every hook is an empty inline function and costs nothing.
//
// With the environment variable FARLISTEN_LATENCY_LOG naming a file, each
// measurement is appended to it as a line "sound <ms>" or "waterfall <ms>",
// and the moment the main window's first picture was flushed to the display
// as "shown-at <ns since the epoch>", for a launcher that noted when it started.

#include <cstdint>

namespace LatencyProbes {

#ifdef FARLISTEN_LATENCY_PROBES

// A sound frame arrived; the block this thread queues next was made from it.
void soundFrameArrived();
// The block at `samples` was queued on this thread.
void soundBlockQueued(const float* samples);
// The first sample of the block at `samples` was read for the sound server.
void soundBlockStarted(const float* samples);

void waterfallRowArrived(std::uint32_t sequence);
// The row was drawn into the picture; the next paint of the picture shows it.
void waterfallRowDrawn(std::uint32_t sequence);
void waterfallPainted();
// The main window was painted; the first time, its picture is flushed before
// the event loop turns again.
void windowPainted();

#else

inline void soundFrameArrived() {}
inline void soundBlockQueued(const float*) {}
inline void soundBlockStarted(const float*) {}
inline void waterfallRowArrived(std::uint32_t) {}
inline void waterfallRowDrawn(std::uint32_t) {}
inline void waterfallPainted() {}
inline void windowPainted() {}

#endif

} // namespace LatencyProbes
