#include "QtControls.h"

#include "ListAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

namespace tarvona {

namespace {

// Posted by a list to itself: tell assistive technology the row under its focus cursor.
constexpr auto TellCurrentRow = static_cast<QEvent::Type>(QEvent::User + 1);

#if TARVONA_LIST_ROWS_OF_ITS_OWN
QAccessibleInterface *listFor(const QString &key, QObject *object)
{
    if (key != QLatin1String(ListBox::staticMetaObject.className())) {
        return nullptr;
    }
    return new ListAccessible(qobject_cast<QListWidget *>(object));
}
#endif

} // namespace

bool OptionButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void OptionButton::keyPressEvent(QKeyEvent *event)
{
    QRadioButton::keyPressEvent(event);
    // Qt moves the pick with the focus only when the button left behind was the picked one;
    // with none picked (at the start, and after every answer) the arrows would just walk
    // the group, and a pupil would need a second key for every pick.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        break;
    default:
        return;
    }
    auto *next = qobject_cast<OptionButton *>(QApplication::focusWidget());
    if (next != nullptr && next != this && next->parentWidget() == parentWidget() && !next->isChecked()) {
        next->click();
    }
}

ListBox::ListBox(QWidget *parent) : QListWidget(parent)
{
#if TARVONA_LIST_ROWS_OF_ITS_OWN
    static const bool installed = [] {
        QAccessible::installFactory(listFor);
        return true;
    }();
    Q_UNUSED(installed)
    const auto syncRows = [this] {
        if (!QAccessible::isActive()) {
            return;
        }
        if (auto *list = dynamic_cast<ListAccessible *>(QAccessible::queryAccessibleInterface(this)); list != nullptr) {
            list->sync();
        }
    };
    connect(model(), &QAbstractItemModel::rowsInserted, this, syncRows);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, syncRows);
    connect(model(), &QAbstractItemModel::modelReset, this, syncRows);
#endif
}

void ListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    if (event->reason() != Qt::TabFocusReason && event->reason() != Qt::BacktabFocusReason) {
        return;
    }
    // Qt tells assistive technology about the list only after this event, and names no row:
    // the row under the focus cursor follows once the list has been announced.
    QCoreApplication::postEvent(this, new QEvent(TellCurrentRow));
}

void ListBox::leaveCurrentRowUntold()
{
    m_currentRowTold = true;
}

bool ListBox::tellsMessages() const
{
#if TARVONA_LIST_ROWS_OF_ITS_OWN
    return hasFocus() && currentRow() >= 0 && ListAccessible::canTellThenMove();
#else
    return false;
#endif
}

bool ListBox::tellThenCurrentRow(const QString &message)
{
#if TARVONA_LIST_ROWS_OF_ITS_OWN
    auto *list = dynamic_cast<ListAccessible *>(QAccessible::queryAccessibleInterface(this));
    if (tellsMessages() && list != nullptr && list->tellThenMoveTo(message, currentRow())) {
        m_currentRowTold = true;
        emit currentRowTold(currentRow());
        return true;
    }
#else
    Q_UNUSED(message)
#endif
    return false;
}

template<typename Handle> void ListBox::handleInput(Handle &&handle)
{
    // A key or click can make a pick that removes rows and moves the focus cursor again. A
    // screen reader gives a new focus precedence over what else it is told at the same time,
    // so the row is told only once the pick has been answered, and the answer heard first.
    if (m_inputDepth == 0) {
        m_currentRowMoved = false;
        m_currentRowTold = false;
    }
    ++m_inputDepth;
    handle();
    --m_inputDepth;
    if (m_inputDepth == 0 && m_currentRowMoved && !m_currentRowTold) {
        tellCurrentRow();
    }
}

bool ListBox::event(QEvent *event)
{
    if (event->type() != TellCurrentRow) {
        return QListWidget::event(event);
    }
    tellCurrentRow();
    return true;
}

bool ListBox::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        bool handled = false;
        handleInput([&] { handled = QListWidget::viewportEvent(event); });
        return handled;
    }
    default:
        return QListWidget::viewportEvent(event);
    }
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const QScopedValueRollback<bool> keyPress(m_keyPress, true);
    handleInput([&] { QListWidget::keyPressEvent(event); });
}

void ListBox::tellCurrentRow()
{
    const int row = currentRow();
    if (!hasFocus() || row < 0) {
        return;
    }
#if TARVONA_LIST_ROWS_OF_ITS_OWN
    if (auto *list = dynamic_cast<ListAccessible *>(QAccessible::queryAccessibleInterface(this)); list != nullptr) {
        list->focusRow(row);
        emit currentRowTold(row);
        return;
    }
#endif
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(row);
    QAccessible::updateAccessibility(&focus);
    emit currentRowTold(row);
}

void ListBox::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The list view's own override tells assistive technology the new row at once.
    QAbstractItemView::currentChanged(current, previous); // NOLINT(bugprone-parent-virtual-call)
    if (m_inputDepth > 0) {
        m_currentRowMoved = true;
        return;
    }
    tellCurrentRow();
}

void ListBox::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    // A key that moves the focus cursor selects the row it lands on with the move, and Qt
    // then selects that row once more, as for a click: a pick refused in between, its
    // highlight removed, would come back as a second pick of the same row.
    if (m_keyPress && selectionMode() == SingleSelection) {
        return;
    }
    QListWidget::setSelection(rect, command);
}

void ListBox::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    // The list view's own override only reports the change to assistive technology, ahead of
    // whoever handles the pick. A screen reader would then read a row that the pick has
    // already removed, or read the row before the answer to the pick; it hears the answer
    // instead, and the row under the focus cursor after it.
    QAbstractItemView::selectionChanged(selected, deselected); // NOLINT(bugprone-parent-virtual-call)
}

QtChoiceList::QtChoiceList(QListWidget *widget, QObject *parent) : QObject(parent), m_widget(widget)
{
    // A list widget announces a new current row before it updates the selection; only the
    // selection's own signal comes after the change is complete.
    connect(m_widget->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &QtChoiceList::onWidgetSelectionChanged);
}

void QtChoiceList::Clear()
{
    {
        const QScopedValueRollback<int> program(m_programDepth, m_programDepth + 1);
        m_widget->clear();
    }
    reportIfChanged();
}

void QtChoiceList::AddItem(const std::string &text)
{
    const QScopedValueRollback<int> program(m_programDepth, m_programDepth + 1);
    m_widget->addItem(QString::fromStdString(text));
}

int QtChoiceList::ListCount() const
{
    return m_widget->count();
}

std::string QtChoiceList::List(int i) const
{
    checkRow(i, "List");
    return m_widget->item(i)->text().toStdString();
}

int QtChoiceList::ListIndex() const
{
    const QModelIndexList selected = m_widget->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void QtChoiceList::SetListIndex(int i)
{
    if (i != -1) {
        checkRow(i, "ListIndex");
    }
    {
        const QScopedValueRollback<int> program(m_programDepth, m_programDepth + 1);
        if (i == -1) {
            // The focus cursor stays where it is, so keyboard users keep their place.
            m_widget->selectionModel()->clearSelection();
        } else {
            m_widget->setCurrentRow(i, QItemSelectionModel::ClearAndSelect);
        }
    }
    reportIfChanged();
}

void QtChoiceList::RemoveItem(int i)
{
    checkRow(i, "RemoveItem");
    {
        const QScopedValueRollback<int> program(m_programDepth, m_programDepth + 1);
        delete m_widget->takeItem(i);
        if (m_reported == i) {
            // The selected row is gone, and with it the selection: the view must not hand it
            // on to the neighbour that becomes current.
            m_widget->selectionModel()->clearSelection();
        }
    }
    if (m_reported > i) {
        // The same row is still selected, one place higher up: no change to report.
        --m_reported;
    }
    reportIfChanged();
}

void QtChoiceList::onWidgetSelectionChanged()
{
    if (m_programDepth == 0) {
        reportIfChanged();
    }
}

void QtChoiceList::reportIfChanged()
{
    const int now = ListIndex();
    if (now != m_reported) {
        m_reported = now;
        emit clicked();
    }
}

QtAuthorChoice::QtAuthorChoice(QRadioButton *button, QObject *parent) : QObject(parent), m_button(button)
{
    connect(m_button, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked && !m_writing) {
            emit clicked();
        }
    });
}

std::string QtAuthorChoice::Caption() const
{
    return m_button->text().toStdString();
}

bool QtAuthorChoice::Value() const
{
    return m_button->isChecked();
}

void QtAuthorChoice::SetValue(bool value)
{
    const QScopedValueRollback<bool> writing(m_writing, true);
    if (value) {
        m_button->setChecked(true);
        return;
    }
    // An auto-exclusive button refuses to be unchecked while it is its group's checked one;
    // lifting the exclusivity for the write lets the group end up with none selected.
    const bool exclusive = m_button->autoExclusive();
    m_button->setAutoExclusive(false);
    m_button->setChecked(false);
    m_button->setAutoExclusive(exclusive);
}

QtTextBox::QtTextBox(QPlainTextEdit *editor, const std::string &text, QObject *parent)
    : QObject(parent), m_editor(editor)
{
    // The first text is read from its top; only later writes jump to the newest line.
    show(text);
}

std::string QtTextBox::Text() const
{
    return m_text;
}

void QtTextBox::SetText(const std::string &text)
{
    show(text);
    // The newest verdict is at the end; keep it in view.
    m_editor->moveCursor(QTextCursor::End);
    m_editor->ensureCursorVisible();
}

void QtTextBox::show(const std::string &text)
{
    m_text = text;
    // The editor keeps paragraphs, not line break characters, and would give back LF alone;
    // the exact text is kept here and only its lines are shown.
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_editor->setPlainText(shown);
}

} // namespace tarvona
