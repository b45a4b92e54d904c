#include "ListAccessible.h"

#if TARVONA_LIST_ROWS_OF_ITS_OWN

#include <QAccessible>
#include <QHash>
#include <QListWidget>
#include <QPointer>

#include <algorithm>

namespace tarvona {

/// One place in a list, holding whichever row is there now.
class ListRowAccessible : public QAccessibleInterface, public QAccessibleAttributesInterface
{
public:
    ListRowAccessible(QListWidget *list, int row) : m_list(list), m_row(row) { }

    void setRow(int row) { m_row = row; }
    [[nodiscard]] int row() const { return m_row; }

    [[nodiscard]] bool isValid() const override { return m_list != nullptr && item() != nullptr; }
    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QWindow *window() const override;
    [[nodiscard]] QAccessibleInterface *childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override;
    [[nodiscard]] QAccessibleInterface *child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface * /*child*/) const override { return -1; }
    [[nodiscard]] QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text /*t*/, const QString & /*text*/) override { }
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }
    [[nodiscard]] QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] QList<QAccessible::Attribute> attributeKeys() const override;
    [[nodiscard]] QVariant attributeValue(QAccessible::Attribute key) const override;

private:
    [[nodiscard]] QListWidgetItem *item() const { return m_list == nullptr ? nullptr : m_list->item(m_row); }

    QPointer<QListWidget> m_list;
    int m_row;
};

QWindow *ListRowAccessible::window() const
{
    return m_list == nullptr ? nullptr : m_list->window()->windowHandle();
}

QAccessibleInterface *ListRowAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(m_list);
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
    const QRect onViewport = m_list->visualItemRect(row);
    return {m_list->viewport()->mapToGlobal(onViewport.topLeft()), onViewport.size()};
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
    state.focused = m_list->hasFocus() && m_list->currentRow() == m_row;
    // Rows scrolled out of the list's view are there, only not on the screen.
    if (!m_list->viewport()->rect().intersects(m_list->visualItemRect(row))) {
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
    if (key != QAccessible::Attribute::Custom || m_list == nullptr) {
        return {};
    }
    QHash<QString, QString> attributes;
    attributes.insert(QStringLiteral("setsize"), QString::number(m_list->count()));
    attributes.insert(QStringLiteral("posinset"), QString::number(m_row + 1));
    return QVariant::fromValue(attributes);
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
