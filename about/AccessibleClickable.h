#pragma once

#include <QAccessibleWidget>

namespace vistrel {

class ClickableLabel;

// What a screen reader is told about a label that works as a button or a link: its role, a name
// and a description that never repeat each other, and a press action that does what a click does.
class AccessibleClickable : public QAccessibleWidget {
  public:
    AccessibleClickable(ClickableLabel* label, QAccessible::Role role);

    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

  private:
    ClickableLabel* Label() const;
};

// The accessible side of the About icon (a button named by its tooltip) and of the link labels
// (links named by their text, described by their target); null for any other object. Install it
// with QAccessible::installFactory.
QAccessibleInterface* AboutAccessibleFactory(const QString& className, QObject* object);

}  // namespace vistrel
