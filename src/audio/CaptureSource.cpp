#include "audio/CaptureSource.h"

#include "audio/AudioPlayer.h"
#include "audio/PulseConnection.h"
#include "audio/PulseStreamEngine.h"
#include "audio/SoundFeed.h"

#include <QCoreApplication>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace {

constexpr int mostNumbered = 99;
const QByteArray nullSinkModule("module-null-sink");
const QByteArray remapSourceModule("module-remap-source");

bool contains(const std::vector<QByteArray>& list, const QByteArray& value)
{
    return std::find(list.cbegin(), list.cend(), value) != list.cend();
}

// Sources before the sinks they are made from.
void removeAbandonedOn(PulseConnection& connection)
{
    const std::optional<std::vector<PulseConnection::Module>> modules = connection.modules();
    const std::optional<std::vector<QByteArray>> owners = connection.clientProperties(soundSourceOwnerKey);
    if (!modules || !owners)
        return;
    for (const QByteArray& kind : {remapSourceModule, nullSinkModule}) {
        for (const PulseConnection::Module& module : *modules) {
            const std::optional<QByteArray> owner = soundSourceOwner(module.argument);
            if (module.name == kind && owner && !contains(*owners, *owner))
                connection.unloadModule(module.index);
        }
    }
}

} // namespace

// One connection's source: what it is called, its two modules, and the
// player that plays into it.
struct CaptureSource::Made {
    int serial = 0;
    SoundSourceName name;
    std::shared_ptr<PulseConnection> connection;
    std::uint32_t sink = 0;
    std::uint32_t source = 0;
    // The source's own index, by which recording streams name it.
    std::optional<std::uint32_t> sourceIndex;
    std::shared_ptr<AudioPlayer> player;
};

CaptureSource::CaptureSource(QObject* parent)
    : QObject(parent)
    , m_feed(std::make_shared<SoundFeed>())
    , m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    m_retry->setInterval(retryInterval);
    connect(m_retry, &QTimer::timeout, this, &CaptureSource::startMaking);
}

CaptureSource::~CaptureSource()
{
    m_retry->stop();
    finishWorker();
    unmake();
}

std::shared_ptr<PlayedSoundTap> CaptureSource::feed() const
{
    return m_feed;
}

void CaptureSource::open(const SoundSourceName& name, bool exactName)
{
    if (m_state.kind != State::Kind::closed && name == m_asked && exactName == m_exactName)
        return;
    m_asked = name;
    m_exactName = exactName;
    finishWorker();
    unmake();
    startMaking();
}

void CaptureSource::close()
{
    m_retry->stop();
    finishWorker();
    unmake();
    setState({});
}

void CaptureSource::startMaking()
{
    finishWorker();
    setState({State::Kind::opening, {}, 0, {}});
    const int serial = ++m_serial;
    m_worker = std::thread([this, serial, asked = m_asked, exact = m_exactName] {
        // Runs on the connection's thread, which ends before this object does.
        auto lost = [this, serial] {
            QMetaObject::invokeMethod(this, [this, serial] { connectionLost(serial); }, Qt::QueuedConnection);
        };
        Result result = make(asked, exact, std::move(lost));
        if (auto* made = std::get_if<std::unique_ptr<Made>>(&result))
            (*made)->serial = serial;
        {
            std::lock_guard guard(m_resultLock);
            m_result = std::move(result);
        }
        QMetaObject::invokeMethod(this, [this] { pickUp(); }, Qt::QueuedConnection);
    });
}

CaptureSource::Result CaptureSource::make(const SoundSourceName& asked, bool exactName, std::function<void()> lost)
{
    const QByteArray owner = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    auto opened = PulseConnection::open({{soundSourceOwnerKey, owner}}, std::move(lost));
    if (const QString* problem = std::get_if<QString>(&opened))
        return QCoreApplication::translate("CaptureSource", "The sound server cannot be reached: %1").arg(*problem);
    auto made = std::make_unique<Made>();
    made->connection = std::move(std::get<std::unique_ptr<PulseConnection>>(opened));
    PulseConnection& connection = *made->connection;
    removeAbandonedOn(connection);
    const auto sources = connection.sourceNames();
    const auto sinks = connection.sinkNames();
    for (int number = 1; sources && sinks && number <= (exactName ? 1 : mostNumbered); ++number) {
        const SoundSourceName name = number == 1 ? asked : numberedSoundSourceName(asked, number);
        if (!contains(*sources, name.name) && !contains(*sinks, feedSinkName(name))) {
            made->name = name;
            break;
        }
    }
    if (made->name.name.isEmpty())
        return QCoreApplication::translate("CaptureSource", "Another program has a sound source named %1 already")
            .arg(QString::fromUtf8(asked.name));
    const auto notMade = [](const QString& problem) {
        return QCoreApplication::translate("CaptureSource", "The sound server did not make the source: %1").arg(problem);
    };
    const auto sink = connection.loadModule(nullSinkModule, feedSinkArguments(made->name, owner));
    if (const QString* problem = std::get_if<QString>(&sink))
        return notMade(*problem);
    made->sink = std::get<std::uint32_t>(sink);
    const auto source = connection.loadModule(remapSourceModule, soundSourceArguments(made->name, owner));
    if (const QString* problem = std::get_if<QString>(&source)) {
        connection.unloadModule(made->sink);
        return notMade(*problem);
    }
    made->source = std::get<std::uint32_t>(source);
    made->sourceIndex = connection.sourceIndex(made->name.name);
    return made;
}

void CaptureSource::pickUp()
{
    Result result;
    {
        std::lock_guard guard(m_resultLock);
        result.swap(m_result);
    }
    if (std::holds_alternative<std::monostate>(result))
        return;
    finishWorker();
    if (auto* made = std::get_if<std::unique_ptr<Made>>(&result); made && !(*made)->connection->isReady())
        result = QCoreApplication::translate("CaptureSource", "The sound server went away");
    if (QString* problem = std::get_if<QString>(&result)) {
        setState({State::Kind::failed, {}, 0, *problem});
        m_retry->start();
        return;
    }
    m_made = std::move(std::get<std::unique_ptr<Made>>(result));
    // Made here, not on the worker: a player belongs to the GUI thread.
    m_made->player = AudioPlayer::create(
        PulseStreamEngine::factory(m_made->connection, feedSinkName(m_made->name)),
        [] { return std::optional<AudioDeviceID>(); });
    m_feed->setPlayer(m_made->player);
    setState({State::Kind::open, m_made->name, 0, {}});
    if (m_made->sourceIndex) {
        m_made->connection->watchRecorders(*m_made->sourceIndex, [this, serial = m_made->serial](int recorders) {
            QMetaObject::invokeMethod(this, [this, serial, recorders] { countRecorders(serial, recorders); },
                Qt::QueuedConnection);
        });
    }
}

void CaptureSource::countRecorders(int serial, int recorders)
{
    if (!m_made || m_made->serial != serial)
        return;
    State state = m_state;
    state.recorders = recorders;
    setState(std::move(state));
}

void CaptureSource::connectionLost(int serial)
{
    if (!m_made || m_made->serial != serial)
        return;
    unmake();
    setState(
        {State::Kind::failed, {}, 0, QCoreApplication::translate("CaptureSource", "The sound server went away")});
    m_retry->start();
}

void CaptureSource::unmake()
{
    if (!m_made)
        return;
    m_feed->setPlayer(nullptr);
    // The stream goes before its sink, so it is never left without one.
    m_made->player.reset();
    if (m_made->connection->isReady()) {
        m_made->connection->unloadModule(m_made->source);
        m_made->connection->unloadModule(m_made->sink);
    }
    m_made.reset();
}

void CaptureSource::finishWorker()
{
    if (m_worker.joinable())
        m_worker.join();
    std::lock_guard guard(m_resultLock);
    // A source made for a name no longer asked for is removed at once.
    if (auto* made = std::get_if<std::unique_ptr<Made>>(&m_result)) {
        PulseConnection& connection = *(*made)->connection;
        connection.unloadModule((*made)->source);
        connection.unloadModule((*made)->sink);
    }
    m_result = std::monostate();
}

void CaptureSource::setState(State state)
{
    const bool changed = state.kind != m_state.kind || state.name != m_state.name || state.recorders != m_state.recorders
        || state.problem != m_state.problem;
    m_state = std::move(state);
    if (changed)
        emit stateChanged();
}

void CaptureSource::removeAbandoned()
{
    auto opened = PulseConnection::open({}, {});
    if (auto* connection = std::get_if<std::unique_ptr<PulseConnection>>(&opened))
        removeAbandonedOn(**connection);
}
