#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

namespace vistrel {

class ChangeAgent;

// The agent's verbs on the session bus. Each answers once the verb is done, with what it says
// or, as a D-Bus error, why it failed; the caller prints either.
class AgentService : public QObject, protected QDBusContext {
    Q_OBJECT

  public:
    static inline const QString FailedError =
        QStringLiteral("org.example.vistrel.Background.Failed");

    explicit AgentService(ChangeAgent& agent, QObject* parent = nullptr);

  public slots:
    QString Next();
    QString Previous();
    QString Seed(uint seed);
    QString Favourite();
    QString Status();
    // The viewer's dialog changed the settings.
    void Reload();
    // The viewer's dialog turned the schedule off.
    void Quit();

  private:
    // Holds the call's answer until `done` gives it.
    std::function<void(const QString&, const QString&)> Answer();

    ChangeAgent& agent;
};

}  // namespace vistrel
