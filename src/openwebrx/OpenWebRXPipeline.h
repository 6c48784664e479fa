#pragma once
// Turns the binary frames of one OpenWebRX socket into waterfall rows (cropped
// to the user's zoom and pan, levels in dB as the server sends them), rows of
// the decoder's spectrum and audio for the session's player. One pipeline lives as long as its session and is reset
// at every connection; only the row counter survives a reset. Compressed
// audio is decoded in the framing its first bytes show (with or without
// "SYNC" blocks), decided once per connection.
//
// Frames and configs arrive on the receive thread, reset and view updates on
// the main thread. `lock` guards every field and is never held while the
// player, the row sink or the framing sink is called. The player is started
// at each frame type's rate through the stream (audio/SoundStream.h).

#include "audio/SoundStream.h"
#include "connection/JSONValue.h"
#include "openwebrx/OpenWebRXADPCMDecoder.h"
#include "model/ReceiverModel.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

class OpenWebRXPipeline {
public:
    using RowSink = std::function<void(WaterfallRow)>;
    using AudioFramingSink = std::function<void(AudioFraming)>;

    // Frame types: the first byte of a binary message.
    static constexpr std::uint8_t waterfallFrame = 1;
    static constexpr std::uint8_t audioFrame = 2;
    // The chosen decoder's spectrum, coded as the waterfall is.
    static constexpr std::uint8_t decoderSpectrumFrame = 3;
    static constexpr std::uint8_t hdAudioFrame = 4;
    static constexpr double audioRate = 12000;
    static constexpr double hdAudioRate = 48000;

    // The largest "fft_size" taken from a config, and the most levels a
    // waterfall frame may carry; larger frames give no row.
    static constexpr std::int64_t maxFFTSize = 65536;

    // What the fields hold, for the client and for tests.
    struct Snapshot {
        bool audioCompressed = true;
        bool fftCompressed = true;
        std::int64_t fftSize = 0;
        double centerHz = 0;
        double sampleRateHz = 0;
        int zoom = 0;
        double viewStartHz = 0;
        std::optional<double> playerRate;
        std::optional<AudioFraming> audioFraming;
        std::uint32_t sequence = 0;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };

    // `rows` and `decoderRows` may be empty (such rows are then dropped).
    OpenWebRXPipeline(std::shared_ptr<SoundSink> player, RowSink rows, RowSink decoderRows = {});

    OpenWebRXPipeline(const OpenWebRXPipeline&) = delete;
    OpenWebRXPipeline& operator=(const OpenWebRXPipeline&) = delete;

    // Back to the state of a new connection; the row counter is kept.
    // `onAudioFraming`, when given, hears the connection's audio framing once,
    // on the receive thread, as soon as its first bytes have told it;
    // `onStart` hears each new audio rate.
    void reset(AudioFramingSink onAudioFraming = {}, SoundStream::StartReport onStart = {});
    // The connection ended: no start of the player follows.
    void close();
    // Takes the compression flags and the band from a "config" value; members
    // that are missing, of another kind or out of range change nothing.
    void applyConfig(const JSONValue& config);
    // The rate of the decoder's channel ("if_samp_rate"), which its spectrum
    // spans around the carrier.
    void setDecoderRate(double rateHz);
    // The user's zoom and the left edge of the visible part of the band.
    void setView(int zoom, double viewStartHz);

    // One binary message as received, frame type first: waterfall rows go to
    // the row sink, audio to the player. False when the first byte is not a
    // frame type (the message is then text); an empty message is no frame.
    bool processMessage(std::span<const std::uint8_t> message);

    std::optional<WaterfallRow> makeWaterfallRow(std::span<const std::uint8_t> payload);
    // Levels across the decoder's channel, placed in Hz from the carrier.
    std::optional<WaterfallRow> makeDecoderRow(std::span<const std::uint8_t> payload);
    void playAudio(std::span<const std::uint8_t> payload, double rate);

    Snapshot snapshot() const;

private:
    struct Fields {
        bool audioCompressed = true;
        bool fftCompressed = true;
        std::int64_t fftSize = 0;
        double centerHz = 0;
        double sampleRateHz = 0;
        int zoom = 0;
        double viewStartHz = 0;
        std::optional<double> decoderRateHz;
        OpenWebRXADPCMDecoder audioDecoder;
        AudioFramingSink onAudioFraming;
    };

    SoundStream stream;
    const RowSink rows;
    const RowSink decoderRows;
    mutable std::mutex lock;
    Fields fields;
    std::uint32_t sequence = 0;
    std::uint32_t decoderSequence = 0;
};
