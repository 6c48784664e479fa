// rxprobe: listens to a web receiver for a while without a window, through the
// same session the application uses, and prints every change of the session
// as one JSON object per line, then a summary of what was received. It can
// share the receiver with other programs as a window does: its sound as a
// capture source, its tuning over rigctl.

#include "DirectoryProbe.h"
#include "JsonLines.h"
#include "PlaybackCounter.h"
#include "PropertyJson.h"
#include "PropertyLog.h"
#include "RxProbeOptions.h"

#include "audio/AudioOutputDevices.h"
#include "audio/AudioPlayer.h"
#include "audio/CaptureSource.h"
#include "audio/PulseStreamEngine.h"
#include "audio/PacedSilentEngine.h"
#include "audio/SoundRecorder.h"
#include "settings/Preferences.h"
#include "session/ReceiverClient.h"
#include "sharing/ProgramShare.h"
#include "sharing/TerminationSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <memory>
#include <utility>
#include <variant>

namespace {

std::shared_ptr<AudioPlayer> makePlayer(const RxProbeOptions& options, std::shared_ptr<PlaybackCounter> counter)
{
    // Sound that goes to a file or to other programs is played nowhere else.
    if (options.wavPath || options.soundSource) {
        return AudioPlayer::create(CountingAudioEngine::factory(PacedSilentEngine::factory(), counter),
            [] { return std::optional<AudioDeviceID>(); });
    }
    // The device chosen in the application, as stored at its last change.
    return AudioPlayer::create(CountingAudioEngine::factory(PulseStreamEngine::factory(), counter),
        [uid = Preferences::instance().audioOutputDeviceUID()] { return currentOutputDeviceID(uid); });
}

QStringList stageNames(std::uint32_t stages)
{
    QStringList names;
    const std::pair<ListeningChain::Stage, const char*> all[] = {{ListeningChain::blanker, "blanker"},
        {ListeningChain::notch, "notch"}, {ListeningChain::noiseReduction, "noiseReduction"},
        {ListeningChain::squelch, "squelch"}};
    for (const auto& [stage, name] : all) {
        if (stages & stage)
            names.append(QString::fromLatin1(name));
    }
    return names;
}

// Shares the probe's receiver as the options ask; none when they do not.
std::unique_ptr<ProgramShare> share(
    const RxProbeOptions& options, ReceiverClient& client, std::shared_ptr<AudioPlayer> player, QElapsedTimer& clock)
{
    if (!options.rigctldPort && !options.soundSource)
        return nullptr;
    ProgramShare::Options shared;
    shared.sound = options.soundSource.has_value();
    shared.rigctl = options.rigctldPort.has_value();
    shared.firstPort = options.rigctldPort.value_or(0);
    shared.portsToTry = 1;
    if (options.soundSource)
        shared.sourceName = SoundSourceName{*options.soundSource, QStringLiteral("Farlisten: ")
            + QString::fromUtf8(*options.soundSource)};
    auto programShare = std::make_unique<ProgramShare>(client, std::move(player), shared);
    // Each line once: a change of one part leaves the other's line unsaid.
    const auto tell = [&clock, share = programShare.get(), told = std::make_shared<QJsonObject>()] {
        const auto say = [&](const QString& key, const QJsonValue& value) {
            if (told->value(key) == value)
                return;
            told->insert(key, value);
            writeLine(eventLine(clock.elapsed(), key, value));
        };
        if (const CaptureSource* source = share->source()) {
            const CaptureSource::State& state = source->state();
            if (state.kind == CaptureSource::State::Kind::open)
                say(QStringLiteral("soundSource"), QJsonObject{{"name", QString::fromUtf8(state.name.name)},
                                                       {"description", state.name.description}});
            else if (state.kind == CaptureSource::State::Kind::failed)
                say(QStringLiteral("soundSourceProblem"), state.problem);
        }
        if (const RigctlServer* rigctl = share->rigctl()) {
            if (const std::optional<quint16> port = rigctl->port())
                say(QStringLiteral("rigctl"), QJsonObject{{"port", *port}, {"clients", rigctl->clientCount()}});
            else
                say(QStringLiteral("rigctlProblem"), rigctl->problem());
        }
    };
    QObject::connect(programShare.get(), &ProgramShare::changed, programShare.get(), tell);
    tell();
    return programShare;
}

} // namespace

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails, and the recording says so,
    // instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    // The application's names, so that the sound card is the output device the
    // user chose there.
    QCoreApplication::setOrganizationName(QStringLiteral("Farlisten"));
    QCoreApplication::setApplicationName(QStringLiteral("Farlisten"));

    const auto parsed = parseRxProbeCommandLine(QCoreApplication::arguments());
    if (const auto* usage = std::get_if<RxProbeUsage>(&parsed)) {
        QTextStream(usage->isError ? stderr : stdout) << usage->text << Qt::endl;
        return usage->isError ? 2 : 0;
    }
    const RxProbeOptions& options = std::get<RxProbeOptions>(parsed);
    if (!options.directorySources.isEmpty()) {
        DirectoryProbe probe(options.directorySources);
        QObject::connect(&probe, &DirectoryProbe::finished, &app, [] { QCoreApplication::exit(0); });
        probe.start();
        return QCoreApplication::exec();
    }

    QElapsedTimer clock;
    clock.start();
    const auto counter = std::make_shared<PlaybackCounter>();
    const std::shared_ptr<AudioPlayer> player = makePlayer(options, counter);
    // The application's recorder, on what the player plays.
    std::shared_ptr<SoundRecorder> recorder;
    if (options.wavPath) {
        auto created = SoundRecorder::createAt(*options.wavPath, RecordingFormat::wav);
        if (const QString* error = std::get_if<QString>(&created)) {
            QTextStream(stderr) << *error << Qt::endl;
            return 2;
        }
        recorder = std::get<std::shared_ptr<SoundRecorder>>(std::move(created));
        player->setTap(recorder);
    }
    ListeningChain& listening = player->listeningChain();
    const ListeningSettings applied = listening.setSettings(options.listening);
    ReceiverClient client(QStringLiteral("Farlisten"), player);
    PropertyLog log(client, clock, writeLine);
    // Ended by a signal, the probe still removes its capture source.
    quitOnTerminationSignals();
    std::unique_ptr<ProgramShare> programShare = share(options, client, player, clock);
    std::uint64_t rows = 0;
    ReceiverClient::RowBroadcaster::Subscription subscription =
        client.rows().subscribe(&log, [&rows](const WaterfallRow&) { ++rows; });

    if (options.reconnect) {
        client.setReconnectPolicy(ReconnectPolicy{});
        QObject::connect(&client, &ReceiverClient::reconnectTryStarted, &log, [&clock](int tryNumber, int maxTries) {
            writeLine(reconnectTryLine(clock.elapsed(), tryNumber, maxTries));
        });
    }
    if (options.zoom) {
        client.restoreTuning(options.mode.value_or(client.mode()), *options.zoom,
            options.frequencyKHz.value_or(client.frequencyKHz()));
    }
    if (options.decoder) {
        // Once, when first connected: a reconnected session takes its
        // decoder up again by itself.
        auto chosen = std::make_shared<bool>(false);
        QObject::connect(&client, &ReceiverClient::stateChanged, &log, [&client, &options, chosen] {
            if (client.state().isConnected() && !std::exchange(*chosen, true))
                client.chooseDecoder(*options.decoder, options.mode);
        });
        QObject::connect(&client, &ReceiverClient::decoderOutputChanged, &log, [&client, &clock] {
            const DecoderOutput& output = client.decoderOutput();
            if (!output.text.isEmpty())
                writeLine(propertyLine(clock.elapsed(), QStringLiteral("decoderText"), output.text));
            for (const DecodedMessage& message : output.messages)
                writeLine(propertyLine(clock.elapsed(), QStringLiteral("decoderMessage"), decodedMessageJson(message)));
        });
    }
    client.connect(options.address, options.password, options.frequencyKHz, options.mode);

    QTimer::singleShot(options.duration, Qt::PreciseTimer, &client, [&] {
        client.disconnect();
        subscription.reset();
        if (recorder) {
            player->setTap(nullptr);
            if (const std::optional<QString> error = recorder->finish().error)
                QTextStream(stderr) << "Recording stopped: " << *error << Qt::endl;
        }
        writeLine(summaryLine({rows, counter->scheduledBlocks(), counter->secondsPlayed(), applied,
            stageNames(listening.stagesRun())}));
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}
