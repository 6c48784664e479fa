#pragma once
// Turns the sound frames of one KiwiSDR receiver into float samples for the
// audio player, keeping the ADPCM state from frame to frame (and across the
// receiver's "audio_adpcm_state" resets) for the life of the session.
//
// processSoundFrame and applyParameters run on the sound channel's receive
// thread, resetDecoder on the main thread; `lock` guards `decoder` and is
// never held while the player is called.

#include "audio/AudioSampleSink.h"
#include "kiwisdr/KiwiADPCMDecoder.h"
#include "kiwisdr/KiwiFrames.h"

#include <memory>
#include <mutex>
#include <vector>

class KiwiSoundPipeline {
public:
    explicit KiwiSoundPipeline(std::shared_ptr<AudioSampleSink> player);

    KiwiSoundPipeline(const KiwiSoundPipeline&) = delete;
    KiwiSoundPipeline& operator=(const KiwiSoundPipeline&) = delete;

    void processSoundFrame(const KiwiSoundFrame& frame);

    // Picks "audio_adpcm_state" out of the parameters of one "MSG" frame.
    void applyParameters(const std::vector<KiwiParam>& params);

    void resetDecoder();

    // A copy of the running ADPCM state.
    KiwiADPCMDecoder decoderState() const;

private:
    std::shared_ptr<AudioSampleSink> player;
    mutable std::mutex lock;
    KiwiADPCMDecoder decoder;
};
