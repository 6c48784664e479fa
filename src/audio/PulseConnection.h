#pragma once
// One connection to the sound server the program plays to (PulseAudio, or
// PipeWire's PulseAudio server) over libpulse's threaded main loop. Every
// request waits for its answer at most `deadline`, so a hung server never
// holds the caller for long. Any thread but the main loop's own may call.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

struct pa_context;
struct pa_threaded_mainloop;

class PulseConnection {
public:
    static constexpr std::chrono::milliseconds deadline{3000};

    using Properties = std::vector<std::pair<QByteArray, QByteArray>>;
    struct Module {
        std::uint32_t index = 0;
        QByteArray name;
        QByteArray argument;
    };

    // Connects to the server with these properties on the client, which the
    // server lists with it. `lost` runs once, on the main loop's thread, when
    // the connection fails later (the server went away). The reason in words
    // when it cannot connect.
    static std::variant<std::unique_ptr<PulseConnection>, QString> open(
        const Properties& properties, std::function<void()> lost);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    bool isReady() const;
    // The module's index, or why it did not load.
    std::variant<std::uint32_t, QString> loadModule(const QByteArray& name, const QByteArray& argument);
    bool unloadModule(std::uint32_t index);
    // None when the server did not answer.
    std::optional<std::vector<Module>> modules();
    std::optional<std::vector<QByteArray>> clientProperties(const QByteArray& key);
    std::optional<std::vector<QByteArray>> sourceNames();
    std::optional<std::vector<QByteArray>> sinkNames();
    std::optional<std::uint32_t> sourceIndex(const QByteArray& name);
    // Calls `changed` on the main loop's thread with the number of streams
    // recording from the source of this index, now and after each change.
    void watchRecorders(std::uint32_t source, std::function<void(int)> changed);

    // Runs `work` holding the main loop's lock, as streams need.
    void locked(const std::function<void(pa_context*)>& work);
    // Under the lock: waits until `done` holds, the connection fails or the
    // deadline passes; whoever makes `done` true must call signal().
    bool waitUntil(const std::function<bool()>& done);
    void signal();

private:
    PulseConnection();
    static void contextChanged(pa_context* context, void* self);
    // On the main loop's thread: counts the recording streams once more.
    void countRecorders();
    template <typename Reply, typename Request>
    std::optional<Reply> ask(Request request, const QByteArray& key = {});

    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::function<void()> lost;
    // Guarded by the loop's lock.
    bool wasReady = false;
    bool closing = false;
    std::uint32_t watchedSource = 0;
    std::function<void(int)> recordersChanged;
    // One count at a time; a change during it asks for another.
    bool counting = false;
    bool countAgain = false;
    int recorders = 0;
};
