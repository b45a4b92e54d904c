#pragma once

#include <QWidget>

namespace tarvona {

/// A status line for screen readers only: each message given to announce() is presented at
/// once, as a notification, without moving the keyboard focus. It takes no room and paints
/// nothing, so the window looks the same with it as without it.
class StatusAnnouncer : public QWidget
{
    Q_OBJECT
public:
    /// A status line of the given window.
    explicit StatusAnnouncer(QWidget *parent);

    /// Has assistive technology present the message now.
    void announce(const QString &message);

    /// Whether a message given right after another is presented after it; otherwise only the
    /// last of the messages given at once is sure to be.
    static bool presentsEveryMessage();

signals:
    /// A message was announced.
    void announced(const QString &message);
};

} // namespace tarvona
