#pragma once
// One recording's sound file, written through libsndfile: mono 16-bit WAV or
// FLAC at a fixed rate, on a descriptor the caller created. One thread uses it.
//
// Keeping a WAV file readable at any moment: libsndfile writes the samples
// straight to the descriptor (no buffer of its own), updateHeader() rewrites
// the RIFF and data sizes for everything written so far, and sync() then
// fdatasync()s, so the data and a header that describes it reach the disk
// together. A process killed between two updates leaves a header that is
// short of the data by what came since; a power cut loses what came since the
// last sync, and a header written after a sync that the cut interrupted may
// claim more than the file holds, which readers cut to the file's length.
// FLAC keeps its length in a header written only when the file is closed: a
// killed FLAC file holds every frame libFLAC finished (4096 samples each) but
// says its length is unknown, so a player learns it by reading to the end.

#include "model/RecordingFormat.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <variant>

struct sf_private_tag;

class SoundFileWriter {
public:
    // The largest WAV file is 4 GiB; we stop a little short of it.
    static constexpr std::uint64_t maxWavFrames = (0xFFFFFFFFull - 4096) / 2;

    // Takes the descriptor: it is closed with the writer, or at once when the
    // file cannot be started. The error is in words for the user.
    static std::variant<std::unique_ptr<SoundFileWriter>, QString> open(int fd, int sampleRate,
                                                                        RecordingFormat format);
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    int sampleRate() const { return rate; }
    std::uint64_t frames() const { return written; }
    // How many more frames the format can hold.
    std::uint64_t room() const;
    // Samples beyond -1..1 are clipped. The error when not all were written.
    std::optional<QString> write(std::span<const float> samples);
    std::optional<QString> updateHeader();
    std::optional<QString> sync();
    // Finishes the file (the final header, FLAC's length) and closes it.
    std::optional<QString> close();
    // The file's size now, header included.
    std::uint64_t fileBytes() const;

private:
    SoundFileWriter(sf_private_tag* file, int fd, int rate, RecordingFormat format);
    QString fileError() const;

    sf_private_tag* file;
    int fd;
    int rate;
    RecordingFormat format;
    std::uint64_t written = 0;
};
