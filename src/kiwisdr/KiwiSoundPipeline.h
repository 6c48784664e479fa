#pragma once
// Turns the sound frames of one KiwiSDR receiver into float samples for the
// audio player, keeping the ADPCM state from frame to frame (and across the
// receiver's "audio_adpcm_state" resets) for the life of a connection, and
// starts the player at the receiver's "audio_rate" (audio/SoundStream.h).
//
// processSoundFrame and applyParameters run on the sound channel's receive
// thread, reset and close on the main thread; `lock` guards `decoder` and is
// never held while the player is called.

#include "audio/SoundStream.h"
#include "kiwisdr/KiwiADPCMDecoder.h"
#include "kiwisdr/KiwiFrames.h"

#include <memory>
#include <mutex>
#include <vector>

class KiwiSoundPipeline {
public:
    explicit KiwiSoundPipeline(std::shared_ptr<SoundSink> player);

    KiwiSoundPipeline(const KiwiSoundPipeline&) = delete;
    KiwiSoundPipeline& operator=(const KiwiSoundPipeline&) = delete;

    void processSoundFrame(const KiwiSoundFrame& frame);

    // Picks "audio_adpcm_state" and "audio_rate" out of the parameters of
    // one "MSG" frame.
    void applyParameters(const std::vector<KiwiParam>& params);

    // A new connection: the decoder starts afresh and the stream waits for
    // its rate; `onStart` hears each new one.
    void reset(SoundStream::StartReport onStart = {});
    // The connection ended: no start of the player follows.
    void close();

    // A copy of the running ADPCM state.
    KiwiADPCMDecoder decoderState() const;

private:
    SoundStream stream;
    mutable std::mutex lock;
    KiwiADPCMDecoder decoder;
};
