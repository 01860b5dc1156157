#include "userfiles/Favourites.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include "scene/Picture.h"

namespace vistrel {

Favourites::Favourites(QObject* parent) : QObject(parent), file(DefaultPath()) {
    const QString failure = file.Load();
    if (!failure.isEmpty()) {
        QTimer::singleShot(0, this, [this, failure] {
            Report(tr("Your favourites could not be read from %1: %2. Vistrel goes on without "
                      "them and leaves the file as it is.")
                       .arg(QDir::toNativeSeparators(file.Path()), failure));
        });
    }
}

QString Favourites::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vistrel/favourites");
}

void Favourites::SetFavourite(std::uint32_t seed, bool favourite) {
    if (seed >= SceneSeedCount || Contains(seed) == favourite) {
        return;
    }
    const QString failure = file.SetFavourite(seed, favourite);
    emit Changed(seed);
    if (!failure.isEmpty()) {
        Report(tr("Your favourites could not be saved in %1: %2. Vistrel keeps them until it "
                  "closes.")
                   .arg(QDir::toNativeSeparators(file.Path()), failure));
    }
}

void Favourites::Report(const QString& message) {
    if (reported) {
        return;
    }
    reported = true;
    emit Failed(message);
}

}  // namespace vistrel
