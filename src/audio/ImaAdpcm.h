#pragma once
// IMA (DVI) ADPCM: the step-size and index-adjustment tables and the
// decoding of one 4-bit code, shared by the KiwiSDR and the OpenWebRX decoders.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::array<std::int32_t, 89> imaStepTable{
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Indexed by the whole 4-bit code; the sign bit does not change the adjustment.
inline constexpr std::array<std::int32_t, 16> imaIndexTable{
    -1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

inline constexpr int imaMaxStepIndex = 88;

// Decodes one code (only its low four bits are used) and returns the new
// sample, which it also leaves in `sample`, a 16-bit value. `index` comes back
// within 0..imaMaxStepIndex; it may come in outside (an OpenWebRX state block
// can carry anything, and the raw value takes part in the update) as long as
// adding 8 cannot overflow, and the step is then looked up at the nearest end.
inline int imaDecodeCode(int& index, int& sample, unsigned code)
{
    code &= 0x0Fu;
    const int step = imaStepTable[static_cast<std::size_t>(std::clamp(index, 0, imaMaxStepIndex))];
    index = std::clamp(index + imaIndexTable[code], 0, imaMaxStepIndex);
    int diff = step >> 3;
    if (code & 1)
        diff += step >> 2;
    if (code & 2)
        diff += step >> 1;
    if (code & 4)
        diff += step;
    if (code & 8)
        diff = -diff;
    sample = std::clamp(sample + diff, -32768, 32767);
    return sample;
}
