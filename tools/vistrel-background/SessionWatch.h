#pragma once

#include <QObject>
#include <QTimer>

class QScreen;

namespace vistrel {

// What the agent hears of the session besides its verbs: the machine waking from sleep, as
// logind says on the system bus, and the monitors changing, as the display server says. Both
// come as signals; nothing is polled.
class SessionWatch : public QObject {
    Q_OBJECT

  public:
    explicit SessionWatch(QObject* parent = nullptr);

  signals:
    void Woke();
    // A monitor came, went, or changed its size, rotation or scale; a burst of such news (a
    // dock with two monitors) comes as one.
    void MonitorsChanged();

  private slots:
    void OnPrepareForSleep(bool sleeping);

  private:
    void Follow(QScreen* screen);

    QTimer monitorsSettle;
};

}  // namespace vistrel
