#pragma once

#include <filesystem>
#include <string>

#ifdef QT_CORE_LIB
#include <QByteArray>
#include <QFile>
#include <QString>
#endif

namespace vistrel::test {

// The whole file, empty if it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

#ifdef QT_CORE_LIB
// The same, for the suites that speak Qt.
inline QByteArray ReadFile(const QString& path) {
    return QByteArray::fromStdString(
        ReadFile(std::filesystem::path(QFile::encodeName(path).toStdString())));
}
#endif

}  // namespace vistrel::test
