#pragma once
// Spectral noise reduction: overlapping frames of about 20 ms (square-root
// Hann windows, half a frame apart) are taken to the frequency domain with
// liquid-dsp's FFT, each bin is weighted by a Wiener gain from its estimated
// signal-to-noise ratio (decision-directed, against musical noise), and the
// frames are added back together. The output is one frame late.
// The transforms are FFTW's real ones.
//
// The noise in each bin is followed from below: it drops at once to a
// quieter smoothed level and rises slowly otherwise. A steady tone would
// slowly be taken for noise, so no bin's noise is allowed above a few times
// the quietest of its neighbours: a carrier or a voice harmonic keeps its
// level while the noise between them is pushed down.
//
// All memory is taken in setSampleRate and prepare; process never allocates.
// The transforms are planned only in prepare: planning wakes much of FFTW,
// a couple of megabytes that a listener who never turns the reducer on
// does not pay for.

#include <complex>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

class NoiseReducer {
public:
    NoiseReducer();
    ~NoiseReducer();
    NoiseReducer(const NoiseReducer&) = delete;
    NoiseReducer& operator=(const NoiseReducer&) = delete;

    // Drops the transforms; until prepare is called again the reducer
    // passes the sound through untouched.
    void setSampleRate(double rate);
    // Plans the transforms for the rate, once.
    void prepare();
    // How far a bin holding only noise is pushed down.
    void setReductionDb(double db);
    void reset();
    // True once a whole frame has come through, so the output is sound and
    // not the silence the frame started with.
    bool isPrimed() const { return primed; }
    void process(std::span<float> samples);

    std::size_t frameSize() const { return size; }

private:
    struct Plans;

    void processFrame();

    std::unique_ptr<Plans> plans;
    std::size_t size = 0;
    std::size_t hop = 0;
    std::size_t fill = 0;
    std::size_t seen = 0;
    bool primed = false;
    float gainFloor = 0.25f;
    float riseFactor = 1.0f;
    std::vector<float> window;
    std::vector<float> input;
    std::vector<float> overlap;
    std::vector<float> output;
    std::vector<std::complex<float>> spectrum;
    std::vector<float> frame;
    std::vector<float> smoothed;
    std::vector<float> envelope;
    std::vector<float> noise;
    std::vector<float> fromLeft;
    std::vector<float> fromRight;
    std::vector<float> previousClean;
};
