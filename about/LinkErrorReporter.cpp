#include "about/LinkErrorReporter.h"

#include <QApplication>
#include <QMessageBox>

namespace vistrel {
namespace {

class MessageBoxErrorReporter final : public LinkErrorReporter {
  public:
    void ShowError(const QString& message) override {
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), message,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
};

}  // namespace

LinkErrorReporter& DesktopErrorReporter() {
    static MessageBoxErrorReporter reporter;
    return reporter;
}

}  // namespace vistrel
