#include "ChannelSlots.h"

#include <algorithm>

ChannelSlots::ChannelSlots(int count)
    : used_(static_cast<std::size_t>(std::max(count, 0)), false)
{
}

std::optional<int> ChannelSlots::acquire()
{
    for (std::size_t i = 0; i < used_.size(); ++i) {
        if (!used_[i]) {
            used_[i] = true;
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void ChannelSlots::release(int slot)
{
    if (slot >= 0 && static_cast<std::size_t>(slot) < used_.size())
        used_[static_cast<std::size_t>(slot)] = false;
}

int ChannelSlots::inUse() const
{
    return static_cast<int>(std::count(used_.begin(), used_.end(), true));
}
