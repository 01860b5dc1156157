#include "viewer/Favourites.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

namespace vistrel {

Favourites::Favourites(QWidget* owner) : QObject(owner), owner(owner), file(DefaultPath()) {
    const QString failure = file.Load();
    if (!failure.isEmpty()) {
        // Queued, so the message appears once the window it belongs to is on screen.
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
    if (seed >= FavouritesFile::SeedCount || Contains(seed) == favourite) {
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
    QWidget* front = QApplication::activeWindow();
    QMessageBox::warning(front ? front : owner.data(), QCoreApplication::applicationName(),
                         message);
}

}  // namespace vistrel
