#include "audio/SoundRecorder.h"

#include "audio/RateConverter.h"
#include "audio/SoundFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto writeInterval = std::chrono::milliseconds(100);
constexpr auto syncInterval = std::chrono::milliseconds(500);
// Names tried after <stem>: <stem>-2 up to this.
constexpr int maxNameSuffix = 999;

QString extension(RecordingFormat format)
{
    return QLatin1Char('.') + rawValue(format);
}

QString logPathFor(const QString& soundPath)
{
    const QFileInfo info(soundPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".jsonl"));
}

QByteArray tuningLine(std::uint64_t frame, double frequencyKHz, Mode mode)
{
    const QJsonObject line{{QStringLiteral("sample"), qint64(frame)},
        {QStringLiteral("frequencyKHz"), frequencyKHz}, {QStringLiteral("mode"), rawValue(mode)}};
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

// What only the writer thread touches.
class SoundRecorder::Writer {
public:
    Writer(int fd, QString path, RecordingFormat format)
        : fd(fd)
        , soundPath(std::move(path))
        , format(format)
    {
    }
    ~Writer()
    {
        if (fd >= 0)
            ::close(fd);
    }

    // Writes the items in order; the reason when the recording must stop.
    std::optional<QString> write(std::vector<Item>& items)
    {
        for (Item& item : items) {
            std::optional<QString> problem = std::holds_alternative<Block>(item)
                ? writeBlock(std::get<Block>(item))
                : writeTuning(std::get<Tuning>(item));
            if (problem)
                return problem;
        }
        return std::nullopt;
    }

    // The header after every batch, a sync to disk every `syncInterval`.
    std::optional<QString> keepReadable()
    {
        if (!sound)
            return std::nullopt;
        if (auto problem = sound->updateHeader())
            return problem;
        const Clock::time_point now = Clock::now();
        if (now - lastSync < syncInterval)
            return std::nullopt;
        lastSync = now;
        if (log.isOpen() && ::fdatasync(log.handle()) != 0 && errno != EINVAL)
            return qt_error_string(errno);
        return sound->sync();
    }

    std::uint64_t fileBytes() const { return sound ? sound->fileBytes() : 0; }

    // Completes the files. A recording that never had sound leaves nothing.
    std::optional<QString> finish()
    {
        log.close();
        if (!sound) {
            QFile::remove(soundPath);
            if (!log.fileName().isEmpty())
                log.remove();
            return std::nullopt;
        }
        return sound->close();
    }

private:
    std::optional<QString> writeBlock(Block& block)
    {
        if (!sound) {
            auto opened = SoundFileWriter::open(std::exchange(fd, -1), static_cast<int>(std::lround(block.rate)), format);
            if (const QString* problem = std::get_if<QString>(&opened))
                return *problem;
            sound = std::move(std::get<std::unique_ptr<SoundFileWriter>>(opened));
            lastSync = Clock::now();
        }
        for (float& sample : block.samples) {
            if (!std::isfinite(sample))
                sample = 0.0f;
        }
        std::span<const float> samples = block.samples;
        if (std::lround(block.rate) != sound->sampleRate()) {
            if (!converter || converter->fromRate() != block.rate)
                converter = std::make_unique<RateConverter>(block.rate, sound->sampleRate());
            converter->convert(block.samples, converted);
            samples = converted;
        } else {
            converter.reset();
        }
        const std::uint64_t room = sound->room();
        if (auto problem = sound->write(samples.first(std::min<std::uint64_t>(samples.size(), room))))
            return problem;
        if (samples.size() > room)
            return QCoreApplication::translate("SoundRecorder",
                "The file reached the largest size a WAV file can hold");
        return std::nullopt;
    }

    std::optional<QString> writeTuning(const Tuning& tuning)
    {
        if (!log.isOpen()) {
            log.setFileName(logPathFor(soundPath));
            if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
                return log.errorString();
        }
        const QByteArray line = tuningLine(sound ? sound->frames() : 0, tuning.frequencyKHz, tuning.mode);
        if (log.write(line) != line.size() || !log.flush())
            return log.errorString();
        return std::nullopt;
    }

    int fd;
    const QString soundPath;
    const RecordingFormat format;
    std::unique_ptr<SoundFileWriter> sound;
    std::unique_ptr<RateConverter> converter;
    std::vector<float> converted;
    QFile log;
    Clock::time_point lastSync;
};

std::variant<std::shared_ptr<SoundRecorder>, QString> SoundRecorder::createIn(const QString& folder,
    const QString& stem, RecordingFormat format)
{
    if (!QDir().mkpath(folder))
        return QCoreApplication::translate("SoundRecorder", "The folder %1 cannot be made")
            .arg(QDir::toNativeSeparators(folder));
    const QDir dir(folder);
    for (int suffix = 1; suffix <= maxNameSuffix; ++suffix) {
        const QString name = suffix == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(suffix);
        const QString path = dir.filePath(name + extension(format));
        if (QFileInfo::exists(logPathFor(path)))
            continue;
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            return std::shared_ptr<SoundRecorder>(new SoundRecorder(fd, path, format));
        if (errno != EEXIST)
            return QCoreApplication::translate("SoundRecorder", "%1 cannot be written: %2")
                .arg(QDir::toNativeSeparators(path), qt_error_string(errno));
    }
    return QCoreApplication::translate("SoundRecorder", "%1 holds too many recordings of that name")
        .arg(QDir::toNativeSeparators(folder));
}

std::variant<std::shared_ptr<SoundRecorder>, QString> SoundRecorder::createAt(const QString& path,
    RecordingFormat format)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return QCoreApplication::translate("SoundRecorder", "%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), qt_error_string(errno));
    return std::shared_ptr<SoundRecorder>(new SoundRecorder(fd, path, format));
}

SoundRecorder::SoundRecorder(int fd, QString path, RecordingFormat format)
    : filePath(std::move(path))
    , writer(std::make_unique<Writer>(fd, filePath, format))
    , thread([this] { run(); })
{
}

SoundRecorder::~SoundRecorder()
{
    finish();
}

SoundRecorder::Status SoundRecorder::finish()
{
    stop();
    if (thread.joinable())
        thread.join();
    return status();
}

QString SoundRecorder::tuningLogPath() const
{
    return logPathFor(filePath);
}

void SoundRecorder::played(std::span<const float> samples, double sampleRate)
{
    if (samples.empty() || !accepting.load(std::memory_order_acquire))
        return;
    Block block;
    block.rate = sampleRate;
    std::optional<QString> refused;
    if (!(sampleRate >= lowestRate && sampleRate <= highestRate)) {
        refused = QCoreApplication::translate("SoundRecorder", "The sound's sample rate cannot be recorded");
    } else {
        try {
            block.samples.assign(samples.begin(), samples.end());
        } catch (const std::bad_alloc&) {
            refused = QCoreApplication::translate("SoundRecorder", "There is no memory left for the recording");
        }
    }
    std::lock_guard guard(mutex);
    if (!accepting.load(std::memory_order_relaxed))
        return;
    const double seconds = double(samples.size()) / sampleRate;
    // The bound is tested before the block counts, as the player's is, so
    // one long block the player took is taken too.
    if (!refused && (pendingSeconds > maxQueuedSeconds || pending.size() >= maxQueuedItems))
        refused = QCoreApplication::translate("SoundRecorder", "The disk did not keep up with the sound");
    if (refused) {
        failLocked(*refused);
        return;
    }
    pending.emplace_back(std::move(block));
    pendingSeconds += seconds;
    takenSeconds += seconds;
}

void SoundRecorder::retuned(double frequencyKHz, Mode mode)
{
    std::lock_guard guard(mutex);
    if (!accepting.load(std::memory_order_relaxed) || !std::isfinite(frequencyKHz))
        return;
    // A tuning that no sound was heard in is replaced, so a quick run of
    // retuning between two blocks stays one line.
    if (!pending.empty() && std::holds_alternative<Tuning>(pending.back()))
        pending.back() = Tuning{frequencyKHz, mode};
    else
        pending.emplace_back(Tuning{frequencyKHz, mode});
}

void SoundRecorder::stop()
{
    {
        std::lock_guard guard(mutex);
        accepting.store(false, std::memory_order_release);
        closing = true;
    }
    wake.notify_all();
}

SoundRecorder::Status SoundRecorder::status() const
{
    std::lock_guard guard(mutex);
    return {takenSeconds, bytes.load(std::memory_order_relaxed), error, finished};
}

void SoundRecorder::failLocked(const QString& reason)
{
    if (!error)
        error = reason;
    accepting.store(false, std::memory_order_release);
    closing = true;
    wake.notify_all();
}

void SoundRecorder::run()
{
    std::vector<Item> items;
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait_for(lock, writeInterval, [this] { return closing; });
        items.swap(pending);
        pendingSeconds = 0;
        const bool last = closing;
        lock.unlock();
        std::optional<QString> problem = writer->write(items);
        items.clear();
        if (!problem)
            problem = writer->keepReadable();
        bytes.store(writer->fileBytes(), std::memory_order_relaxed);
        lock.lock();
        if (problem)
            failLocked(*problem);
        if (last || problem)
            break;
    }
    lock.unlock();
    const std::optional<QString> problem = writer->finish();
    const QFileInfo file(filePath);
    bytes.store(file.exists() ? std::uint64_t(file.size()) : 0, std::memory_order_relaxed);
    lock.lock();
    if (problem)
        failLocked(*problem);
    finished = true;
}
