#include "userfiles/FavouritesFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>
#include <optional>

#include "userfiles/ReplaceFile.h"

namespace vistrel {
namespace {

// How long a change waits for another program's change to the same file.
constexpr int LockWaitMilliseconds = 5000;
const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// The seed a line names, by the rule the class describes.
std::optional<std::uint32_t> SeedOnLine(QByteArray line) {
    if (line.startsWith(ByteOrderMark)) {
        line.remove(0, ByteOrderMark.size());
    }
    const QByteArray digits = line.trimmed();
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    std::uint32_t seed = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        seed = seed * 10 + static_cast<std::uint32_t>(c - '0');
        if (seed >= SceneSeedCount) {
            return std::nullopt;
        }
    }
    return seed;
}

struct FileText {
    QByteArray bytes;
    // Why it could not be read; empty when it was, or when there is no file.
    QString failure;
};

// The file's bytes, read without waiting on a FIFO or reading a device or an endless file.
FileText ReadText(const QString& path) {
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // No file there, or no folder for one: no favourites yet.
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return {{}, missing ? QString() : qt_error_string(errno)};
    }
    FileText text;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        text.failure = qt_error_string(errno);
    } else if (!S_ISREG(info.st_mode)) {
        text.failure = FavouritesFile::tr("it is not a plain file");
    } else if (info.st_size > FavouritesFile::LargestFile) {
        text.failure = FavouritesFile::tr(
                           "it is larger than %1 MB, far more than any list of "
                           "favourites")
                           .arg(FavouritesFile::LargestFile / (1024 * 1024));
    } else {
        // One byte more than allowed tells a file that grew meanwhile.
        text.bytes.resize(FavouritesFile::LargestFile + 1);
        qsizetype filled = 0;
        for (;;) {
            const ssize_t got = read(fd, text.bytes.data() + filled,
                                     static_cast<std::size_t>(text.bytes.size() - filled));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                text.failure = qt_error_string(errno);
                break;
            }
            filled += got;
            if (got == 0 || filled == text.bytes.size()) {
                break;
            }
        }
        if (text.failure.isEmpty() && filled > FavouritesFile::LargestFile) {
            text.failure = FavouritesFile::tr("it grew larger than %1 MB while it was read")
                               .arg(FavouritesFile::LargestFile / (1024 * 1024));
        }
        text.bytes.resize(text.failure.isEmpty() ? filled : 0);
    }
    close(fd);
    return text;
}

}  // namespace

FavouritesFile::FavouritesFile(QString path) : path(std::move(path)) {}

QString FavouritesFile::Load() {
    const FileText text = ReadText(path);
    Take(text.failure.isEmpty() ? text.bytes : QByteArray());
    return text.failure;
}

QString FavouritesFile::Refresh() {
    const FileText text = ReadText(path);
    if (text.failure.isEmpty()) {
        Take(text.bytes);
    }
    return text.failure;
}

void FavouritesFile::Take(const QByteArray& text) {
    lines = text.split('\n');
    // The newline that ends the last line starts no line of its own.
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    marked.reset();
    for (const QByteArray& line : std::as_const(lines)) {
        if (const auto seed = SeedOnLine(line)) {
            marked.set(*seed);
        }
    }
    for (const Change& change : unwritten) {
        Apply(change);
    }
}

bool FavouritesFile::Contains(std::uint32_t seed) const {
    return seed < SceneSeedCount && marked.test(seed);
}

std::vector<std::uint32_t> FavouritesFile::Seeds() const {
    std::vector<std::uint32_t> seeds;
    seeds.reserve(marked.count());
    for (std::uint32_t seed = 0; seed < SceneSeedCount; ++seed) {
        if (marked.test(seed)) {
            seeds.push_back(seed);
        }
    }
    return seeds;
}

void FavouritesFile::Apply(const Change& change) {
    const auto [seed, favourite] = change;
    if (marked.test(seed) == favourite) {
        return;
    }
    marked.set(seed, favourite);
    if (favourite) {
        lines.append(QByteArray::number(seed));
    } else {
        lines.removeIf([seed](const QByteArray& line) { return SeedOnLine(line) == seed; });
    }
}

QString FavouritesFile::SetFavourite(std::uint32_t seed, bool favourite) {
    if (seed >= SceneSeedCount || marked.test(seed) == favourite) {
        return {};
    }
    unwritten.emplace_back(seed, favourite);
    Apply(unwritten.back());
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return tr("the folder %1 could not be created").arg(QDir::toNativeSeparators(folder));
    }
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMilliseconds)) {
        return lock.error() == QLockFile::LockFailedError
                   ? tr("another program kept the file locked")
                   : tr("no lock beside the file could be made");
    }
    // What others wrote since this file was read counts; what this one could not write yet
    // goes on top.
    if (!Refresh().isEmpty()) {
        return tr("the file could not be read, so it is left as it is");
    }
    const QString failure = Write();
    if (failure.isEmpty()) {
        unwritten.clear();
    }
    return failure;
}

QString FavouritesFile::Write() const {
    QByteArray text;
    for (const QByteArray& line : lines) {
        text += line;
        text += '\n';
    }
    return ReplaceFile(path, text);
}

}  // namespace vistrel
