#include "StatusAnnouncer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tarvona {

namespace {

// Qt has no announcement of its own here. What screen readers do present without a change of
// focus is a notification that appears, so the status line is one, and every message makes
// it appear anew.
QAccessibleInterface *notificationFor(const QString &key, QObject *object)
{
    if (key != QLatin1String(StatusAnnouncer::staticMetaObject.className())) {
        return nullptr;
    }
    return new QAccessibleWidget(qobject_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace

StatusAnnouncer::StatusAnnouncer(QWidget *parent) : QWidget(parent)
{
    // Qt asks its factories in the order they were installed; one is enough for every line.
    static const bool installed = [] {
        QAccessible::installFactory(notificationFor);
        return true;
    }();
    Q_UNUSED(installed)
    setObjectName(QStringLiteral("Status"));
    // Shown, so that it counts as showing, but without a single pixel of its own.
    setGeometry(0, 0, 0, 0);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StatusAnnouncer::announce(const QString &message)
{
    // The message is the notification's name; a screen reader reads it when the
    // notification shows.
    setAccessibleName(message);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    emit announced(message);
}

} // namespace tarvona
