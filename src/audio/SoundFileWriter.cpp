#include "audio/SoundFileWriter.h"

#include <QCoreApplication>

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace {

int formatCode(RecordingFormat format)
{
    return (format == RecordingFormat::flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
}

} // namespace

std::variant<std::unique_ptr<SoundFileWriter>, QString> SoundFileWriter::open(int fd, int sampleRate,
                                                                              RecordingFormat format)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = formatCode(format);
    SNDFILE* file = sf_format_check(&info) ? sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE) : nullptr;
    if (!file) {
        ::close(fd);
        return QCoreApplication::translate("SoundFileWriter", "The sound file cannot be started: %1")
            .arg(QString::fromLocal8Bit(sf_strerror(nullptr)));
    }
    // Loud sound is clipped rather than wrapped round.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return std::unique_ptr<SoundFileWriter>(new SoundFileWriter(file, fd, sampleRate, format));
}

SoundFileWriter::SoundFileWriter(sf_private_tag* file, int fd, int rate, RecordingFormat format)
    : file(file)
    , fd(fd)
    , rate(rate)
    , format(format)
{
}

SoundFileWriter::~SoundFileWriter()
{
    close();
}

std::uint64_t SoundFileWriter::room() const
{
    if (format == RecordingFormat::wav)
        return maxWavFrames - std::min(written, maxWavFrames);
    return std::numeric_limits<std::uint64_t>::max() - written;
}

std::optional<QString> SoundFileWriter::write(std::span<const float> samples)
{
    if (!file)
        return fileError();
    errno = 0;
    const sf_count_t count = sf_write_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    const int error = errno;
    if (count > 0)
        written += static_cast<std::uint64_t>(count);
    if (count == static_cast<sf_count_t>(samples.size()))
        return std::nullopt;
    // The system's reason (a full disk, a file too large) says most.
    return error ? qt_error_string(error) : fileError();
}

std::optional<QString> SoundFileWriter::updateHeader()
{
    if (!file)
        return fileError();
    if (format == RecordingFormat::wav)
        sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    return std::nullopt;
}

std::optional<QString> SoundFileWriter::sync()
{
    if (!file)
        return fileError();
    if (::fdatasync(fd) != 0 && errno != EINVAL)
        return qt_error_string(errno);
    return std::nullopt;
}

std::optional<QString> SoundFileWriter::close()
{
    if (!file)
        return std::nullopt;
    const int result = sf_close(file);
    file = nullptr;
    fd = -1;
    if (result != 0)
        return QString::fromLocal8Bit(sf_error_number(result));
    return std::nullopt;
}

std::uint64_t SoundFileWriter::fileBytes() const
{
    struct stat info{};
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_size < 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

QString SoundFileWriter::fileError() const
{
    if (!file)
        return QCoreApplication::translate("SoundFileWriter", "The sound file is closed");
    return QString::fromLocal8Bit(sf_strerror(file));
}
