#include "res/ProgramIcon.h"

#include <QIcon>
#include <QString>

#include "res/ProgramIdentity.h"

namespace vistrel {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : ProgramIconSides) {
        icon.addFile(QStringLiteral(":/icons/vistrel-%1.png").arg(side), QSize(side, side));
    }
    return icon;
}

}  // namespace vistrel
