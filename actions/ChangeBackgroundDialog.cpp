#include "actions/ChangeBackgroundDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QProcess>

#include "desktop/DesktopBusNames.h"

namespace vistrel {
namespace {

// Tells the running agent, if one runs; an agent that is not there needs no telling.
void TellAgent(const QString& method) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* names = bus.interface();
    if (names != nullptr && names->isServiceRegistered(dbus::BackgroundService)) {
        bus.call(QDBusMessage::createMethodCall(dbus::BackgroundService, dbus::BackgroundPath,
                                                dbus::BackgroundInterface, method),
                 QDBus::NoBlock);
    }
}

}  // namespace

ChangeBackgroundDialog::ChangeBackgroundDialog(QWidget* parent, QString agent)
    : QDialog(parent),
      agent(std::move(agent)),
      interval(new QComboBox(this)),
      source(new QComboBox(this)),
      spread(new QComboBox(this)) {
    setWindowTitle(tr("Change Background Automatically"));
    // In the order of the enumerations' values.
    interval->addItems({tr("Never"), tr("Every 15 minutes"), tr("Every hour"), tr("Every 3 hours"),
                        tr("Every day"), tr("At each login")});
    source->addItems({tr("All pictures"), tr("Favourites only")});
    spread->addItems({tr("Each monitor its own picture"), tr("One picture across all screens")});
    const ChangerSettings settings = settingsFile.Load().contents;
    interval->setCurrentIndex(static_cast<int>(settings.interval));
    source->setCurrentIndex(static_cast<int>(settings.source));
    spread->setCurrentIndex(static_cast<int>(settings.spread));

    auto* form = new QFormLayout(this);
    form->addRow(tr("&Change:"), interval);
    form->addRow(tr("&Pictures:"), source);
    form->addRow(tr("&Monitors:"), spread);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangeBackgroundDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChangeBackgroundDialog::reject);
    form->addRow(buttons);
}

QString ChangeBackgroundDialog::DefaultAgent() {
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vistrel-background"));
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral("vistrel-background");
}

ChangerSettings ChangeBackgroundDialog::Chosen() const {
    return {static_cast<Interval>(interval->currentIndex()),
            static_cast<Source>(source->currentIndex()),
            static_cast<Spread>(spread->currentIndex())};
}

void ChangeBackgroundDialog::accept() {
    if (const QString failure = Apply(Chosen()); !failure.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), failure);
        return;
    }
    QDialog::accept();
}

QString ChangeBackgroundDialog::Apply(const ChangerSettings& settings) const {
    if (const QString failure = settingsFile.Save(settings); !failure.isEmpty()) {
        return tr("The settings could not be saved to %1: %2")
            .arg(QDir::toNativeSeparators(settingsFile.Path()), failure);
    }
    if (settings.interval == Interval::Never) {
        TellAgent(QStringLiteral("Quit"));
        if (const QString failure = autostart.Remove(); !failure.isEmpty()) {
            return tr("The agent will still start at login: %1 could not be removed: %2")
                .arg(QDir::toNativeSeparators(autostart.Path()), failure);
        }
        return {};
    }
    if (const QString failure = autostart.Write(agent); !failure.isEmpty()) {
        return tr("The agent could not be set to start at login: %1: %2")
            .arg(QDir::toNativeSeparators(autostart.Path()), failure);
    }
    TellAgent(QStringLiteral("Reload"));
    // One that already runs says so and ends.
    if (!QProcess::startDetached(agent, {QStringLiteral("run")})) {
        return tr("The agent %1 could not be started.").arg(agent);
    }
    return {};
}

}  // namespace vistrel
