#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

#include "scene/MonitorLayout.h"

namespace vistrel {

// Sets a seed's picture as the background of every monitor, each its own exact fit of it or one
// picture across them all. Never waits: the answer comes as Finished.
class BackgroundSetter : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // Starts setting the background; false, doing nothing, while an earlier one is under way.
    virtual bool Set(std::uint32_t seed, Spread spread) = 0;

  signals:
    // `failure` is for the user: empty when set or when the user said no.
    void Finished(bool set, const QString& failure);
};

}  // namespace vistrel
