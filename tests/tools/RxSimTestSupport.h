#pragma once
// A bare WebSocket client for rxsim's tests: it records every message the
// server sends; KiwiSDR frames are read with the program's own parser.

#include "RxSimServer.h"
#include "model/KiwiFrames.h"

#include <QTest>
#include <QWebSocket>

#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <vector>

struct RawKiwiChannel {
    QWebSocket socket;
    std::vector<QByteArray> frames;
    std::vector<QString> texts;

    RawKiwiChannel(quint16 port, const QString& path)
    {
        QObject::connect(&socket, &QWebSocket::binaryMessageReceived,
                         [this](const QByteArray& m) { frames.push_back(m); });
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& t) { texts.push_back(t); });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(port).arg(path)));
    }

    bool waitConnected()
    {
        return QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000);
    }
    void send(const QString& text) { socket.sendTextMessage(text); }

    // Every "MSG" parameter received so far, in order.
    std::vector<KiwiParam> params() const
    {
        std::vector<KiwiParam> all;
        for (const QByteArray& f : frames) {
            if (const auto m = parse(f); m && std::holds_alternative<KiwiParams>(*m)) {
                const auto& list = std::get<KiwiParams>(*m);
                all.insert(all.end(), list.begin(), list.end());
            }
        }
        return all;
    }

    std::optional<KiwiParam> param(const QString& key) const
    {
        for (const KiwiParam& p : params()) {
            if (p.key == key)
                return p;
        }
        return std::nullopt;
    }

    bool waitParam(const QString& key, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return param(key).has_value(); }, ms);
    }

    template <typename Frame>
    std::vector<Frame> framesOf() const
    {
        std::vector<Frame> out;
        for (const QByteArray& f : frames) {
            if (const auto m = parse(f); m && std::holds_alternative<Frame>(*m))
                out.push_back(std::get<Frame>(*m));
        }
        return out;
    }
};

// Power of one frequency in a block of samples (Goertzel).
inline double tonePower(std::span<const float> samples, double hz, double rate)
{
    const double k = 2 * std::cos(2 * std::numbers::pi * hz / rate);
    double s1 = 0, s2 = 0;
    for (const float x : samples) {
        const double s0 = x + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - k * s1 * s2) / static_cast<double>(samples.size());
}
