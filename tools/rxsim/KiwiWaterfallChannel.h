#pragma once
// The waterfall channel ("W/F") of the stand-in KiwiSDR: after auth it
// announces its geometry and frame rate, then sends rows of 1024 bins for
// the zoom and start the client last asked for ("SET zoom=Z start=S", start
// in bins at the highest zoom).

#include "KiwiChannel.h"

#include <cstdint>
#include <optional>

class KiwiWaterfallChannel : public KiwiChannel {
    Q_OBJECT

public:
    static constexpr int binsPerRow = 1024;
    static constexpr int maxZoom = 14;

    KiwiWaterfallChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                         const KiwiChannelContext& context, QObject* parent);
    ~KiwiWaterfallChannel() override;

    QString channelName() const override { return QStringLiteral("W/F"); }

    // The row geometry a "SET zoom=… start=…" asks for, clamped into the
    // band; none when the numbers are missing or unreadable.
    struct Geometry {
        int zoom = 0;
        std::uint32_t xBin = 0;
    };
    static std::optional<Geometry> geometryFor(const KiwiCommand& command);

protected:
    std::optional<QString> refusal() override;
    void accepted() override;
    void handleCommand(const KiwiCommand& command) override;

private:
    void tick();
    bool sendRow();

    std::optional<int> slot_;
    Geometry geometry_;
    QTimer frameTimer_;
    QElapsedTimer rowClock_;
    std::int64_t rowsDone_ = 0;
    std::uint32_t sequence_ = 0;
    std::uint32_t noiseState_ = 0x2545f491u;
};
