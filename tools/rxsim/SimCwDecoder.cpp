#include "SimCwDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double windowSeconds = 0.01;
// A mark stands at least this far over the noise.
constexpr double minSignalDb = 20;
// The noise is the lower edge of what is heard with the key up: it follows
// a fall at once and a rise slowly, so that a mark missed while it settles
// does not lift it. The marks' level follows them evenly.
constexpr double noiseFallWeight = 0.3;
constexpr double noiseRiseWeight = 0.01;
constexpr double signalWeight = 0.1;
// Gaps, in dot lengths: 1 within a letter, 3 between letters, 7 between
// words; a transmission ends after a longer silence.
constexpr double letterGap = 2;
constexpr double wordGap = 5;
constexpr double transmissionGap = 10;

struct MorseLetter {
    const char* code;
    char letter;
};

constexpr std::array<MorseLetter, 36> morseLetters{{
    {".-", 'A'}, {"-...", 'B'}, {"-.-.", 'C'}, {"-..", 'D'}, {".", 'E'}, {"..-.", 'F'}, {"--.", 'G'},
    {"....", 'H'}, {"..", 'I'}, {".---", 'J'}, {"-.-", 'K'}, {".-..", 'L'}, {"--", 'M'}, {"-.", 'N'},
    {"---", 'O'}, {".--.", 'P'}, {"--.-", 'Q'}, {".-.", 'R'}, {"...", 'S'}, {"-", 'T'}, {"..-", 'U'},
    {"...-", 'V'}, {".--", 'W'}, {"-..-", 'X'}, {"-.--", 'Y'}, {"--..", 'Z'}, {"-----", '0'}, {".----", '1'},
    {"..---", '2'}, {"...--", '3'}, {"....-", '4'}, {".....", '5'}, {"-....", '6'}, {"--...", '7'},
    {"---..", '8'}, {"----.", '9'},
}};

QChar letterFor(const QString& symbol)
{
    for (const MorseLetter& entry : morseLetters) {
        if (symbol == QLatin1String(entry.code))
            return QChar::fromLatin1(entry.letter);
    }
    return {};
}

} // namespace

SimCwDecoder::SimCwDecoder(double sampleRate)
    : m_sampleRate(sampleRate)
    , m_windowLength(static_cast<std::size_t>(std::max(1.0, std::round(sampleRate * windowSeconds))))
{
    setFrequency(m_frequency);
}

void SimCwDecoder::setFrequency(double audioHz)
{
    m_frequency = audioHz;
    m_coefficient = 2 * std::cos(2 * std::numbers::pi * audioHz / m_sampleRate);
    m_s1 = m_s2 = 0;
    m_inWindow = 0;
    m_noiseDb.reset();
    m_signalDb = 0;
    m_keyDown = false;
    m_run = 0;
    m_symbol.clear();
}

QString SimCwDecoder::feed(std::span<const float> samples)
{
    for (const float x : samples) {
        const double s = static_cast<double>(x) + m_coefficient * m_s1 - m_s2;
        m_s2 = m_s1;
        m_s1 = s;
        if (++m_inWindow < m_windowLength)
            continue;
        const double n = static_cast<double>(m_windowLength);
        window((m_s1 * m_s1 + m_s2 * m_s2 - m_coefficient * m_s1 * m_s2) / (n * n));
        m_s1 = m_s2 = 0;
        m_inWindow = 0;
    }
    return std::exchange(m_text, {});
}

std::optional<SimCwDecoder::Transmission> SimCwDecoder::takeTransmission()
{
    return std::exchange(m_ended, std::nullopt);
}

void SimCwDecoder::window(double power)
{
    const double db = 10 * std::log10(std::max(power, 1e-30));
    if (!m_noiseDb) {
        m_noiseDb = db;
        m_signalDb = db + 3 * minSignalDb;
    }
    double& noise = *m_noiseDb;
    const bool down = db > (noise + m_signalDb) / 2 && db > noise + minSignalDb;
    if (down)
        m_signalDb += signalWeight * (db - m_signalDb);
    else
        noise += (db < noise ? noiseFallWeight : noiseRiseWeight) * (db - noise);
    if (down == m_keyDown) {
        ++m_run;
    } else {
        if (m_keyDown)
            keyUp();
        m_keyDown = down;
        m_run = 1;
    }
    if (!m_keyDown)
        m_text += gap();
}

void SimCwDecoder::keyUp()
{
    const double length = m_run;
    const bool dash = length > 2 * m_unit;
    m_symbol += dash ? u'-' : u'.';
    m_unit = std::clamp(m_unit + 0.2 * ((dash ? length / 3 : length) - m_unit), 1.0, 50.0);
}

QString SimCwDecoder::gap()
{
    QString out;
    const double units = m_run / m_unit;
    if (!m_symbol.isEmpty() && units >= letterGap) {
        const QChar letter = letterFor(std::exchange(m_symbol, {}));
        if (!letter.isNull()) {
            out += letter;
            m_line += letter;
            m_wordEnded = m_lineEnded = false;
        }
    }
    if (!m_wordEnded && units >= wordGap) {
        out += u' ';
        m_line += u' ';
        m_wordEnded = true;
    }
    if (!m_lineEnded && units >= transmissionGap) {
        out += QStringLiteral("\r\n");
        m_lineEnded = true;
        m_ended = Transmission{
            std::exchange(m_line, {}).trimmed(), m_signalDb - *m_noiseDb, 1200 / (m_unit * windowSeconds * 1000)};
    }
    return out;
}
