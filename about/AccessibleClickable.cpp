#include "about/AccessibleClickable.h"

#include "about/AboutIcon.h"
#include "about/ClickableLabel.h"
#include "about/LinkLabel.h"

namespace vistrel {

AccessibleClickable::AccessibleClickable(ClickableLabel* label, QAccessible::Role role)
    : QAccessibleWidget(label, role) {}

ClickableLabel* AccessibleClickable::Label() const {
    return static_cast<ClickableLabel*>(widget());
}

QString AccessibleClickable::text(QAccessible::Text kind) const {
    const ClickableLabel* label = Label();
    // The icon shows no text: its tooltip names it. A link's text is its name, and its target,
    // which the tooltip shows, describes it unless it only repeats the name.
    const QString name = !label->accessibleName().isEmpty() ? label->accessibleName()
                         : label->text().isEmpty()          ? label->toolTip()
                                                            : label->text();
    switch (kind) {
        case QAccessible::Name:
            return name;
        case QAccessible::Description: {
            const QString description = !label->accessibleDescription().isEmpty()
                                            ? label->accessibleDescription()
                                            : label->toolTip();
            return description == name ? QString() : description;
        }
        default:
            return QAccessibleWidget::text(kind);
    }
}

QStringList AccessibleClickable::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (Label()->IsBound() && Label()->isEnabled()) {
        names.prepend(pressAction());
    }
    return names;
}

void AccessibleClickable::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        // Queued: the About box runs modally, and the screen reader's call must not wait for it
        // to close.
        QMetaObject::invokeMethod(Label(), &ClickableLabel::Activate, Qt::QueuedConnection);
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QStringList AccessibleClickable::keyBindingsForAction(const QString& actionName) const {
    if (actionName == pressAction()) {
        return {QStringLiteral("Space"), QStringLiteral("Return")};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

QAccessibleInterface* AboutAccessibleFactory(const QString&, QObject* object) {
    if (auto* icon = qobject_cast<AboutIcon*>(object)) {
        return new AccessibleClickable(icon, QAccessible::Button);
    }
    if (auto* link = qobject_cast<LinkLabel*>(object)) {
        return new AccessibleClickable(link, QAccessible::Link);
    }
    return nullptr;
}

}  // namespace vistrel
