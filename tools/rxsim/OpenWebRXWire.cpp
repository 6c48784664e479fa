#include "OpenWebRXWire.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void appendLittleEndian16(std::vector<std::uint8_t>& bytes, int value)
{
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(u & 0xff));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
}

std::int16_t hundredthsOfDb(float level)
{
    if (!std::isfinite(level))
        return -32768;
    return static_cast<std::int16_t>(std::lround(std::clamp(level * 100.0f, -32768.0f, 32767.0f)));
}

} // namespace

QByteArray openWebRXFrame(OpenWebRXFrameType type, std::span<const std::uint8_t> payload)
{
    QByteArray frame;
    frame.reserve(static_cast<qsizetype>(payload.size() + 1));
    frame.append(static_cast<char>(type));
    frame.append(reinterpret_cast<const char*>(payload.data()), static_cast<qsizetype>(payload.size()));
    return frame;
}

std::vector<std::uint8_t> openWebRXFloatWaterfall(std::span<const float> levels)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(levels.size() * 4);
    for (const float level : levels) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &level, sizeof bits);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
    return bytes;
}

std::vector<std::uint8_t> openWebRXCompressedWaterfall(std::span<const float> levels)
{
    if (levels.empty())
        return {};
    std::vector<std::int16_t> samples(openWebRXWaterfallWarmUp, hundredthsOfDb(levels.front()));
    samples.reserve(openWebRXWaterfallWarmUp + levels.size());
    for (const float level : levels)
        samples.push_back(hundredthsOfDb(level));
    return ImaAdpcmEncoder{}.encode(samples);
}

std::vector<std::uint8_t> openWebRXPcm16(std::span<const std::int16_t> samples)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(samples.size() * 2);
    for (const std::int16_t s : samples)
        appendLittleEndian16(bytes, s);
    return bytes;
}

OpenWebRXAudioEncoder::Encoded OpenWebRXAudioEncoder::encode(std::span<const std::int16_t> samples)
{
    Encoded out;
    const std::size_t codeBytes = (samples.size() + 1) / 2;
    out.bytes.reserve(codeBytes + (codeBytes / codeBytesPerBlock + 1) * syncBlockSize);
    for (std::size_t i = 0; i < samples.size(); i += 2) {
        if (untilSync_ == 0) {
            // The state a decoder needs before the next code.
            out.syncOffsets.push_back(out.bytes.size());
            out.bytes.insert(out.bytes.end(), {'S', 'Y', 'N', 'C'});
            appendLittleEndian16(out.bytes, coder_.index);
            appendLittleEndian16(out.bytes, coder_.previous);
            untilSync_ = codeBytesPerBlock;
        }
        const std::uint8_t low = coder_.encodeSample(samples[i]);
        const std::uint8_t high = coder_.encodeSample(i + 1 < samples.size() ? samples[i + 1] : samples[i]);
        out.bytes.push_back(static_cast<std::uint8_t>(low | (high << 4)));
        --untilSync_;
    }
    return out;
}

bool isJsonIntegerMember(const QString& json, const QString& key)
{
    // Qt's reader cannot say: it keeps 7.0 as an integer too.
    const QRegularExpression member(QStringLiteral("\"%1\"\\s*:\\s*([^,}\\]\\s]*)")
                                        .arg(QRegularExpression::escape(key)));
    static const QRegularExpression integer(QStringLiteral("^-?(0|[1-9][0-9]*)$"));
    bool found = false;
    for (const QRegularExpressionMatch& m : member.globalMatch(json)) {
        if (!integer.match(m.captured(1)).hasMatch())
            return false;
        found = true;
    }
    return found;
}
