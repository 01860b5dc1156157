#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDateTime>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "desktop/DesktopBusNames.h"
#include "tools/vistrel-background/AgentService.h"
#include "tools/vistrel-background/BackgroundCommand.h"
#include "tools/vistrel-background/ChangeAgent.h"
#include "tools/vistrel-background/DesktopSetter.h"
#include "tools/vistrel-background/SessionWatch.h"
#include "userfiles/UserFolder.h"

namespace vistrel {
namespace {

using Verb = BackgroundCommand::Verb;

// How long a verb waits for the agent, which may wait for the user answering the desktop.
constexpr int AgentAnswerMilliseconds = 120000;

int Fail(int status, const QString& message) {
    std::cerr << "vistrel-background: " << message.toStdString() << '\n';
    return status;
}

WallTime Now() {
    return WallTime(std::chrono::seconds(QDateTime::currentSecsSinceEpoch()));
}

ChangeAgent::Files UserFiles() {
    return {SettingsFile(), StateFile(Now()),
            UserFolder::Of(BaseFolder::Data, QStringLiteral("vistrel/favourites")).FilePath()};
}

std::uint32_t DrawBelow(std::uint32_t n) {
    return QRandomGenerator::global()->bounded(n);
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

bool AgentRuns() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus != nullptr && bus->isServiceRegistered(dbus::BackgroundService);
}

// Hands the verb to the running agent and says its answer.
int Forward(const BackgroundCommand& command) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        dbus::BackgroundService, dbus::BackgroundPath, dbus::BackgroundInterface,
        QString::fromStdString(command.method));
    if (command.verb == Verb::Seed) {
        call << static_cast<uint>(command.seed);
    }
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, AgentAnswerMilliseconds);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return Fail(EXIT_FAILURE, reply.errorMessage());
    }
    const QString said = reply.arguments().value(0).toString();
    if (!said.isEmpty()) {
        std::cout << said.toStdString() << '\n';
    }
    return EXIT_SUCCESS;
}

// Carries out the verb here, with no agent to ask.
int ActDirectly(const BackgroundCommand& command) {
    DesktopSetter setter;
    ChangeAgent agent(setter, UserFiles(), Now, DrawBelow);
    QObject::connect(&agent, &ChangeAgent::Failed,
                     [](const QString& message) { Fail(EXIT_FAILURE, message); });
    int status = EXIT_SUCCESS;
    const ChangeAgent::Done done = [&status](const QString& failure, const QString& said) {
        if (failure.isEmpty()) {
            std::cout << said.toStdString() << '\n';
        } else {
            status = Fail(EXIT_FAILURE, failure);
        }
        QCoreApplication::exit(status);
    };
    if (command.verb == Verb::Status) {
        std::cout << agent.Status().toStdString() << '\n';
        return EXIT_SUCCESS;
    }
    // Queued, so that a verb done at once ends the loop it is in.
    QTimer::singleShot(0, &agent, [&] {
        switch (command.verb) {
            case Verb::Next:
                agent.Next(done);
                break;
            case Verb::Previous:
                agent.Previous(done);
                break;
            case Verb::Seed:
                agent.SetSeed(command.seed, done);
                break;
            default:
                agent.ToggleFavourite(done);
                break;
        }
    });
    QCoreApplication::exec();
    return status;
}

int RunAgent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Fail(EXIT_FAILURE, QCoreApplication::translate("vistrel-background",
                                                              "there is no session bus to run on"));
    }
    if (!bus.registerService(dbus::BackgroundService)) {
        std::cout << QCoreApplication::translate("vistrel-background",
                                                 "An agent already runs in this session.")
                         .toStdString()
                  << '\n';
        return EXIT_SUCCESS;
    }
    DesktopSetter setter;
    ChangeAgent agent(setter, UserFiles(), Now, DrawBelow);
    QObject::connect(&agent, &ChangeAgent::Failed,
                     [](const QString& message) { Fail(EXIT_FAILURE, message); });
    AgentService service(agent);
    bus.registerObject(dbus::BackgroundPath, dbus::BackgroundInterface, &service,
                       QDBusConnection::ExportAllSlots);
    SessionWatch session;
    QObject::connect(&session, &SessionWatch::Woke, &agent, &ChangeAgent::Woke);
    QObject::connect(&session, &SessionWatch::MonitorsChanged, &agent, &ChangeAgent::Refit);
    agent.Begin();
    return QCoreApplication::exec();
}

}  // namespace
}  // namespace vistrel

int main(int argc, char** argv) {
    using vistrel::BackgroundCommand;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vistrel::BackgroundParseResult parsed = vistrel::ParseBackgroundCommand(args);
    if (!parsed.command) {
        return vistrel::Fail(2, QString::fromStdString(parsed.error));
    }
    const BackgroundCommand& command = *parsed.command;
    switch (command.verb) {
        case BackgroundCommand::Verb::Help:
            std::cout << vistrel::BackgroundUsage();
            return EXIT_SUCCESS;
        case BackgroundCommand::Verb::Version:
            std::cout << "vistrel-background " VISTREL_VERSION "\n";
            return EXIT_SUCCESS;
        default:
            break;
    }
    // The background needs the screens; the rest, and a verb for the agent, do not.
    const bool needsScreens = command.verb != BackgroundCommand::Verb::Status &&
                              command.verb != BackgroundCommand::Verb::Favourite;
    std::unique_ptr<QCoreApplication> app;
    if (needsScreens && vistrel::HasDisplay()) {
        app = std::make_unique<QGuiApplication>(argc, argv);
        // Not a program for the window list: it shows no window.
        QGuiApplication::setQuitOnLastWindowClosed(false);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (command.verb == BackgroundCommand::Verb::Run) {
        if (!needsScreens || !vistrel::HasDisplay()) {
            return vistrel::Fail(EXIT_FAILURE, QCoreApplication::translate(
                                                   "vistrel-background",
                                                   "there is no display to set the background of"));
        }
        return vistrel::RunAgent();
    }
    if (vistrel::AgentRuns()) {
        return vistrel::Forward(command);
    }
    if (needsScreens && !vistrel::HasDisplay()) {
        return vistrel::Fail(EXIT_FAILURE, QCoreApplication::translate(
                                               "vistrel-background",
                                               "there is no display to set the background of, "
                                               "and no agent runs to ask"));
    }
    return vistrel::ActDirectly(command);
}
