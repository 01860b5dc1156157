#include "tools/vistrel-background/AgentService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include "scene/Picture.h"
#include "tools/vistrel-background/ChangeAgent.h"

namespace vistrel {

AgentService::AgentService(ChangeAgent& agent, QObject* parent) : QObject(parent), agent(agent) {}

std::function<void(const QString&, const QString&)> AgentService::Answer() {
    setDelayedReply(true);
    return [call = message(), bus = connection()](const QString& failure, const QString& said) {
        bus.send(failure.isEmpty() ? call.createReply(said)
                                   : call.createErrorReply(FailedError, failure));
    };
}

QString AgentService::Next() {
    agent.Next(Answer());
    return {};
}

QString AgentService::Previous() {
    agent.Previous(Answer());
    return {};
}

QString AgentService::Seed(uint seed) {
    if (seed > LargestSceneSeed) {
        sendErrorReply(QDBusError::InvalidArgs, tr("A seed is a number from 0 to 32767."));
        return {};
    }
    agent.SetSeed(seed, Answer());
    return {};
}

QString AgentService::Favourite() {
    agent.ToggleFavourite(Answer());
    return {};
}

QString AgentService::Status() {
    return agent.Status();
}

void AgentService::Reload() {
    agent.Reload();
}

void AgentService::Quit() {
    // After the answer has gone.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace vistrel
