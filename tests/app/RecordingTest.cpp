// Recording from a main window: the Record button and its indicator with real
// widgets, the settings it follows, the connection that ends it, and a disk
// that fills up while the sound goes on.
#include "AppTestSupport.h"
#include "app/RecordingController.h"
#include "app/SettingsWindow.h"
#include "audio/AudioOutputSettings.h"
#include "audio/AudioPlayer.h"
#include "audio/PacedSilentEngine.h"
#include "settings/Preferences.h"
#include "common/SoundFileTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>

#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <tuple>

namespace {

class RecordingTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        Preferences::instance().setRecordingFolder(folder.path());
        window->show();
    }

    // Consumes in real time, as a sound card would, so sound keeps coming.
    std::shared_ptr<AudioPlayer> player = AudioPlayer::create(PacedSilentEngine::factory(), {});
    std::unique_ptr<MainWindow> window = makeWindow(player);
    QTemporaryDir folder;

    template <typename Widget = QLabel>
    Widget& part(const char* name)
    {
        auto* found = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return *found;
    }
    QStringList recordings() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }
};

struct CountingTap final : PlayedSoundTap {
    std::atomic<std::size_t> samples{0};
    void played(std::span<const float> block, double) override { samples += block.size(); }
};

TEST_F(RecordingTest, RecordButtonShowsTimeAndSizeTheConnectionsEndClosesTheFileWithItsTuningLog)
{
    AudioOutputSettings outputs;
    SettingsWindow settings(outputs, Preferences::instance());
    settings.findChild<QComboBox*>("recordingFormat")->setCurrentIndex(1);
    auto* folderField = settings.findChild<QLineEdit*>("recordingFolder");
    // A folder typed without a path is in the home folder; the last one is the test's.
    const std::pair<QString, QString> typedAndChosen[] = {{"~/Radio", QDir::home().filePath("Radio")},
        {"Radio", QDir::home().filePath("Radio")}, {folder.filePath("sub"), folder.filePath("sub")}};
    for (const auto& [typed, chosen] : typedAndChosen) {
        folderField->setText(typed);
        emit folderField->editingFinished();
        EXPECT_EQ(window->recording().folder(), chosen) << typed.toStdString();
    }

    auto& button = part<QToolButton>("recordButton");
    // Whether it records, as the button and the indicator show it too.
    const auto recording = [&] {
        return std::tuple(window->recording().isRecording(), button.isChecked(), part("recordingIndicator").isVisible());
    };
    EXPECT_FALSE(button.isEnabled()) << "no sound before a connection";
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    ASSERT_TRUE(button.isEnabled());
    EXPECT_EQ(recording(), std::tuple(false, false, false));

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(recording(), std::tuple(true, true, true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return part("recordingTime").text() == "0:00:02"; }, 10000));
    EXPECT_TRUE(part("recordingSize").text().endsWith("kB")) << part("recordingSize").text().toStdString();
    window->client().tune(7210);
    ASSERT_TRUE(QTest::qWaitFor([&] { return part("recordingTime").text() == "0:00:03"; }, 10000));
    saveScreenshot(*window, QStringLiteral("recording.png"));

    const int rowHeight = window->addressBar()->height();
    window->client().disconnect();
    EXPECT_EQ(recording(), std::tuple(false, false, false));
    // Where the file went, on one line; a click opens the folder.
    auto& recorded = part<QToolButton>("recordedFile");
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorded.isVisible(); }, 5000));
    const QString path = window->recording().path();
    EXPECT_EQ(recorded.accessibleName(), "Recorded to " + path);
    EXPECT_TRUE(recorded.toolTip().contains(path));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->addressBar()->height(), rowHeight);
    recorded.click();
    EXPECT_EQ(openedPages, std::vector{QUrl::fromLocalFile(folder.filePath("sub"))});
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith("Farlisten-rxsim-test-receiver_7200_lsb_20"));
    EXPECT_EQ(QFileInfo(path).suffix(), "flac");
    const auto file = readSoundFile(path);
    ASSERT_TRUE(file);
    EXPECT_GE(file->samples.size(), 3u * 12000);
    QFile log(QDir(folder.filePath("sub")).filePath(QFileInfo(path).completeBaseName() + ".jsonl"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(lines[1]).object().value("frequencyKHz"), 7210);

    // A new connection does not reopen it; the file stays named until the
    // listener disconnects or goes to another receiver.
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    QTest::qWait(300);
    EXPECT_EQ(recording(), std::tuple(false, false, false));
    EXPECT_TRUE(recorded.isVisible());
    window->client().disconnect();
    EXPECT_FALSE(recorded.isVisible());
}

TEST_F(RecordingTest, TheDecoderPaneShowsWhatTheReceiverDecodesAndTheRecordingKeepsItBesideTheSound)
{
    RxSimServer openWebRX(rxsimOptions([](RxSimOptions& o) { o.kind = RxSimKind::openwebrx; }));
    ASSERT_TRUE(connectWindow(*window, listen(openWebRX)));
    ReceiverClient& client = window->client();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.decoders().isEmpty(); }, 10000));
    client.setMode(Mode::usb);
    client.tune(7029);
    client.chooseDecoder(QStringLiteral("CW Decoder"));
    EXPECT_TRUE(part<QWidget>("decoderPane").isVisible());
    window->recordAction()->trigger();
    ASSERT_TRUE(window->recording().isRecording());
    const DecodeFiles& files = *window->recording().decodes();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(files.textPath()).size() > 40; }, 20000));
    saveScreenshot(*window, QStringLiteral("main-window-decoder.png"));
    window->recordAction()->trigger();
    EXPECT_EQ(QFileInfo(files.textPath()).completeBaseName(), QFileInfo(window->recording().path()).completeBaseName());
    QFile text(files.textPath());
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(text.readAll()).contains(QRegularExpression("^20\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\dZ  [A-Z ]")));
    EXPECT_FALSE(QFileInfo::exists(files.csvPath())) << "no messages, no table";

    // Kiwi receivers keep their decoders to themselves: no chooser, no pane.
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    EXPECT_FALSE(part<QWidget>("decoderPane").isVisible());
    EXPECT_FALSE(part<QWidget>("decoderChooser").isVisible());
}

// The process's own file-size limit, put back afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(RecordingTest, AFullDiskStopsTheRecordingWithAPlainMessageTheSoundGoesOnAndTheFileIsReadable)
{
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    QString path;
    {
        const FileSizeLimit limit(64 * 1024);
        window->recordAction()->trigger();
        ASSERT_TRUE(window->recording().isRecording());
        path = window->recording().path();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->recording().isRecording(); }, 15000));
    }
    EXPECT_EQ(part("recordingMessage").text(), "Recording stopped: File too large");
    EXPECT_TRUE(part("recordingMessage").isVisible());
    EXPECT_TRUE(part("recordingIndicator").isHidden());
    EXPECT_TRUE(part<QToolButton>("recordButton").isEnabled());

    const auto listening = std::make_shared<CountingTap>();
    player->setTap(listening);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listening->samples > 12000; }, 5000)) << "the sound goes on";
    EXPECT_TRUE(window->client().state().isConnected());

    const auto file = readSoundFile(path);
    ASSERT_TRUE(file);
    EXPECT_NEAR(double(file->samples.size()), (64 * 1024 - 44) / 2, 600);
    EXPECT_EQ(recordings(), (QStringList{QFileInfo(path).completeBaseName() + ".jsonl", QFileInfo(path).fileName()}));
}

} // namespace
