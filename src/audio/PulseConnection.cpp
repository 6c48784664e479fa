#include "audio/PulseConnection.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/proplist.h>
#include <pulse/rtclock.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>

#include <QCoreApplication>

namespace {

// The sound server is local, but its lists are bounded all the same.
constexpr std::size_t maxListed = 4096;

template <typename Reply>
struct Pending {
    PulseConnection* connection;
    // What a request asks about, for its callback.
    QByteArray key;
    Reply reply{};
    bool done = false;
    bool failed = false;

    void finish(bool ok = true)
    {
        failed = !ok;
        done = true;
        connection->signal();
    }
};

// The server's texts, of which any may be missing.
QByteArray text(const char* value)
{
    return QByteArray(value ? value : "");
}

QString lastError(pa_context* context)
{
    return QString::fromUtf8(pa_strerror(pa_context_errno(context)));
}

// The list callbacks of libpulse all have this form: an entry, or the end.
template <typename Info, typename Take>
void listed(const Info* info, int end, void* data, Take take)
{
    auto* pending = static_cast<Pending<std::vector<QByteArray>>*>(data);
    if (end != 0) {
        pending->finish(end > 0);
        return;
    }
    if (info && pending->reply.size() < maxListed)
        pending->reply.push_back(take(*info));
}

} // namespace

PulseConnection::PulseConnection() = default;

std::variant<std::unique_ptr<PulseConnection>, QString> PulseConnection::open(
    const Properties& properties, std::function<void()> lost)
{
    std::unique_ptr<PulseConnection> connection(new PulseConnection);
    connection->lost = std::move(lost);
    connection->loop = pa_threaded_mainloop_new();
    if (!connection->loop)
        return QCoreApplication::translate("PulseConnection", "The sound server's client library could not start");
    pa_proplist* list = pa_proplist_new();
    // The desktop's mixer shows our streams under the program's name and icon.
    pa_proplist_sets(list, PA_PROP_APPLICATION_NAME, "Farlisten");
    pa_proplist_sets(list, PA_PROP_APPLICATION_ID, "farlisten");
    pa_proplist_sets(list, PA_PROP_APPLICATION_ICON_NAME, "farlisten");
    for (const auto& [key, value] : properties)
        pa_proplist_sets(list, key.constData(), value.constData());
    connection->context =
        pa_context_new_with_proplist(pa_threaded_mainloop_get_api(connection->loop), "Farlisten", list);
    pa_proplist_free(list);
    if (!connection->context)
        return QCoreApplication::translate("PulseConnection", "The sound server's client library could not start");
    pa_context_set_state_callback(connection->context, &PulseConnection::contextChanged, connection.get());
    // No server of our own: the one the desktop runs, or none.
    if (pa_context_connect(connection->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return lastError(connection->context);
    if (pa_threaded_mainloop_start(connection->loop) < 0)
        return QCoreApplication::translate("PulseConnection", "The sound server's client library could not start");
    QString problem;
    connection->locked([&](pa_context* context) {
        connection->waitUntil([context] { return pa_context_get_state(context) == PA_CONTEXT_READY; });
        if (pa_context_get_state(context) != PA_CONTEXT_READY)
            problem = pa_context_errno(context) != PA_OK
                ? lastError(context)
                : QCoreApplication::translate("PulseConnection", "it did not answer in time");
    });
    if (!problem.isEmpty())
        return problem;
    return connection;
}

PulseConnection::~PulseConnection()
{
    if (!loop)
        return;
    if (context) {
        locked([this](pa_context*) {
            closing = true;
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
        });
    }
    // Stopping a loop that never started only returns.
    pa_threaded_mainloop_stop(loop);
    if (context)
        pa_context_unref(context);
    pa_threaded_mainloop_free(loop);
}

void PulseConnection::contextChanged(pa_context* context, void* data)
{
    auto* self = static_cast<PulseConnection*>(data);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        self->wasReady = true;
    } else if (!PA_CONTEXT_IS_GOOD(state) && self->wasReady && !self->closing) {
        self->wasReady = false;
        if (self->lost)
            self->lost();
    }
    self->signal();
}

bool PulseConnection::isReady() const
{
    pa_threaded_mainloop_lock(loop);
    const bool ready = pa_context_get_state(context) == PA_CONTEXT_READY;
    pa_threaded_mainloop_unlock(loop);
    return ready;
}

void PulseConnection::locked(const std::function<void(pa_context*)>& work)
{
    pa_threaded_mainloop_lock(loop);
    work(context);
    pa_threaded_mainloop_unlock(loop);
}

void PulseConnection::signal()
{
    pa_threaded_mainloop_signal(loop, 0);
}

bool PulseConnection::waitUntil(const std::function<bool()>& done)
{
    struct Alarm {
        PulseConnection* self;
        bool rang = false;
    } alarm{this};
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(deadline).count();
    pa_time_event* event = pa_context_rttime_new(
        context, pa_rtclock_now() + static_cast<pa_usec_t>(micros),
        [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
            auto* ringing = static_cast<Alarm*>(data);
            ringing->rang = true;
            ringing->self->signal();
        },
        &alarm);
    // A context that failed will not make anything happen any more.
    const auto alive = [this] {
        const pa_context_state_t state = pa_context_get_state(context);
        return PA_CONTEXT_IS_GOOD(state);
    };
    while (!done() && !alarm.rang && alive())
        pa_threaded_mainloop_wait(loop);
    if (event)
        pa_threaded_mainloop_get_api(loop)->time_free(event);
    return done();
}

template <typename Reply, typename Request>
std::optional<Reply> PulseConnection::ask(Request request, const QByteArray& key)
{
    Pending<Reply> pending{this, key};
    bool answered = false;
    locked([&](pa_context* context) {
        if (pa_context_get_state(context) != PA_CONTEXT_READY)
            return;
        pa_operation* operation = request(context, &pending);
        if (!operation)
            return;
        waitUntil([&pending] { return pending.done; });
        // A cancelled operation calls nothing back any more.
        if (!pending.done)
            pa_operation_cancel(operation);
        pa_operation_unref(operation);
        answered = pending.done && !pending.failed;
    });
    if (!answered)
        return std::nullopt;
    return std::move(pending.reply);
}

std::variant<std::uint32_t, QString> PulseConnection::loadModule(const QByteArray& name, const QByteArray& argument)
{
    const std::optional<std::uint32_t> index = ask<std::uint32_t>([&](pa_context* context, void* data) {
        return pa_context_load_module(context, name.constData(), argument.constData(),
            [](pa_context*, std::uint32_t index, void* data) {
                auto* pending = static_cast<Pending<std::uint32_t>*>(data);
                pending->reply = index;
                pending->finish(index != PA_INVALID_INDEX);
            },
            data);
    });
    if (index)
        return *index;
    QString problem;
    locked([&](pa_context* context) { problem = lastError(context); });
    return problem;
}

bool PulseConnection::unloadModule(std::uint32_t index)
{
    return ask<bool>([index](pa_context* context, void* data) {
        return pa_context_unload_module(context, index,
            [](pa_context*, int success, void* data) { static_cast<Pending<bool>*>(data)->finish(success != 0); },
            data);
    }).has_value();
}

std::optional<std::vector<PulseConnection::Module>> PulseConnection::modules()
{
    return ask<std::vector<Module>>([](pa_context* context, void* data) {
        return pa_context_get_module_info_list(context,
            [](pa_context*, const pa_module_info* info, int end, void* data) {
                auto* pending = static_cast<Pending<std::vector<Module>>*>(data);
                if (end != 0) {
                    pending->finish(end > 0);
                    return;
                }
                if (info && pending->reply.size() < maxListed)
                    pending->reply.push_back({info->index, text(info->name), text(info->argument)});
            },
            data);
    });
}

std::optional<std::vector<QByteArray>> PulseConnection::clientProperties(const QByteArray& key)
{
    return ask<std::vector<QByteArray>>(
        [](pa_context* context, void* data) {
            return pa_context_get_client_info_list(context,
                [](pa_context*, const pa_client_info* info, int end, void* data) {
                    const QByteArray& key = static_cast<Pending<std::vector<QByteArray>>*>(data)->key;
                    listed(info, end, data, [&key](const pa_client_info& client) {
                        return text(client.proplist ? pa_proplist_gets(client.proplist, key.constData()) : nullptr);
                    });
                },
                data);
        },
        key);
}

std::optional<std::vector<QByteArray>> PulseConnection::sourceNames()
{
    return ask<std::vector<QByteArray>>([](pa_context* context, void* data) {
        return pa_context_get_source_info_list(context,
            [](pa_context*, const pa_source_info* info, int end, void* data) {
                listed(info, end, data, [](const pa_source_info& source) { return text(source.name); });
            },
            data);
    });
}

std::optional<std::vector<QByteArray>> PulseConnection::sinkNames()
{
    return ask<std::vector<QByteArray>>([](pa_context* context, void* data) {
        return pa_context_get_sink_info_list(context,
            [](pa_context*, const pa_sink_info* info, int end, void* data) {
                listed(info, end, data, [](const pa_sink_info& sink) { return text(sink.name); });
            },
            data);
    });
}

std::optional<std::uint32_t> PulseConnection::sourceIndex(const QByteArray& name)
{
    return ask<std::uint32_t>([&name](pa_context* context, void* data) {
        return pa_context_get_source_info_by_name(context, name.constData(),
            [](pa_context*, const pa_source_info* info, int end, void* data) {
                // A source of no such name ends with an error.
                auto* pending = static_cast<Pending<std::uint32_t>*>(data);
                if (end != 0)
                    pending->finish(end > 0);
                else if (info)
                    pending->reply = info->index;
            },
            data);
    });
}

void PulseConnection::watchRecorders(std::uint32_t source, std::function<void(int)> changed)
{
    locked([&](pa_context* context) {
        watchedSource = source;
        recordersChanged = std::move(changed);
        pa_context_set_subscribe_callback(
            context,
            [](pa_context*, pa_subscription_event_type_t, std::uint32_t, void* self) {
                static_cast<PulseConnection*>(self)->countRecorders();
            },
            this);
        if (pa_operation* operation = pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SOURCE_OUTPUT, nullptr, nullptr))
            pa_operation_unref(operation);
        countRecorders();
    });
}

void PulseConnection::countRecorders()
{
    if (closing || !recordersChanged)
        return;
    if (counting) {
        countAgain = true;
        return;
    }
    pa_operation* operation = pa_context_get_source_output_info_list(context,
        [](pa_context*, const pa_source_output_info* info, int end, void* data) {
            auto* self = static_cast<PulseConnection*>(data);
            if (end == 0) {
                if (info && info->source == self->watchedSource)
                    ++self->recorders;
                return;
            }
            const int counted = self->recorders;
            self->counting = false;
            self->recorders = 0;
            if (self->closing)
                return;
            if (end > 0)
                self->recordersChanged(counted);
            if (std::exchange(self->countAgain, false))
                self->countRecorders();
        },
        this);
    if (!operation)
        return;
    counting = true;
    recorders = 0;
    pa_operation_unref(operation);
}
