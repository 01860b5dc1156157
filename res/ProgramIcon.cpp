#include "ProgramIcon.h"

#include <QIcon>
#include <QString>

namespace vistrel {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/vistrel-%1.png").arg(side), QSize(side, side));
    }
    return icon;
}

}  // namespace vistrel
