#include "userfiles/FavouritesFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "userfiles/ReplaceFile.h"

namespace vistrel {
namespace {

constexpr int LongestSeedDigits = 5;

// The seed a line names: decimal digits only, spaces around them allowed.
std::optional<std::uint32_t> SeedOnLine(const QByteArray& line) {
    const QByteArray digits = line.trimmed();
    if (digits.isEmpty() || digits.size() > LongestSeedDigits) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    const std::uint32_t seed = digits.toUInt();
    if (seed >= SceneSeedCount) {
        return std::nullopt;
    }
    return seed;
}

}  // namespace

FavouritesFile::FavouritesFile(QString path) : path(std::move(path)) {}

QString FavouritesFile::Load() {
    lines.clear();
    marked.reset();
    readable = true;
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        readable = false;
        return file.errorString();
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        readable = false;
        return file.errorString();
    }
    lines = text.split('\n');
    // The newline that ends the last line starts no line of its own.
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    for (const QByteArray& line : std::as_const(lines)) {
        if (const auto seed = SeedOnLine(line)) {
            marked.set(*seed);
        }
    }
    return {};
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

QString FavouritesFile::SetFavourite(std::uint32_t seed, bool favourite) {
    if (seed >= SceneSeedCount || marked.test(seed) == favourite) {
        return {};
    }
    marked.set(seed, favourite);
    if (favourite) {
        lines.append(QByteArray::number(seed));
    } else {
        lines.removeIf([seed](const QByteArray& line) { return SeedOnLine(line) == seed; });
    }
    return Write();
}

QString FavouritesFile::Write() const {
    if (!readable) {
        return tr("the file could not be read, so it is left as it is");
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return tr("the folder %1 could not be created").arg(QDir::toNativeSeparators(folder));
    }
    QByteArray text;
    for (const QByteArray& line : lines) {
        text += line;
        text += '\n';
    }
    return ReplaceFile(path, text);
}

}  // namespace vistrel
