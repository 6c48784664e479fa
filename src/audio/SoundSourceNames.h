#pragma once
// What a capture source for other programs is called, and the sound server
// modules that make it: a mono null sink at 48 kHz (the feed, which the
// window's sound plays into) and a source remapped from its monitor, which
// programs list as a microphone. Both carry the owner's mark, so that the
// sources of a program that is no longer running can be told apart and
// removed. Pure functions; the receiver's name is server text and is
// cleaned before it reaches a module argument.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

struct SoundSourceName {
    // The server's name of the source, as `parec -d NAME` takes it.
    QByteArray name;
    // What programs list.
    QString description;
    friend bool operator==(const SoundSourceName&, const SoundSourceName&) = default;
};

// The client property and module mark that name the owning program's run.
inline constexpr char soundSourceOwnerKey[] = "farlisten.owner";
// Every source's name, and its feed sink's, starts with it.
inline constexpr char soundSourcePrefix[] = "farlisten.";
// The rate of every source: the one WSJT-X records at; fldigi takes any.
inline constexpr int soundSourceRate = 48000;

// "Farlisten: <receiver>" and "farlisten.<receiver in letters, digits and dashes>".
SoundSourceName soundSourceNamedAfter(const QString& receiver);
// The second and later of one name: "(n)" and "-n" added.
SoundSourceName numberedSoundSourceName(const SoundSourceName& name, int number);
// Letters, digits, ".", "-" and "_", 1 to 64 of them: a name the server
// keeps as it is.
bool isValidSoundSourceName(QByteArrayView name);

QByteArray feedSinkName(const SoundSourceName& name);
QByteArray feedSinkArguments(const SoundSourceName& name, QByteArrayView owner);
QByteArray soundSourceArguments(const SoundSourceName& name, QByteArrayView owner);
// The owner marked in a module's arguments; none for modules not ours.
std::optional<QByteArray> soundSourceOwner(QByteArrayView moduleArgument);
