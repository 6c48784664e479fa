#include "audio/WavFileWriter.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr std::uint32_t headerBytes = 44;
constexpr std::uint32_t maxDataBytes = std::numeric_limits<std::uint32_t>::max() - headerBytes - 1;

void put16(char* at, std::uint16_t value)
{
    qToLittleEndian(value, at);
}

void put32(char* at, std::uint32_t value)
{
    qToLittleEndian(value, at);
}

std::int16_t toPCM(float sample)
{
    if (std::isnan(sample))
        return 0;
    const float clamped = std::clamp(sample, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(clamped * 32767.0f));
}

} // namespace

std::optional<QString> WavFileWriter::open(const QString& path, std::uint32_t sampleRate)
{
    file.close();
    file.setFileName(path);
    rate = sampleRate;
    dataBytes = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    writeHeader();
    return std::nullopt;
}

bool WavFileWriter::isOpen() const
{
    return file.isOpen();
}

std::uint32_t WavFileWriter::sampleRate() const
{
    return rate;
}

void WavFileWriter::append(std::span<const float> samples)
{
    if (!file.isOpen() || samples.empty())
        return;
    const std::size_t room = (maxDataBytes - dataBytes) / 2;
    const std::size_t count = std::min(samples.size(), room);
    if (count == 0)
        return;
    std::vector<char> bytes(count * 2);
    for (std::size_t i = 0; i < count; ++i)
        put16(bytes.data() + 2 * i, static_cast<std::uint16_t>(toPCM(samples[i])));
    file.seek(headerBytes + dataBytes);
    // Only whole samples count: after a short write of an odd length (a full
    // disk), the next append overwrites the stray byte instead of putting every
    // later sample one byte out of step.
    const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) & ~qint64(1);
    if (written > 0)
        dataBytes += static_cast<std::uint32_t>(written);
    writeHeader();
    file.flush();
}

void WavFileWriter::writeHeader()
{
    std::array<char, headerBytes> header{};
    std::copy_n("RIFF", 4, header.data());
    put32(header.data() + 4, headerBytes - 8 + dataBytes);
    std::copy_n("WAVEfmt ", 8, header.data() + 8);
    put32(header.data() + 16, 16);       // fmt chunk size
    put16(header.data() + 20, 1);        // PCM
    put16(header.data() + 22, 1);        // mono
    put32(header.data() + 24, rate);
    put32(header.data() + 28, rate * 2); // bytes per second
    put16(header.data() + 32, 2);        // bytes per frame
    put16(header.data() + 34, 16);       // bits per sample
    std::copy_n("data", 4, header.data() + 36);
    put32(header.data() + 40, dataBytes);
    file.seek(0);
    file.write(header.data(), header.size());
}
