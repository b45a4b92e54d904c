#pragma once

#include <QtGlobal>

// Where the desktop's screen readers speak AT-SPI and Qt can hand out object attributes, the
// work list presents its rows itself (see ListAccessible); elsewhere Qt's own presentation
// of a list serves.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) && !defined(Q_OS_WIN)
#define TARVONA_LIST_ROWS_OF_ITS_OWN 1
#else
#define TARVONA_LIST_ROWS_OF_ITS_OWN 0
#endif

#if TARVONA_LIST_ROWS_OF_ITS_OWN

#include <QAccessibleWidget>

#include <vector>

class QListWidget;

namespace tarvona {

class ListRowAccessible;
class MessageAccessible;

/// A list widget as assistive technology sees it: its rows, each of which says how many rows
/// there are and which of them it is, as the list says how many it holds.
class ListAccessible : public QAccessibleWidget, public QAccessibleAttributesInterface
{
public:
    /// The accessible list of the given widget.
    explicit ListAccessible(QListWidget *list);
    ~ListAccessible() override;
    ListAccessible(const ListAccessible &) = delete;
    ListAccessible &operator=(const ListAccessible &) = delete;
    ListAccessible(ListAccessible &&) = delete;
    ListAccessible &operator=(ListAccessible &&) = delete;

    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface *child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override;
    [[nodiscard]] QAccessibleInterface *childAt(int x, int y) const override;
    [[nodiscard]] QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] QList<QAccessible::Attribute> attributeKeys() const override;
    [[nodiscard]] QVariant attributeValue(QAccessible::Attribute key) const override;

    /// Has a place for each row of the list, no more: called whenever rows come or go.
    void sync();
    /// Tells assistive technology that the focus cursor is on the given row.
    void focusRow(int row);
    /// Whether tellThenMoveTo would reach assistive technology now.
    [[nodiscard]] static bool canTellThenMove();
    /// Tells assistive technology the message and then that the focus cursor is on the given
    /// row, each as a move within the list, which keeps the focus: a screen reader says both,
    /// in this order, after what it is saying, and makes the row its current one. False when it
    /// cannot, and nothing was told.
    bool tellThenMoveTo(const QString &message, int row);

private:
    [[nodiscard]] QListWidget *list() const;
    void numberRows() const;
    void addMissingRows() const;

    mutable std::vector<ListRowAccessible *> m_rows; // one for each row of the list, in order
    MessageAccessible *m_message = nullptr;          // the message told before a row, once there is one
};

} // namespace tarvona

#endif
