#include "viewer/SystemServices.h"

#include <QApplication>
#include <ctime>

namespace vistrel {

void SystemServices::Beep() {
    QApplication::beep();
}

std::int64_t SystemServices::ClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace vistrel
