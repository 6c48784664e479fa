#pragma once
// Reading what a KiwiSDR's parameters hold: its percent-encoded texts, its
// version, its configuration ("load_cfg") and band bars ("load_dxcfg").

#include "model/ReceiverModel.h"
#include "model/ScaleLabels.h"
#include "model/ServerValues.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// %XX sequences decoded as UTF-8; the text unchanged when that fails.
QString percentDecoded(const QString& text);
// Every character but the ASCII letters and digits percent-encoded as UTF-8.
QString percentEncodedAlphanumerics(const QString& text);

// The version after a "version_maj" or "version_min" parameter.
QString updatedSoftwareVersion(const std::optional<QString>& current, const QString& key,
    const std::optional<QString>& value);

// A "load_cfg" value longer than this is not read: a real receiver's is a
// few kilobytes, and reading a huge one would cost a copy per step.
inline constexpr qsizetype maxReceiverConfigLength = 1024 * 1024;

// What the receiver's configuration says about it.
struct KiwiReceiverConfig {
    std::optional<QString> name;
    std::optional<QString> location;
    std::optional<QString> antenna;
    std::optional<QString> grid;
    std::optional<std::int64_t> inactivityTimeoutMinutes;
};

// Reads a "load_cfg" value (percent-encoded JSON). No value for one that is
// too long or not a JSON object. Its texts are cut to maxServerTextLength.
std::optional<KiwiReceiverConfig> readReceiverConfig(const QString& loadCfgValue);
// Texts that were missing or empty leave the info's as they were.
void applyReceiverConfig(ReceiverInfo& info, const KiwiReceiverConfig& config);
// Folds a later configuration into an earlier one, so that applying the result
// equals applying both in turn.
void mergeReceiverConfig(KiwiReceiverConfig& earlier, const KiwiReceiverConfig& later);
// A "load_dxcfg" value (percent-encoded JSON); none for one too long or
// unreadable.
std::optional<std::vector<BandBar>> readKiwiBandBars(const QString& loadDxcfgValue);
