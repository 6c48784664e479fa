#pragma once
// A receiver's fixed number of channels of one kind; a listener holds one
// while connected and gets "too_busy" when none is free.

#include <optional>
#include <vector>

class ChannelSlots {
public:
    explicit ChannelSlots(int count);

    // The lowest free channel number, now taken; none when all are in use.
    std::optional<int> acquire();
    void release(int slot);

    int count() const { return static_cast<int>(used_.size()); }
    int inUse() const;

private:
    std::vector<bool> used_;
};
