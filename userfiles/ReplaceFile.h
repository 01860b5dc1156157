#pragma once

#include <QByteArrayView>
#include <QString>

namespace vistrel {

// Replaces the file at `path` by one holding exactly `contents`, through a temporary file beside
// it that is renamed over it only once complete; any failure, a full disk included, leaves the
// old file as it was and no temporary behind. Returns why it failed, or an empty string.
QString ReplaceFile(const QString& path, QByteArrayView contents);

}  // namespace vistrel
