#include "ListAccessible.h"

#if TARVONA_LIST_ROWS_OF_ITS_OWN

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QHash>
#include <QListWidget>
#include <QPointer>

#include <algorithm>

namespace tarvona {

/// An object of the list's own, with no widget and no children, in the list's window.
class ListPartAccessible : public QAccessibleInterface
{
public:
    explicit ListPartAccessible(QListWidget *list) : m_list(list) { }

    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QWindow *window() const override
    {
        return m_list == nullptr ? nullptr : m_list->window()->windowHandle();
    }
    [[nodiscard]] QAccessibleInterface *childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface * /*child*/) const override { return -1; }
    void setText(QAccessible::Text /*t*/, const QString & /*text*/) override { }

protected:
    [[nodiscard]] QListWidget *list() const { return m_list; }

private:
    QPointer<QListWidget> m_list;
};

/// One place in a list, holding whichever row is there now.
class ListRowAccessible : public ListPartAccessible, public QAccessibleAttributesInterface
{
public:
    ListRowAccessible(QListWidget *list, int row) : ListPartAccessible(list), m_row(row) { }

    void setRow(int row) { m_row = row; }
    [[nodiscard]] int row() const { return m_row; }

    [[nodiscard]] bool isValid() const override { return list() != nullptr && item() != nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override;
    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }
    [[nodiscard]] QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] QList<QAccessible::Attribute> attributeKeys() const override;
    [[nodiscard]] QVariant attributeValue(QAccessible::Attribute key) const override;

private:
    [[nodiscard]] QListWidgetItem *item() const { return list() == nullptr ? nullptr : list()->item(m_row); }

    int m_row;
};

QAccessibleInterface *ListRowAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(list());
}

QString ListRowAccessible::text(QAccessible::Text t) const
{
    const QListWidgetItem *row = item();
    if (row == nullptr || t != QAccessible::Name) {
        return {};
    }
    return row->text();
}

QRect ListRowAccessible::rect() const
{
    const QListWidgetItem *row = item();
    if (row == nullptr) {
        return {};
    }
    const QRect onViewport = list()->visualItemRect(row);
    return {list()->viewport()->mapToGlobal(onViewport.topLeft()), onViewport.size()};
}

QAccessible::State ListRowAccessible::state() const
{
    QAccessible::State state;
    const QListWidgetItem *row = item();
    if (row == nullptr) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.selected = row->isSelected();
    state.focused = list()->hasFocus() && list()->currentRow() == m_row;
    // Rows scrolled out of the list's view are there, only not on the screen.
    if (!list()->viewport()->rect().intersects(list()->visualItemRect(row))) {
        state.offscreen = true;
    }
    return state;
}

void *ListRowAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::AttributesInterface) {
        return static_cast<QAccessibleAttributesInterface *>(this);
    }
    return nullptr;
}

QList<QAccessible::Attribute> ListRowAccessible::attributeKeys() const
{
    return {QAccessible::Attribute::Custom};
}

// A screen reader that is not told how many rows there are counts those it finds on the
// screen, and a list shows fewer rows than it holds. Orca reads the count of a list from the
// list, and that of a row's set, with the row's place in it, from the row.
namespace {

QVariant setSize(const QListWidget &list)
{
    QHash<QString, QString> attributes;
    attributes.insert(QStringLiteral("setsize"), QString::number(list.count()));
    return QVariant::fromValue(attributes);
}

} // namespace

QVariant ListRowAccessible::attributeValue(QAccessible::Attribute key) const
{
    if (key != QAccessible::Attribute::Custom || list() == nullptr) {
        return {};
    }
    QHash<QString, QString> attributes;
    attributes.insert(QStringLiteral("setsize"), QString::number(list()->count()));
    attributes.insert(QStringLiteral("posinset"), QString::number(m_row + 1));
    return QVariant::fromValue(attributes);
}

/// A message told by the list before a row: text of the window's own, never shown, which a
/// screen reader visits on its way to the row.
class MessageAccessible : public ListPartAccessible
{
public:
    explicit MessageAccessible(QListWidget *list) : ListPartAccessible(list) { }

    void setMessage(const QString &message) { m_message = message; }

    [[nodiscard]] bool isValid() const override { return list() != nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override;
    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_message : QString();
    }
    [[nodiscard]] QRect rect() const override { return {}; }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::StaticText; }
    [[nodiscard]] QAccessible::State state() const override;

private:
    QString m_message;
};

QAccessible::State MessageAccessible::state() const
{
    // A place of the list's cursor, with the focus while the list has it: a screen reader
    // follows a move within the list only to an object with the focus.
    QAccessible::State state;
    state.focusable = true;
    state.focused = list() != nullptr && list()->hasFocus();
    return state;
}

QAccessibleInterface *MessageAccessible::parent() const
{
    // The window's, not the list's: a screen reader that comes to the row from here says the
    // list's name and count again, after the message.
    return list() == nullptr ? nullptr : QAccessible::queryAccessibleInterface(list()->window());
}

ListAccessible::ListAccessible(QListWidget *list) : QAccessibleWidget(list, QAccessible::List)
{
    sync();
}

ListAccessible::~ListAccessible()
{
    for (ListRowAccessible *row : m_rows) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(row));
    }
    if (m_message != nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_message));
    }
}

QListWidget *ListAccessible::list() const
{
    return qobject_cast<QListWidget *>(widget());
}

void ListAccessible::sync()
{
    // Places are added and removed here only, when the list changes, and never while a
    // screen reader's question is being answered, which may be about a place to be removed.
    // Rows removed take their places with them from the end.
    const auto count = static_cast<std::size_t>(list()->count());
    while (m_rows.size() > count) {
        ListRowAccessible *gone = m_rows.back();
        m_rows.pop_back();
        QAccessibleEvent destroyed(gone, QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&destroyed);
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(gone));
    }
    addMissingRows();
    numberRows();
}

void ListAccessible::addMissingRows() const
{
    // Rows added while no screen reader listened were not counted in; they are at the end.
    while (m_rows.size() < static_cast<std::size_t>(list()->count())) {
        m_rows.push_back(new ListRowAccessible(list(), static_cast<int>(m_rows.size())));
        QAccessible::registerAccessibleInterface(m_rows.back());
    }
}

void ListAccessible::numberRows() const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i]->setRow(static_cast<int>(i));
    }
}

int ListAccessible::childCount() const
{
    return list()->count();
}

QAccessibleInterface *ListAccessible::child(int index) const
{
    addMissingRows();
    if (index < 0 || index >= list()->count()) {
        return nullptr;
    }
    return m_rows[static_cast<std::size_t>(index)];
}

int ListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto found = std::ranges::find(m_rows, child);
    if (found == m_rows.end()) {
        return -1;
    }
    const auto index = static_cast<int>(found - m_rows.begin());
    return index < list()->count() ? index : -1;
}

QAccessibleInterface *ListAccessible::childAt(int x, int y) const
{
    const QPoint onViewport = list()->viewport()->mapFromGlobal(QPoint(x, y));
    const QListWidgetItem *item = list()->itemAt(onViewport);
    return item == nullptr ? nullptr : child(list()->row(item));
}

QAccessibleInterface *ListAccessible::focusChild() const
{
    if (!list()->hasFocus()) {
        return nullptr;
    }
    return child(list()->currentRow());
}

void *ListAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::AttributesInterface) {
        return static_cast<QAccessibleAttributesInterface *>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QList<QAccessible::Attribute> ListAccessible::attributeKeys() const
{
    return {QAccessible::Attribute::Custom};
}

QVariant ListAccessible::attributeValue(QAccessible::Attribute key) const
{
    if (key != QAccessible::Attribute::Custom) {
        return {};
    }
    return setSize(*list());
}

namespace {

// An accessible object as AT-SPI names it on the accessibility bus: the bus name of the
// program that has it and its path there, which Qt makes of the object's id.
struct ObjectReference
{
    QString service;
    QDBusObjectPath path;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ObjectReference &reference)
{
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

// QtDBus asks for both directions of a type it sends, in this form.
const QDBusArgument &operator>>(const QDBusArgument &argument, ObjectReference &reference)
{
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument; // NOLINT(bugprone-return-const-ref-from-parameter): the form QtDBus asks for
}

} // namespace

} // namespace tarvona

Q_DECLARE_METATYPE(tarvona::ObjectReference)

namespace tarvona {

namespace {

// The connection to the accessibility bus that Qt's AT-SPI bridge opens, under this name.
QDBusConnection accessibilityBus()
{
    return QDBusConnection(QStringLiteral("a11y"));
}

// AT-SPI's event for a change of the child that has the focus within source, which Qt's
// bridge does not pass on; sent from the paths the bridge gives the objects.
bool sendActiveChild(QAccessibleInterface *source, QAccessibleInterface *child, int index)
{
    static const QMetaType registered = qDBusRegisterMetaType<ObjectReference>();
    Q_UNUSED(registered)
    const QDBusConnection bus = accessibilityBus();
    const auto reference = [&bus](const QString &path) {
        return QVariant::fromValue(ObjectReference {.service = bus.baseService(), .path = QDBusObjectPath(path)});
    };
    const auto pathOf = [](QAccessibleInterface *object) {
        return QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(object));
    };
    QDBusMessage event = QDBusMessage::createSignal(
        pathOf(source), QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("ActiveDescendantChanged"));
    event.setArguments({QString(), index, 0, QVariant::fromValue(QDBusVariant(reference(pathOf(child)))),
        reference(QStringLiteral("/org/a11y/atspi/accessible/root"))});
    return bus.send(event);
}

} // namespace

bool ListAccessible::canTellThenMove()
{
    return QAccessible::isActive() && accessibilityBus().isConnected();
}

bool ListAccessible::tellThenMoveTo(const QString &message, int row)
{
    // A screen reader gives a new focus precedence over a message, and cuts the message short
    // for it; a move within the list it says after what it is saying, and two such moves in
    // the order they came. So the message is a place the cursor passes on its way to the row.
    // The second move comes from the message, not from the list: of two moves from the same
    // object waiting their turn, a screen reader would keep only the later one.
    QAccessibleInterface *const place = child(row);
    if (!canTellThenMove() || place == nullptr || message.isEmpty()) {
        return false;
    }
    if (m_message == nullptr) {
        m_message = new MessageAccessible(list());
        QAccessible::registerAccessibleInterface(m_message);
    }
    m_message->setMessage(message);
    return sendActiveChild(this, m_message, -1) && sendActiveChild(m_message, place, row);
}

void ListAccessible::focusRow(int row)
{
    if (child(row) == nullptr) {
        return;
    }
    QAccessibleEvent focus(list(), QAccessible::Focus);
    focus.setChild(row);
    QAccessible::updateAccessibility(&focus);
}

} // namespace tarvona

#endif
