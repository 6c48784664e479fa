#pragma once
// The user's preferences: every key the program keeps, with its default and
// fallback, over QSettings (~/.config/Farlisten/Farlisten.conf). One object
// per process; every write emits changed(key) so every holder of that key sees
// the new value at once. Reads and writes are safe from any thread.
// Values are held in memory and written to the file at most once per
// saveDelay (and at exit), never per step or keystroke; a failed write keeps
// them in memory, is retried on the next change, and is told by problem().
// A bookmark list is merged with the file by id before it is written, so two
// running programs that each change it keep both changes.

#include "bookmarks/Bookmarks.h"
#include "model/Mode.h"
#include "model/ListeningSettings.h"
#include "model/RecordingFormat.h"
#include "model/WaterfallLook.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <chrono>
#include <memory>

class QSettings;

namespace PreferenceKeys {
inline const QString serverAddress = QStringLiteral("serverAddress");
inline const QString frequencyKHz = QStringLiteral("frequencyKHz");
inline const QString mode = QStringLiteral("mode");
inline const QString waterfallZoom = QStringLiteral("waterfallZoom");
inline const QString bookmarks = QStringLiteral("bookmarks");
inline const QString frequencyBookmarks = QStringLiteral("frequencyBookmarks");
inline const QString audioOutputDeviceUID = QStringLiteral("audioOutputDeviceUID");
inline const QString listeningTools = QStringLiteral("listeningTools");
inline const QString waterfallLook = QStringLiteral("waterfallLook");
inline const QString recordingFormat = QStringLiteral("recordingFormat");
inline const QString recordingFolder = QStringLiteral("recordingFolder");
inline const QString serverNames = QStringLiteral("serverNames");
inline const QString reconnectAutomatically = QStringLiteral("reconnectAutomatically");
inline const QString bandPlanRegion = QStringLiteral("bandPlanRegion");
inline const QString receiverBands = QStringLiteral("receiverBands");
inline const QString listenerLocation = QStringLiteral("listenerLocation");
inline const QString tuningSteps = QStringLiteral("tuningSteps");
inline const QString shareWithPrograms = QStringLiteral("shareWithPrograms");
inline const QString shareListeningTools = QStringLiteral("shareListeningTools");
inline const QString rigctlFromOtherComputers = QStringLiteral("rigctlFromOtherComputers");
// Where an unreadable stored list is kept before a write replaces it: under
// this prefix, a dot and the time it was set aside; the newest few are kept.
inline const QString bookmarksUnreadable = QStringLiteral("bookmarks.unreadable");
inline const QString frequencyBookmarksUnreadable = QStringLiteral("frequencyBookmarks.unreadable");
} // namespace PreferenceKeys

class Preferences : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds saveDelay{1000};
    static constexpr int keptUnreadableCopies = 3;

    // The process-wide store. Created on first use; lives until exit.
    static Preferences& instance();

    QString serverAddress() const;
    void setServerAddress(const QString& address);
    // Whether an address was ever stored: false until the listener chose one.
    bool hasServerAddress() const;

    double frequencyKHz() const;
    // A frequency that is not a finite number is not stored.
    void setFrequencyKHz(double kHz);

    Mode mode() const;
    void setMode(Mode mode);

    int waterfallZoom() const;
    void setWaterfallZoom(int zoom);

    // The readable entries of a stored list (the default when it is not a
    // list or none is readable); the first write after that keeps the stored
    // text under the key's ".unreadable" prefix before replacing it.
    Bookmarks bookmarks() const;
    void setBookmarks(const Bookmarks& list);

    FrequencyBookmarks frequencyBookmarks() const;
    void setFrequencyBookmarks(const FrequencyBookmarks& list);

    // Add one item to the stored list. When the list already holds it (or it
    // cannot be added), nothing is written and nobody is told of a change.
    void addBookmark(const QString& address);
    // Gives the new frequency bookmark's id, or nothing when none was added.
    std::optional<QUuid> addFrequencyBookmark(Mode mode, double frequencyKHz);
    // Names the frequency bookmark; empty text removes the name. An id no
    // longer in the list changes nothing.
    void setFrequencyBookmarkName(const QUuid& id, const QString& name);

    // The name a receiver gave itself, learned while connected, by the server
    // address as typed (trimmed); empty text when none is known. Names are
    // cut to maxServerNameLength characters and at most maxServerNames are
    // kept.
    QString serverName(const QString& address) const;
    void setServerName(const QString& address, const QString& name);
    static constexpr int maxServerNameLength = 80;
    static constexpr int maxServerNames = 200;

    // The squelch, noise reduction, notch and blanker of the main window,
    // clamped to their ranges; a missing or unreadable member reads as its
    // default.
    ListeningSettings listeningSettings() const;
    void setListeningSettings(const ListeningSettings& settings);

    // The colour map, range and spectrum of the last waterfall changed; a
    // missing or unreadable member reads as its default.
    WaterfallLook waterfallLook() const;
    void setWaterfallLook(const WaterfallLook& look);

    // WAV unless FLAC was chosen.
    RecordingFormat recordingFormat() const;
    void setRecordingFormat(RecordingFormat format);

    // Where recordings go; empty text means the user's music folder.
    QString recordingFolder() const;
    void setRecordingFolder(const QString& folder);

    // Whether a session that broke reconnects by itself; on unless turned off.
    bool reconnectAutomatically() const;
    void setReconnectAutomatically(bool on);

    // The ITU region (1, 2 or 3) of the shipped band plan; 1 unless chosen.
    int bandPlanRegion() const;
    void setBandPlanRegion(int region);
    // Whether a receiver's own band bars replace the shipped plan; on unless
    // turned off.
    bool receiverBands() const;
    void setReceiverBands(bool on);

    // Where the listener is, as typed: a Maidenhead locator or latitude and
    // longitude; empty when not given. At most 100 characters are kept.
    QString listenerLocation() const;
    void setListenerLocation(const QString& location);
    // The step of the arrow keys and the wheel in the mode, in Hz: one of
    // tuningStepChoicesHz, the mode's default unless chosen.
    int tuningStepHz(Mode mode) const;
    void setTuningStepHz(Mode mode, int hz);
    // Whether each main window offers its sound as a capture source and its
    // tuning over rigctl; whether that sound passes the listening tools;
    // whether other computers may reach the rigctl ports. All off unless
    // turned on.
    bool shareWithPrograms() const;
    void setShareWithPrograms(bool on);
    bool shareListeningTools() const;
    void setShareListeningTools(bool on);
    bool rigctlFromOtherComputers() const;
    void setRigctlFromOtherComputers(bool on);

    // Empty text means the system default output.
    QString audioOutputDeviceUID() const;
    void setAudioOutputDeviceUID(const QString& uid);

    // In plain words: why the file could not be written, and how many stored
    // bookmarks could not be read. Empty when all is well.
    QString problem() const;
    // Writes what waits now.
    void flush();

    // How a stored list (either bookmark list) is read, checked and merged.
    struct ListKind {
        QString backupKey;
        bool (*isReadable)(const QVariant&);
        // The text of `ours` merged with what `theirs` made of `base`.
        QString (*merge)(const QVariant& base, const QVariant& ours, const QVariant& theirs);
    };

signals:
    void changed(const QString& key);
    void problemChanged();

private:
    Preferences();
    ~Preferences() override;

    void scheduleSave();
    void save();
    void setAside(const QString& key, qsizetype count);

    QVariant storedValue(const QString& key) const;
    void store(const QString& key, const QString& text);
    // Stores a list, first copying a stored value the kind cannot read to its
    // backup key, so that an unreadable list is never silently lost.
    void storeList(const QString& key, const ListKind& kind, const QString& text);
    // Under the lock: copies an unreadable stored value aside.
    void keepAside(const ListKind& kind, const QVariant& value);
    // Under the lock, before a write: merges each list changed since the last
    // write with the file as it is now; gives the keys whose value changed.
    QStringList mergeListsWithFile();

    // One QSettings for the process's life, used under this lock (it is not
    // safe to share between threads unguarded).
    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    QTimer m_saveTimer;
    bool m_isSaveScheduled = false;
    QString m_writeProblem;
    // Each list changed since the last write: the value before the first
    // change and the value this store wrote last.
    struct UnsavedList {
        const ListKind* kind;
        QVariant base;
        QVariant written;
    };
    QHash<QString, UnsavedList> m_unsavedLists;
    // Per list key, how many entries were set aside when it was last read.
    mutable QHash<QString, qsizetype> m_setAside;
};
