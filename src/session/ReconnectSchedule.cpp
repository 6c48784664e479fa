#include "session/ReconnectSchedule.h"

#include <algorithm>
#include <cmath>

ReconnectSchedule::ReconnectSchedule(ReconnectPolicy policy, std::function<double()> uniform)
    : m_policy(std::move(policy)), m_uniform(std::move(uniform))
{
}

std::optional<ReconnectSchedule::Duration> ReconnectSchedule::next(Duration now)
{
    if (!m_start)
        m_start = now;
    if (m_tries >= m_policy.maxTries || m_policy.delays.empty())
        return std::nullopt;
    const std::size_t step = std::min(static_cast<std::size_t>(m_tries), m_policy.delays.size() - 1);
    const double unit = std::clamp(m_uniform(), 0.0, 1.0);
    const double jitter = std::clamp(m_policy.jitter, 0.0, 1.0);
    const double factor = 1 + jitter * (2 * unit - 1);
    const Duration wait(static_cast<Duration::rep>(std::llround(m_policy.delays[step].count() * factor)));
    if (now + wait - *m_start > m_policy.maxDuration)
        return std::nullopt;
    ++m_tries;
    return wait;
}
