#pragma once
// A mono 16-bit PCM WAV file that is valid after every append: the header's
// sizes are rewritten each time, so a run that ends abruptly leaves a readable
// file.

#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

class WavFileWriter {
public:
    // Creates (or truncates) the file; the error text when that fails.
    std::optional<QString> open(const QString& path, std::uint32_t sampleRate);
    bool isOpen() const;
    std::uint32_t sampleRate() const;
    // Samples are clamped to -1..1. Stops growing just short of the 4 GiB
    // the format can describe.
    void append(std::span<const float> samples);

private:
    void writeHeader();

    QFile file;
    std::uint32_t rate = 0;
    std::uint32_t dataBytes = 0;
};
