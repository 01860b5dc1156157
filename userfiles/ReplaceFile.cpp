#include "userfiles/ReplaceFile.h"

#include <QSaveFile>

namespace vistrel {

QString ReplaceFile(const QString& path, QByteArrayView contents) {
    QSaveFile file(path);
    // Unbuffered, so a short write shows in write()'s count: a buffered QSaveFile loses it in
    // the flush and commits the truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    if (file.write(contents.data(), contents.size()) != contents.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace vistrel
