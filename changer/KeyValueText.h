#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <map>
#include <optional>

namespace vistrel {

// The changer's files: one "key=value" line each, in UTF-8; blank lines and lines starting with
// '#' are skipped. None when a line has no '=', its key is not lower-case letters, digits and
// '-', or a key comes twice.
std::optional<std::map<QByteArray, QByteArray>> ParseKeyValues(QByteArrayView text);

// The lines in key order, each ending with a newline.
QByteArray KeyValueText(const std::map<QByteArray, QByteArray>& values);

// The value's word among `words` (a value of the enumeration `Enum` each, counted from 0),
// or none.
template <typename Enum, std::size_t N>
std::optional<Enum> WordValue(const QByteArray& value, const QByteArray (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (value == words[i]) {
            return static_cast<Enum>(i);
        }
    }
    return std::nullopt;
}

}  // namespace vistrel
