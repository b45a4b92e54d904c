#include "QtControls.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

namespace tarvona {

bool OptionButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
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

QtTextBox::QtTextBox(QPlainTextEdit *editor, const std::string &text) : m_editor(editor)
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
