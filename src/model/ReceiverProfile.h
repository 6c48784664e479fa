#pragma once
// One band setting an OpenWebRX server offers (its "profiles" message).

#include <QHashFunctions>
#include <QString>

struct ReceiverProfile {
    QString id;   // the form the server uses in "selectprofile": sdr id "|" profile id
    QString name; // what the user sees

    friend bool operator==(const ReceiverProfile&, const ReceiverProfile&) = default;
};

inline size_t qHash(const ReceiverProfile& profile, size_t seed = 0) noexcept
{
    return qHashMulti(seed, profile.id, profile.name);
}
