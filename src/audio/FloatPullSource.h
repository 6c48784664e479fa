#pragma once
// What a sound card pulls in Qt's pull mode: mono float samples from a render
// function, exactly as many as asked for, so the stream never stalls.

#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <utility>

class FloatPullSource final : public QIODevice {
public:
    using Render = std::function<void(float* out, std::size_t frames)>;

    explicit FloatPullSource(Render render)
        : render(std::move(render))
    {
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (maxSize <= 0)
            return 0;
        const std::size_t frames = static_cast<std::size_t>(maxSize) / sizeof(float);
        // Rendered through an aligned buffer: Qt's destination need not be.
        std::array<float, 1024> chunk;
        std::size_t done = 0;
        while (done < frames) {
            const std::size_t count = std::min(chunk.size(), frames - done);
            render(chunk.data(), count);
            std::memcpy(data + done * sizeof(float), chunk.data(), count * sizeof(float));
            done += count;
        }
        return static_cast<qint64>(frames * sizeof(float));
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    Render render;
};
