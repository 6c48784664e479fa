#include "audio/PulseStreamEngine.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>
#include <variant>

namespace {

// The rates the server accepts for a stream.
constexpr double lowestRate = 1.0;
constexpr double highestRate = 384000.0;

// What the server holds ahead of the sink, and the least it asks for at once.
struct Buffering {
    double targetSeconds;
    std::optional<double> requestSeconds;
};
// A feed is short: its player keeps the reserve.
constexpr Buffering feedBuffering{0.06, std::nullopt};
// The listener's sound, asked to adjust: the server gives the device
// (target - 2 x request) / 2, here 15 ms, and keeps the rest, 85 ms, in the
// stream, asked for in pieces of 35 ms, so the engine wakes about 30 times a
// second rather than at the server's pace. A request of half the target
// would leave the device nothing and drive a sound card at its lowest
// latency; a change of tuning is heard about a tenth of a second later.
constexpr Buffering listeningBuffering{0.1, 0.035};
// The restore database of the server keeps a volume per stream kind; a feed
// must not take the listener's (nor its mute) into what others record.
constexpr char feedRestoreID[] = "farlisten-feed";

std::uint32_t bytesFor(double seconds, const pa_sample_spec& format)
{
    return static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(seconds * 1e6), &format));
}

pa_buffer_attr bufferAttributes(bool feed, const pa_sample_spec& format)
{
    const Buffering buffering = feed ? feedBuffering : listeningBuffering;
    const auto any = static_cast<std::uint32_t>(-1);
    const std::uint32_t request = buffering.requestSeconds ? bytesFor(*buffering.requestSeconds, format) : any;
    return pa_buffer_attr{any, bytesFor(buffering.targetSeconds, format), any, request, any};
}

// What the desktop's mixer lists the stream as. The caller frees the list.
pa_proplist* streamProperties(bool feed)
{
    pa_proplist* properties = pa_proplist_new();
    if (feed) {
        const QByteArray name = QCoreApplication::translate("PulseStreamEngine", "Sound for other programs").toUtf8();
        pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, name.constData());
        pa_proplist_sets(properties, "module-stream-restore.id", feedRestoreID);
    } else {
        pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, "Farlisten");
    }
    return properties;
}

} // namespace

PulseStreamEngine::PulseStreamEngine(std::optional<AudioDeviceID> device)
    : isFeed(false)
    , device(std::move(device))
{
}

PulseStreamEngine::PulseStreamEngine(std::shared_ptr<PulseConnection> connection, QByteArray sink)
    : isFeed(true)
    , feedSink(std::move(sink))
    , connection(std::move(connection))
{
}

PulseStreamEngine::~PulseStreamEngine()
{
    stop();
}

AudioEngineFactory PulseStreamEngine::factory()
{
    return [](const std::optional<AudioDeviceID>& device) -> std::unique_ptr<AudioEngine> {
        return std::make_unique<PulseStreamEngine>(device);
    };
}

AudioEngineFactory PulseStreamEngine::factory(std::shared_ptr<PulseConnection> connection, QByteArray sink)
{
    return [connection = std::move(connection), sink = std::move(sink)](
               const std::optional<AudioDeviceID>&) -> std::unique_ptr<AudioEngine> {
        return std::make_unique<PulseStreamEngine>(connection, sink);
    };
}

bool PulseStreamEngine::canUseRate(double sampleRate) const
{
    return std::isfinite(sampleRate) && sampleRate >= lowestRate && sampleRate <= highestRate;
}

std::variant<QByteArray, AudioOutputError> PulseStreamEngine::sinkToPlayTo()
{
    if (isFeed)
        return feedSink;
    if (!connection || !connection->isReady()) {
        // The old connection's thread ends before a new one starts.
        connection.reset();
        auto opened = PulseConnection::open({}, {});
        if (!std::holds_alternative<std::unique_ptr<PulseConnection>>(opened))
            return AudioOutputError{
                QCoreApplication::translate("PulseStreamEngine", "No audio output device is available")};
        connection = std::move(std::get<std::unique_ptr<PulseConnection>>(opened));
    }
    // A device that has gone plays on the default output, as when none is chosen.
    if (device) {
        if (const auto names = connection->sinkNames(); names && std::ranges::find(*names, *device) != names->end())
            return *device;
    }
    return QByteArray();
}

std::optional<AudioOutputError> PulseStreamEngine::start(double sampleRate)
{
    if (!canUseRate(sampleRate))
        return AudioOutputError{
            QCoreApplication::translate("AudioEngine", "The sample rate %1 Hz cannot be played").arg(sampleRate)};
    stop();
    const auto sink = sinkToPlayTo();
    if (const auto* error = std::get_if<AudioOutputError>(&sink))
        return *error;
    const QByteArray& sinkName = std::get<QByteArray>(sink);
    QString problem;
    connection->locked([&](pa_context* context) {
        const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(std::lround(sampleRate)), 1};
        pa_proplist* properties = streamProperties(isFeed);
        stream = pa_stream_new_with_proplist(context, nullptr, &format, nullptr, properties);
        pa_proplist_free(properties);
        if (!stream) {
            problem = QString::fromUtf8(pa_strerror(pa_context_errno(context)));
            return;
        }
        pa_stream_set_state_callback(stream, &PulseStreamEngine::streamChanged, this);
        pa_stream_set_write_callback(stream, &PulseStreamEngine::writable, this);
        const pa_buffer_attr attributes = bufferAttributes(isFeed, format);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | (isFeed ? PA_STREAM_DONT_MOVE : PA_STREAM_NOFLAGS));
        if (pa_stream_connect_playback(stream, sinkName.isEmpty() ? nullptr : sinkName.constData(), &attributes,
                                       flags, nullptr, nullptr)
            == 0) {
            connection->waitUntil([this] { return pa_stream_get_state(stream) != PA_STREAM_CREATING; });
            if (pa_stream_get_state(stream) == PA_STREAM_READY)
                return;
        }
        problem = pa_context_errno(context) != PA_OK
            ? QString::fromUtf8(pa_strerror(pa_context_errno(context)))
            : QCoreApplication::translate("PulseStreamEngine", "the sound server did not answer in time");
    });
    if (problem.isEmpty())
        return std::nullopt;
    stop();
    // A stream the server never answered for may still be made later, with
    // nothing to play it: a connection of our own goes, and the stream with it.
    if (!isFeed)
        connection.reset();
    return AudioOutputError{
        isFeed ? QCoreApplication::translate("PulseStreamEngine", "The sound for other programs could not start: %1")
                     .arg(problem)
               : QCoreApplication::translate("PulseStreamEngine", "The sound could not start: %1").arg(problem)};
}

void PulseStreamEngine::stop()
{
    if (connection) {
        connection->locked([this](pa_context*) {
            if (!stream)
                return;
            // Nothing calls back once this returns.
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            stream = nullptr;
        });
    }
    buffers.clear();
}

void PulseStreamEngine::schedule(std::vector<float> samples, ConsumedCallback consumed)
{
    buffers.push(std::move(samples), std::move(consumed));
}

float PulseStreamEngine::volume() const
{
    return currentVolume.load();
}

void PulseStreamEngine::setVolume(float volume)
{
    currentVolume.store(volume);
}

void PulseStreamEngine::setConfigurationChangeHandler(std::function<void()> handler)
{
    std::lock_guard guard(handlerMutex);
    failureHandler = std::move(handler);
}

void PulseStreamEngine::streamChanged(pa_stream* stream, void* data)
{
    auto* self = static_cast<PulseStreamEngine*>(data);
    self->connection->signal();
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state != PA_STREAM_FAILED && state != PA_STREAM_TERMINATED)
        return;
    std::function<void()> handler;
    {
        std::lock_guard guard(self->handlerMutex);
        handler = self->failureHandler;
    }
    if (handler)
        handler();
}

// On the main loop's thread: the scheduled buffers, silence between them.
void PulseStreamEngine::writable(pa_stream* stream, std::size_t bytes, void* data)
{
    auto* self = static_cast<PulseStreamEngine*>(data);
    const float volume = self->currentVolume.load();
    while (bytes >= sizeof(float)) {
        void* memory = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(stream, &memory, &size) < 0 || !memory || size < sizeof(float))
            return;
        const std::size_t frames = std::min(size, bytes) / sizeof(float);
        auto* out = static_cast<float*>(memory);
        self->buffers.read(out, frames);
        if (volume != 1.0f)
            std::transform(out, out + frames, out, [volume](float x) { return x * volume; });
        if (pa_stream_write(stream, memory, frames * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            pa_stream_cancel_write(stream);
            return;
        }
        bytes -= frames * sizeof(float);
    }
}
