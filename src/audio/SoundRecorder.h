#pragma once
// Records what the listener hears into one sound file (WAV or FLAC, mono
// 16-bit, at the rate of the first block), with a tuning log beside it.
//
// It is the player's tap: played() runs on the network thread and only
// copies the block into a bounded queue; a writer thread of its own takes the
// queue every 100 ms, writes it, brings the WAV header up to date each time
// and syncs the file to disk every half second (see SoundFileWriter), so the
// network thread never waits on a disk. A disk that falls more than
// `maxQueuedSeconds` behind stops the recording with a message rather than
// leave a silent hole in it; so does a write that fails (a full disk, a
// file-size limit). What was written stays a readable file. A block at another
// rate than the file's (an OpenWebRX receiver switching to or from wide FM) is
// converted to the file's rate, so a recording stays one file.
//
// The tuning log (<name>.jsonl) has one JSON object a line: the frame in the
// sound file from which a tuning holds ("sample"), "frequencyKHz" and "mode".

#include "audio/PlayedSoundTap.h"
#include "model/Mode.h"
#include "model/RecordingFormat.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

class SoundRecorder final : public PlayedSoundTap {
public:
    static constexpr double maxQueuedSeconds = 10.0;
    static constexpr std::size_t maxQueuedItems = 20'000;
    static constexpr double lowestRate = 1000;
    static constexpr double highestRate = 384000;

    struct Status {
        // Sound taken so far; the file holds this much once written.
        double seconds = 0;
        // The file's size on disk.
        std::uint64_t bytes = 0;
        // Why the recording stopped on its own, in words for the user.
        std::optional<QString> error;
        // The file is complete and closed.
        bool finished = false;
    };

    // A new file <folder>/<stem>.<wav|flac> (the folder is made if missing),
    // or <stem>-2 and so on when a file of that name or its log is there: a
    // recording never replaces a file. The error says why the folder cannot
    // hold it.
    static std::variant<std::shared_ptr<SoundRecorder>, QString> createIn(const QString& folder,
        const QString& stem, RecordingFormat format);
    // Exactly this file, replacing one that is there.
    static std::variant<std::shared_ptr<SoundRecorder>, QString> createAt(const QString& path,
        RecordingFormat format);

    // Stops and waits until the file is complete.
    ~SoundRecorder() override;
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    const QString& path() const { return filePath; }
    QString tuningLogPath() const;

    void played(std::span<const float> samples, double sampleRate) override;
    // The tuning from the next sound on; the first call starts the log.
    void retuned(double frequencyKHz, Mode mode);
    // Takes no more sound; the writer finishes the file. Returns at once.
    void stop();
    // Stops and waits until the file is complete.
    Status finish();
    Status status() const;

private:
    struct Block {
        std::vector<float> samples;
        double rate = 0;
    };
    struct Tuning {
        double frequencyKHz = 0;
        Mode mode = Mode::am;
    };
    using Item = std::variant<Block, Tuning>;
    class Writer;

    SoundRecorder(int fd, QString path, RecordingFormat format);
    void run();
    // Called with `mutex` held: the first reason stays.
    void failLocked(const QString& reason);

    const QString filePath;

    mutable std::mutex mutex; // guards everything below but the atomics and the thread
    std::condition_variable wake;
    std::vector<Item> pending;
    double pendingSeconds = 0;
    double takenSeconds = 0;
    bool closing = false;
    bool finished = false;
    std::optional<QString> error;

    std::atomic<bool> accepting{true};
    std::atomic<std::uint64_t> bytes{0};
    std::unique_ptr<Writer> writer;
    std::thread thread;
};
