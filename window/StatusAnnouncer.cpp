#include "StatusAnnouncer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tarvona {

namespace {

// The status line is a notification to assistive technology. Before Qt 6.8, Qt has no
// announcement of its own, and what screen readers do present without a change of focus is a
// notification that appears, so every message makes it appear anew. With Qt's announcement,
// the role still tells a screen reader that messages from here are meant to be heard, even
// when they come close together.
QAccessibleInterface *notificationFor(const QString &key, QObject *object)
{
    if (key != QLatin1String(StatusAnnouncer::staticMetaObject.className())) {
        return nullptr;
    }
    return new QAccessibleWidget(qobject_cast<QWidget *>(object), QAccessible::Notification);
}

// Chosen once, by the Qt the program is built with.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
constexpr bool QtAnnounces = true;

// Qt's own announcement: an AT-SPI announcement on Linux, a UI Automation notification on
// Windows, each carrying its message. Polite, so that messages given one after the other are
// queued rather than each cutting the one before short.
void present(QWidget *line, const QString &message)
{
    QAccessibleAnnouncementEvent announcement(line, message);
    announcement.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&announcement);
}
#else
constexpr bool QtAnnounces = false;

// The message is the notification's name; a screen reader reads it when the notification
// shows. It reads the name only when it gets round to the event, so of messages given at once
// only the last is sure to be heard.
void present(QWidget *line, const QString &message)
{
    line->setAccessibleName(message);
    QAccessibleEvent shown(line, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
#endif

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

bool StatusAnnouncer::presentsEveryMessage()
{
    return QtAnnounces;
}

void StatusAnnouncer::announce(const QString &message)
{
    present(this, message);
    emit announced(message);
}

} // namespace tarvona
