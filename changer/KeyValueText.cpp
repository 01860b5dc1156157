#include "changer/KeyValueText.h"

#include <QByteArrayList>
#include <algorithm>

namespace vistrel {
namespace {

// Keys are lower-case words joined by '-', so damage never passes for a key of a later version.
bool IsKey(const QByteArray& key) {
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

}  // namespace

std::optional<std::map<QByteArray, QByteArray>> ParseKeyValues(QByteArrayView text) {
    std::map<QByteArray, QByteArray> values;
    for (const QByteArray& rawLine : text.toByteArray().split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            return std::nullopt;
        }
        const QByteArray key = line.left(equals).trimmed();
        if (!IsKey(key) || !values.emplace(key, line.mid(equals + 1).trimmed()).second) {
            return std::nullopt;
        }
    }
    return values;
}

QByteArray KeyValueText(const std::map<QByteArray, QByteArray>& values) {
    QByteArray text;
    for (const auto& [key, value] : values) {
        text += key + '=' + value + '\n';
    }
    return text;
}

}  // namespace vistrel
