#include "display/BandPlan.h"

#include <QFile>
#include <QJsonDocument>

// Outside any namespace: the resource's initialiser is declared where it is used.
static std::vector<BandBar> loadBandPlan()
{
    Q_INIT_RESOURCE(BandPlan);
    QFile file(QStringLiteral(":/farlisten/bandplan.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readBandBars(QJsonDocument::fromJson(file.readAll()).object());
}

const std::vector<BandBar>& shippedBandPlan()
{
    static const std::vector<BandBar> plan = loadBandPlan();
    return plan;
}

std::vector<BandBar> bandPlanForRegion(const std::vector<BandBar>& bars, int region)
{
    std::vector<BandBar> chosen;
    for (const BandBar& bar : bars) {
        if (bar.region == 0 || bar.region == region)
            chosen.push_back(bar);
    }
    return chosen;
}

std::optional<double> broadcastRasterHz(double hz, int region)
{
    // Below the 160 m band lie long and medium wave.
    constexpr double shortWaveFromHz = 1'800'000;
    for (const BandBar& bar : shippedBandPlan()) {
        if (bar.service != QLatin1String("Broadcast") || (bar.region != 0 && bar.region != region))
            continue;
        if (hz >= bar.lowHz && hz <= bar.highHz)
            return bar.highHz <= shortWaveFromHz ? (region == 2 ? 10'000 : 9'000) : 5'000;
    }
    return std::nullopt;
}
