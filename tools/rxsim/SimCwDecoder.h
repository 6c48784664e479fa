#pragma once
// The stand-in server's Morse decoder, run on one listener's sound as a real
// server runs its decoder: the strength of the tone at one audio frequency,
// 10 ms at a time (Goertzel), keyed against a threshold halfway between the
// levels it has heard with the key up and down, and the keying read by its timing
// (a dot's length learnt from the marks). Letters and word gaps come out as
// text; a long silence ends the line and the transmission.

#include <QString>

#include <cstddef>
#include <optional>
#include <span>

class SimCwDecoder {
public:
    // A transmission read to its end: its text, its strength over the noise
    // and its speed.
    struct Transmission {
        QString text;
        double snrDb = 0;
        double wordsPerMinute = 0;
    };

    explicit SimCwDecoder(double sampleRate);

    // The tone's frequency; a new one starts the reading over.
    void setFrequency(double audioHz);
    // Reads sound on from where the last call stopped; gives the text it
    // completed ("\r\n" at the end of a transmission).
    QString feed(std::span<const float> samples);
    // The last transmission ended, once.
    std::optional<Transmission> takeTransmission();

private:
    void window(double power);
    void keyUp();
    QString gap();

    const double m_sampleRate;
    double m_frequency = 1000;
    std::size_t m_windowLength;
    // The Goertzel state of the window being read.
    double m_coefficient = 0;
    double m_s1 = 0;
    double m_s2 = 0;
    std::size_t m_inWindow = 0;
    // The levels of the windows with the key up and down, in dB.
    std::optional<double> m_noiseDb;
    double m_signalDb = 0;
    bool m_keyDown = false;
    int m_run = 0;
    // A dot's length, in windows.
    double m_unit = 6;
    QString m_symbol;
    QString m_line;
    QString m_text;
    bool m_wordEnded = true;
    bool m_lineEnded = true;
    std::optional<Transmission> m_ended;
};
