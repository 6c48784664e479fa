#pragma once
// Results the network thread merges before they cross to the GUI thread. A
// connection keeps one of these per kind of result; a flood of messages then
// leaves at most one event waiting on the GUI thread per kind, and that event
// takes everything merged by the time it runs.

#include <mutex>
#include <utility>

template <typename Pending>
class MergedResults {
public:
    // Folds a result into what waits. True when nothing waited: the caller
    // then posts the one event that will take it.
    template <typename Fold>
    bool fold(Fold&& fold)
    {
        const std::lock_guard guard(m_lock);
        fold(m_pending);
        return !std::exchange(m_isWaiting, true);
    }

    // Called by the posted event, on the GUI thread.
    Pending take()
    {
        const std::lock_guard guard(m_lock);
        m_isWaiting = false;
        return std::exchange(m_pending, Pending{});
    }

private:
    std::mutex m_lock;
    Pending m_pending{};
    bool m_isWaiting = false;
};
