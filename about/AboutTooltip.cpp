#include "about/AboutTooltip.h"

#include <QByteArray>
#include <QString>

namespace vistrel {
namespace {

constexpr qsizetype CaptionBytes = 79;

bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

QString AboutTooltipText(const QString& caption) {
    QByteArray bytes = caption.toUtf8();
    if (bytes.size() > CaptionBytes) {
        qsizetype end = CaptionBytes;
        while (end > 0 && IsContinuationByte(bytes[end])) {
            --end;
        }
        bytes.truncate(end);
    }
    return QStringLiteral("关于") + QString::fromUtf8(bytes);
}

}  // namespace vistrel
