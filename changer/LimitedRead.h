#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vistrel {

struct ReadResult {
    // None when there is no such file.
    std::optional<QByteArray> bytes;
    // Why it could not be read; empty when it was, or when there is none.
    QString failure;
};

// A small file of the program's own, read whole if it is a plain file of at most `limit` bytes,
// without waiting on a FIFO or reading a device.
ReadResult ReadLimited(const QString& path, qint64 limit);

}  // namespace vistrel
