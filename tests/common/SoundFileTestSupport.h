#pragma once
// Reads a recording back the way other programs would: through libsndfile.

#include <QFile>
#include <QString>

#include <sndfile.h>

#include <optional>
#include <vector>

struct SoundFileContents {
    int rate = 0;
    int format = 0;
    // As many as can be read, also when the header does not say how many.
    std::vector<float> samples;
};

inline std::optional<SoundFileContents> readSoundFile(const QString& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file || info.channels != 1) {
        if (file)
            sf_close(file);
        return std::nullopt;
    }
    SoundFileContents contents{info.samplerate, info.format, {}};
    std::vector<float> chunk(4096);
    for (sf_count_t got; (got = sf_read_float(file, chunk.data(), sf_count_t(chunk.size()))) > 0;)
        contents.samples.insert(contents.samples.end(), chunk.begin(), chunk.begin() + got);
    sf_close(file);
    return contents;
}
