#include "directory/ui/Coastlines.h"

#include <QFileInfo>
#include <QLibrary>
#include <QtConcurrent/QtConcurrentRun>

#include <netcdf.h>

#include <optional>
#include <vector>

namespace {

// Far above the full-resolution file; a larger count is no coastline file.
constexpr std::size_t maxPoints = 20'000'000;
constexpr int coastLevel = 1;
constexpr int antarcticIceFrontLevel = 5;

// libnetcdf, and the 26 libraries it brings (HDF5, curl, TLS, LDAP and
// more), is loaded when the map first reads its coastlines instead of with
// the program: linked, it cost every start about 7 MB and the time to load
// them. Without it the map has no coastlines.
struct NetCDFLibrary {
    decltype(&nc_open) open = nullptr;
    decltype(&nc_close) close = nullptr;
    decltype(&nc_inq_varid) inqVarid = nullptr;
    decltype(&nc_inq_varndims) inqVarndims = nullptr;
    decltype(&nc_inq_vardimid) inqVardimid = nullptr;
    decltype(&nc_inq_dimlen) inqDimlen = nullptr;
    decltype(&nc_get_var_int) getVarInt = nullptr;
    decltype(&nc_get_var_short) getVarShort = nullptr;

    bool isLoaded() const
    {
        return open && close && inqVarid && inqVarndims && inqVardimid && inqDimlen && getVarInt && getVarShort;
    }
};

template <typename Function>
void resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
}

// Loaded once, on the first thread that asks; it stays loaded.
const NetCDFLibrary& netCDF()
{
    static const NetCDFLibrary functions = [] {
        NetCDFLibrary found;
        // Debian 12's library, else whatever the development link names.
        QLibrary library(QStringLiteral("netcdf"), 19);
        if (!library.load()) {
            library.setFileName(QStringLiteral("netcdf"));
            if (!library.load())
                return found;
        }
        resolve(library, "nc_open", found.open);
        resolve(library, "nc_close", found.close);
        resolve(library, "nc_inq_varid", found.inqVarid);
        resolve(library, "nc_inq_varndims", found.inqVarndims);
        resolve(library, "nc_inq_vardimid", found.inqVardimid);
        resolve(library, "nc_inq_dimlen", found.inqDimlen);
        resolve(library, "nc_get_var_int", found.getVarInt);
        resolve(library, "nc_get_var_short", found.getVarShort);
        return found;
    }();
    return functions;
}

class NetCDFFile {
public:
    explicit NetCDFFile(const QString& path)
        : m_open(nc.isLoaded() && nc.open(QFile::encodeName(path).constData(), NC_NOWRITE, &m_id) == NC_NOERR)
    {
    }
    ~NetCDFFile()
    {
        if (m_open)
            nc.close(m_id);
    }
    NetCDFFile(const NetCDFFile&) = delete;
    NetCDFFile& operator=(const NetCDFFile&) = delete;

    bool isOpen() const { return m_open; }

    // A one-dimensional variable whole, or nothing when it is missing,
    // larger than `limit` or of another shape.
    template <typename T>
    std::optional<std::vector<T>> read(const char* name, std::size_t limit) const
    {
        int variable = 0;
        int dimensions = 0;
        int dimension = 0;
        std::size_t length = 0;
        if (nc.inqVarid(m_id, name, &variable) != NC_NOERR || nc.inqVarndims(m_id, variable, &dimensions) != NC_NOERR
            || dimensions != 1 || nc.inqVardimid(m_id, variable, &dimension) != NC_NOERR
            || nc.inqDimlen(m_id, dimension, &length) != NC_NOERR || length > limit)
            return std::nullopt;
        std::vector<T> values(length);
        if (length > 0 && get(variable, values.data()) != NC_NOERR)
            return std::nullopt;
        return values;
    }

    std::optional<int> scalar(const char* name) const
    {
        const auto values = read<int>(name, 1);
        if (!values || values->size() != 1)
            return std::nullopt;
        return values->front();
    }

private:
    int get(int variable, int* values) const { return nc.getVarInt(m_id, variable, values); }
    int get(int variable, short* values) const { return nc.getVarShort(m_id, variable, values); }

    const NetCDFLibrary& nc = netCDF();
    int m_id = 0;
    bool m_open = false;
};

} // namespace

QString installedCoastlinePath()
{
    for (const char* path : {"/usr/share/gmt-gshhg/binned_GSHHS_l.nc", "/usr/share/gmt-gshhg/binned_GSHHS_c.nc"}) {
        if (QFileInfo::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    }
    return {};
}

CoastlineSet readCoastlines(const QString& path)
{
    const NetCDFFile file(path);
    if (path.isEmpty() || !file.isOpen())
        return {};
    const std::optional<int> binMinutes = file.scalar("Bin_size_in_minutes");
    const std::optional<int> columns = file.scalar("N_bins_in_360_longitude_range");
    const auto firstSegment = file.read<int>("Id_of_first_segment_in_a_bin", maxPoints);
    const auto segmentCount = file.read<short>("N_segments_in_a_bin", maxPoints);
    const auto segmentInfo = file.read<int>("Embedded_npts_levels_exit_entry_for_a_segment", maxPoints);
    const auto firstPoint = file.read<int>("Id_of_first_point_in_a_segment", maxPoints);
    const auto dx = file.read<short>("Relative_longitude_from_SW_corner_of_bin", maxPoints);
    const auto dy = file.read<short>("Relative_latitude_from_SW_corner_of_bin", maxPoints);
    if (!binMinutes || !columns || !firstSegment || !segmentCount || !segmentInfo || !firstPoint || !dx || !dy
        || *binMinutes <= 0 || *binMinutes > 180 * 60 || *columns <= 0 || *columns * *binMinutes != 360 * 60
        || firstSegment->size() != segmentCount->size() || segmentInfo->size() != firstPoint->size()
        || dx->size() != dy->size())
        return {};
    const double binDegrees = *binMinutes / 60.0;
    const std::size_t rows = std::size_t(180 * 60 / *binMinutes);
    CoastlineSet lines;
    for (std::size_t bin = 0; bin < firstSegment->size() && bin < rows * std::size_t(*columns); ++bin) {
        const double west = double(bin % std::size_t(*columns)) * binDegrees;
        const double south = 90 - double(bin / std::size_t(*columns) + 1) * binDegrees;
        const long long start = (*firstSegment)[bin];
        const long long count = (*segmentCount)[bin];
        if (start < 0 || count < 0 || std::size_t(start + count) > segmentInfo->size())
            continue;
        for (long long segment = start; segment < start + count; ++segment) {
            const int info = (*segmentInfo)[std::size_t(segment)];
            const int level = (info >> 6) & 7;
            const long long points = info >> 9;
            const long long first = (*firstPoint)[std::size_t(segment)];
            if ((level != coastLevel && level != antarcticIceFrontLevel) || points < 2 || first < 0
                || std::size_t(first + points) > dx->size())
                continue;
            QPolygonF line;
            line.reserve(points);
            for (long long p = first; p < first + points; ++p) {
                // Offsets are unsigned 16-bit fractions of the bin.
                // Bins east of 180 degrees are drawn west of the date line.
                const double longitude = west + double(quint16((*dx)[std::size_t(p)])) * binDegrees / 65535
                    - (west >= 180 ? 360 : 0);
                const double latitude = south + double(quint16((*dy)[std::size_t(p)])) * binDegrees / 65535;
                line.append(QPointF(longitude, latitude));
            }
            lines.append(std::move(line));
        }
    }
    return lines;
}

QFuture<CoastlineSet> sharedCoastlines()
{
    static const QFuture<CoastlineSet> coastlines =
        QtConcurrent::run([] { return readCoastlines(installedCoastlinePath()); });
    return coastlines;
}
