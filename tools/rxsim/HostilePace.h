#pragma once
// How hard and when the hostile channels act, the same on the KiwiSDR and the
// OpenWebRX side so that a case means the same on both (README: "Hostile
// receiver").

#include <QtGlobal>

#include <chrono>

// 20 frames every 10 ms: 2000 frames a second.
inline constexpr std::chrono::milliseconds floodInterval{10};
inline constexpr int framesPerFloodTick = 20;
// The acts that break the connection wait until audio flows.
inline constexpr std::chrono::milliseconds actDelay{500};
// Deep JSON: the nesting, the size of a huge string, and the pause between
// one such message and the next.
inline constexpr int deepNesting = 100000;
inline constexpr qsizetype hugeStringBytes = 10 * 1000 * 1000;
inline constexpr std::chrono::milliseconds actSpacing{150};
// Parameter floods: the size of one flooding message (just below what a
// client takes) and how often a repeated word comes.
inline constexpr qsizetype floodMessageBytes = 16 * 1024 * 1024 - 64;
inline constexpr int repeatedWords = 10000;
// Text a server may hope a client shows as rich text: its kick and backoff
// reason in the markup-reasons case.
inline constexpr const char* markupReason = "<b>Closed</b> <a href=\"http://x/\">see here</a><img src=x><br>";
// Alternating zoom: how many waterfall frames, each at the other zoom.
inline constexpr int alternatingZoomFrames = 4000;
// Long profile names: how many profiles, and the length of each name.
inline constexpr int longProfileCount = 1000;
inline constexpr int longProfileNameLength = 1000;
// Decoder flood: text pieces and messages, 100 every 10 ms (10000 a second).
inline constexpr int decodesPerFloodTick = 100;
