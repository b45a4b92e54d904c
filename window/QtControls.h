#pragma once

#include "Controls.h"

#include <QListWidget>
#include <QObject>
#include <QRadioButton>

#include <string>

class QPlainTextEdit;

namespace tarvona {

/// An option button that takes a click anywhere on its face, not only on its indicator and
/// caption: the whole coloured bar is the pupil's target. An arrow key that moves the focus
/// to another button of its group picks that button, even when none was picked before.
class OptionButton : public QRadioButton
{
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override;
    void keyPressEvent(QKeyEvent *event) override;
};

/// A list widget for picks that are dealt with at once. A key that moves its focus cursor
/// selects the row it lands on once, as a click does. Entered from the keyboard, it tells
/// assistive technology which row its focus cursor is on, not only that the list has the
/// focus; a change of its selection is not told, since the pick it makes is answered or
/// refused, and its highlight gone, before a screen reader could read it. The row its focus
/// cursor lands on during a key press or click is told once that input has been dealt with,
/// unless whoever dealt with it presents the row itself.
class ListBox : public QListWidget
{
    Q_OBJECT
public:
    /// An empty list.
    explicit ListBox(QWidget *parent = nullptr);

    /// The row under the focus cursor is presented by the caller for the input being dealt
    /// with now: the list does not tell it at the end of that input.
    void leaveCurrentRowUntold();
    /// Whether assistive technology can be told a message on the way to the row under the
    /// focus cursor now (tellThenCurrentRow).
    [[nodiscard]] bool tellsMessages() const;
    /// Tells assistive technology the message and then the row under the focus cursor, as moves
    /// within the list that a screen reader says in this order, after what it is saying, making
    /// the row its current one. False when it cannot: the caller presents both itself then.
    bool tellThenCurrentRow(const QString &message);

signals:
    /// Assistive technology was told that the focus cursor is on this row.
    void currentRowTold(int row);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    template<typename Handle> void handleInput(Handle &&handle);
    void tellCurrentRow();

    bool m_keyPress = false;        // a key press is being handled
    int m_inputDepth = 0;           // > 0 while a key press or click is being handled
    bool m_currentRowMoved = false; // the focus cursor moved during that input
    bool m_currentRowTold = false;  // and the row it is on was presented by someone else
};

/// A choice list over a QListWidget. ListIndex is the widget's selection (never its focus
/// cursor), and every change of the selection is reported by clicked(): the user's at once,
/// and the program's own (writing ListIndex, removing the selected row, clearing) before the
/// operation that caused it returns, so a listener that changes the list again runs nested.
class QtChoiceList : public QObject, public ChoiceList
{
    Q_OBJECT
public:
    /// Adapts the given list widget, which must be in single selection mode.
    explicit QtChoiceList(QListWidget *widget, QObject *parent = nullptr);

    void Clear() override;
    void AddItem(const std::string &text) override;
    [[nodiscard]] int ListCount() const override;
    [[nodiscard]] std::string List(int i) const override;
    [[nodiscard]] int ListIndex() const override;
    void SetListIndex(int i) override;
    void RemoveItem(int i) override;

    /// The adapted widget.
    [[nodiscard]] QListWidget *widget() const { return m_widget; }

signals:
    /// The selection changed.
    void clicked();

private:
    void onWidgetSelectionChanged();
    void reportIfChanged();

    QListWidget *m_widget;
    int m_reported = -1;    // the selection as last reported
    int m_programDepth = 0; // > 0 while the program itself changes the list
};

/// An author choice over an auto-exclusive option button. Only a pick by the user, by mouse or
/// keyboard, that makes the choice the selected one is reported by clicked(); writing Value
/// never is, and writing it false really deselects the button.
class QtAuthorChoice : public QObject, public AuthorChoice
{
    Q_OBJECT
public:
    /// Adapts the given button.
    explicit QtAuthorChoice(QRadioButton *button, QObject *parent = nullptr);

    [[nodiscard]] std::string Caption() const override;
    [[nodiscard]] bool Value() const override;
    void SetValue(bool value) override;

signals:
    /// The user made this choice the selected one.
    void clicked();

private:
    QRadioButton *m_button;
    bool m_writing = false;
};

/// A log box over a read-only QPlainTextEdit. It gives back exactly the text last written,
/// CR LF line breaks included, while the widget shows it as lines and keeps its end in view.
class QtTextBox : public QObject, public TextBox
{
    Q_OBJECT
public:
    /// Adapts the given editor, showing the given text.
    explicit QtTextBox(QPlainTextEdit *editor, const std::string &text = {}, QObject *parent = nullptr);

    [[nodiscard]] std::string Text() const override;
    void SetText(const std::string &text) override;

private:
    void show(const std::string &text);

    QPlainTextEdit *m_editor;
    std::string m_text;
};

} // namespace tarvona
