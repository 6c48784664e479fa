#include "audio/ListeningChain.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>
#include <numeric>
#include <random>

namespace {

using Signal = std::vector<float>;

Signal tone(double rate, double hz, double amplitude, double seconds)
{
    Signal s(std::size_t(rate * seconds));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = float(amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / rate));
    return s;
}

Signal noise(double rate, double sigma, double seconds, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, float(sigma));
    Signal s(std::size_t(rate * seconds));
    for (float& x : s)
        x = normal(random);
    return s;
}

Signal plus(Signal a, const Signal& b)
{
    std::transform(a.begin(), a.end(), b.begin(), a.begin(), std::plus<>());
    return a;
}

double power(const Signal& s, std::size_t from = 0)
{
    const auto tail = std::span(s).subspan(from);
    return std::inner_product(tail.begin(), tail.end(), tail.begin(), 0.0) / double(tail.size());
}

// Power of the component at `hz` in s[from..], whatever its phase.
double tonePower(const Signal& s, double rate, double hz, std::size_t from)
{
    double re = 0, im = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        const double phase = 2 * std::numbers::pi * hz * double(i) / rate;
        re += s[i] * std::cos(phase);
        im += s[i] * std::sin(phase);
    }
    const double n = double(s.size() - from);
    return 2 * (re * re + im * im) / (n * n);
}

double dB(double ratio) { return 10 * std::log10(ratio); }

// Runs the signal through a chain in blocks as a receiver delivers them.
Signal run(ListeningChain& chain, Signal s, std::size_t block = 2048,
    const std::function<void(std::size_t)>& afterBlock = {})
{
    for (std::size_t at = 0; at < s.size(); at += block) {
        chain.process(std::span(s).subspan(at, std::min(block, s.size() - at)));
        if (afterBlock)
            afterBlock(std::min(at + block, s.size()));
    }
    return s;
}

using Change = std::function<void(ListeningSettings&)>;

ListeningSettings with(const Change& change)
{
    ListeningSettings settings;
    change(settings);
    return settings;
}

// A chain at `rate` with `change` made to the default settings.
struct Chain : ListeningChain {
    Chain(double rate, const Change& change = [](ListeningSettings&) {})
    {
        setSampleRate(rate);
        setSettings(with(change));
    }
};

constexpr double rates[] = {12000, 20250, 48000};

TEST(ListeningChainTest, NotchTakesItsToneDownAndLeavesTheNeighbourAlone)
{
    for (const double rate : rates) {
        Chain chain(rate, [](ListeningSettings& s) { s.notchOn = true; });
        const Signal out = run(chain, plus(tone(rate, 1000, 0.3, 2), tone(rate, 600, 0.3, 2)));
        const auto settled = std::size_t(rate * 0.5);
        EXPECT_LE(dB(tonePower(out, rate, 1000, settled) / (0.3 * 0.3 / 2)), -30) << "notched at " << rate;
        EXPECT_GE(dB(tonePower(out, rate, 600, settled) / (0.3 * 0.3 / 2)), -3) << "neighbour at " << rate;
    }
}

// Switched on after the rate is known, before it (as saved preferences are),
// or kept on across a change of rate.
TEST(ListeningChainTest, NoiseReductionRaisesTheSignalToNoiseRatioOfAToneInWhiteNoise)
{
    const Change on = [](ListeningSettings& s) { s.noiseReductionOn = true; };
    for (const double rate : rates) {
        Chain afterRate(rate, on);
        ListeningChain beforeRate;
        beforeRate.setSettings(with(on));
        beforeRate.setSampleRate(rate);
        Chain rateChanged(rate == rates[0] ? rates[1] : rates[0], on);
        rateChanged.setSampleRate(rate);
        const Signal in = plus(tone(rate, 800, 0.1, 4), noise(rate, 0.05, 4));
        // The first second lets the noise estimate settle.
        const auto from = std::size_t(rate);
        const auto snr = [&](const Signal& s) {
            const double t = tonePower(s, rate, 800, from);
            return dB(t / (power(s, from) - t));
        };
        EXPECT_GE(snr(run(afterRate, in)) - snr(in), 6) << rate;
        EXPECT_GE(snr(run(beforeRate, in)) - snr(in), 6) << "switched on before the rate, " << rate;
        EXPECT_GE(snr(run(rateChanged, in)) - snr(in), 6) << "after a change of rate, " << rate;
    }
}

TEST(ListeningChainTest, SquelchIsClosedOnNoiseOpensOnACarrierAndClosesAfterTheHang)
{
    for (const double rate : rates) {
        Chain chain(rate, [](ListeningSettings& s) { s.squelchOn = true; });
        // Noise 20 dB under the carrier; the carrier from 2 s to 3 s.
        Signal carrier = tone(rate, 700, 0.1, 5);
        std::fill(carrier.begin(), carrier.begin() + std::ptrdiff_t(2 * rate), 0.0f);
        std::fill(carrier.begin() + std::ptrdiff_t(3 * rate), carrier.end(), 0.0f);
        const Signal in = plus(carrier, noise(rate, 0.007, 5));
        std::vector<std::pair<double, bool>> changes;
        bool open = false;
        const Signal out = run(chain, in, std::size_t(rate / 200), [&](std::size_t done) {
            if (chain.isSquelchOpen() != open) {
                open = !open;
                changes.emplace_back(double(done) / rate, open);
            }
        });
        ASSERT_EQ(changes.size(), 2u) << rate;
        EXPECT_LE(changes[0].first - 2.0, 0.050) << "opening at " << rate;
        const double closing = changes[1].first - 3.0;
        EXPECT_GE(closing, Squelch::hangSeconds) << rate;
        EXPECT_LE(closing, Squelch::hangSeconds + 0.03) << rate;
        // Muted on noise, the carrier heard at full level while open.
        EXPECT_LT(power(Signal(out.begin() + std::ptrdiff_t(0.5 * rate), out.begin() + std::ptrdiff_t(2 * rate))),
            1e-9);
        const Signal heard(out.begin() + std::ptrdiff_t(2.1 * rate), out.begin() + std::ptrdiff_t(3 * rate));
        EXPECT_NEAR(dB(power(heard) / (0.1 * 0.1 / 2)), 0, 0.5) << rate;
    }
}

TEST(ListeningChainTest, BlankerTakesImpulsesDownAndLeavesASteadyToneAlone)
{
    for (const double rate : rates) {
        const Change blanker = [](ListeningSettings& s) { s.blankerOn = true; };
        Chain chain(rate, blanker);
        // Impulses of three samples every 25 ms on a quiet tone.
        const Signal clean = tone(rate, 700, 0.05, 2);
        Signal in = clean;
        const auto period = std::size_t(rate * 0.025);
        for (std::size_t at = std::size_t(rate * 0.1); at + 3 < in.size(); at += period) {
            in[at] += 1.0f;
            in[at + 1] -= 0.8f;
            in[at + 2] += 0.5f;
        }
        const Signal out = run(chain, in);
        double impulseIn = 0, impulseOut = 0;
        for (std::size_t i = std::size_t(rate * 0.1); i < in.size(); ++i) {
            impulseIn = std::max(impulseIn, double(std::abs(in[i] - clean[i])));
            impulseOut = std::max(impulseOut, double(std::abs(out[i] - clean[i])));
        }
        EXPECT_LE(20 * std::log10(impulseOut / impulseIn), -20) << "impulses at " << rate;

        Chain steadyChain(rate, blanker);
        const Signal steady = run(steadyChain, tone(rate, 700, 0.5, 1));
        EXPECT_NEAR(dB(power(steady, std::size_t(rate * 0.1)) / (0.5 * 0.5 / 2)), 0, 1) << "steady tone at " << rate;
    }
}

// A stage switched on or off in the middle of a tone changes the level over
// a ramp: no step between two samples is steeper than the tone's own.
TEST(ListeningChainTest, SwitchingAnyStageNeverClicks)
{
    const double rate = 12000;
    const double steepest = 0.3 * 2 * std::numbers::pi * 440 / rate;
    const std::pair<const char*, std::function<void(ListeningSettings&, bool)>> stages[] = {
        {"blanker", [](ListeningSettings& s, bool on) { s.blankerOn = on; }},
        {"notch", [](ListeningSettings& s, bool on) { s.notchOn = on, s.notchHz = 440; }},
        {"noise reduction", [](ListeningSettings& s, bool on) { s.noiseReductionOn = on; }},
        {"squelch", [](ListeningSettings& s, bool on) { s.squelchOn = on; }},
    };
    for (const auto& [name, set] : stages) {
        Chain chain(rate);
        std::size_t blocks = 0;
        const Signal out = run(chain, tone(rate, 440, 0.3, 3), 256, [&](std::size_t) {
            ++blocks;
            if (blocks % 40 == 0)
                chain.setSettings(with([&](ListeningSettings& s) { set(s, blocks % 80 == 0); }));
        });
        double step = 0;
        for (std::size_t i = 1; i < out.size(); ++i)
            step = std::max(step, double(std::abs(out[i] - out[i - 1])));
        EXPECT_LE(step, steepest * 1.05) << name;
    }
}

TEST(ListeningChainTest, EverythingOffPassesTheSoundUntouched)
{
    Chain chain(12000);
    const Signal in = plus(tone(12000, 1000, 0.3, 1), noise(12000, 0.1, 1));
    EXPECT_EQ(run(chain, in), in);
    EXPECT_EQ(chain.stagesRun(), 0u);
}

TEST(ListeningChainTest, BadInputNeverReachesTheOutputNorSticksTheSquelch)
{
    ListeningChain chain;
    const ListeningSettings applied = chain.setSettings(with([](ListeningSettings& s) {
        s.squelchLevelDb = 1e9, s.notchHz = std::numeric_limits<double>::quiet_NaN();
    }));
    EXPECT_EQ(std::tuple(applied.squelchLevelDb, applied.notchHz),
        std::tuple(ListeningSettings::squelchLevelRange.high, ListeningSettings::notchRange.standard));

    chain.setSettings(with([](ListeningSettings& s) {
        s.squelchOn = s.noiseReductionOn = s.notchOn = s.blankerOn = true;
        s.notchHz = 4000; // above the Nyquist frequency of 2000 Hz below
    }));
    const float inf = std::numeric_limits<float>::infinity();
    const Signal garbage = {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 1e30f, -1e30f, 0, 1e-40f};
    for (const double rate : {48000.0, 4000.0, 12000.0}) {
        chain.setSampleRate(rate);
        Signal in = noise(rate, 0.5, 0.5);
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = i % 50 < garbage.size() ? garbage[i % 50] : in[i];
        in.insert(in.end(), std::size_t(rate / 2), 0.0f);
        for (const float x : run(chain, in, 333))
            ASSERT_TRUE(std::isfinite(x) && std::abs(x) <= ListeningChain::loudest) << rate;
    }
    // After all that (the faint tail of the stages' ringing set a floor far
    // below any noise), the squelch closes on noise within its memory and
    // opens on a carrier.
    chain.setSettings(with([](ListeningSettings& s) { s.squelchOn = true; }));
    run(chain, noise(12000, 0.01, Squelch::memorySeconds + 1.5));
    EXPECT_FALSE(chain.isSquelchOpen());
    run(chain, plus(tone(12000, 700, 0.3, 0.2), noise(12000, 0.01, 0.2)));
    EXPECT_TRUE(chain.isSquelchOpen());
}

} // namespace
