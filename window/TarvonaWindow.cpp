#include "TarvonaWindow.h"

#include "Bank.h"
#include "FormDesign.h"
#include "ListAccessible.h"
#include "Statement.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringList>

#include <exception>
#include <utility>

namespace tarvona {

namespace {

// The form is laid out in logical pixels at 96 dots per inch, as its design gives them. Qt
// scales them for high-density screens.
QRect geometryOf(const Box &box)
{
    return {box.left, box.top, box.width, box.height};
}

QColor colourOf(const Colour &colour)
{
    return {colour.red, colour.green, colour.blue};
}

QString textOf(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A control of the form's design, named and placed as it gives.
template<typename Widget> Widget *placed(Widget *widget, const ControlDesign &design)
{
    widget->setObjectName(textOf(design.name));
    widget->setGeometry(geometryOf(design.box));
    return widget;
}

// Fills the widget's whole face with the colour, whatever role its kind paints its
// background with (buttons use Button, labels and frames Window).
void fillWith(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TarvonaWindow::TarvonaWindow(QWidget *parent) : QWidget(parent)
{
    buildControls();
    buildDrill();
    routeEvents();
    // Form_Load: the drill starts before the window is first shown.
    runEvent([this] { m_drill->Form_Load(); });
}

TarvonaWindow::~TarvonaWindow() = default;

std::string TarvonaWindow::logText() const
{
    return m_logAdapter->Text();
}

const ChoiceList &TarvonaWindow::list(int index) const
{
    if (index == 0) {
        return *m_workListAdapter;
    }
    return m_hiddenLists.at(static_cast<std::size_t>(index - 1));
}

void TarvonaWindow::buildControls()
{
    setObjectName(textOf(FormName));
    setWindowTitle(textOf(FormCaption));
    setFixedSize(FormBox.width, FormBox.height);
    // Times New Roman, which every Windows has; where it is missing, its metric twin. (Qt's
    // DirectWrite fonts, the default on Windows from Qt 6.8, know no replacements of their own.)
    QFont font;
    QStringList families;
    for (std::string_view family : FontFamilies) {
        families << textOf(family);
    }
    font.setFamilies(families);
    font.setPointSize(FontPoints);
    font.setWeight(QFont::Normal);
    setFont(font);
    fillWith(this, colourOf(FormColour));

    const ControlDesign &titleDesign = control("Label1_0");
    auto *title = placed(new QLabel(textOf(titleDesign.text), this), titleDesign);
    title->setAlignment(Qt::AlignCenter);
    fillWith(title, colourOf(titleDesign.background));

    const ControlDesign &frameDesign = control("Frame1");
    auto *frame = placed(new QGroupBox(textOf(frameDesign.text), this), frameDesign);
    fillWith(frame, colourOf(frameDesign.background));
    const std::array<std::string_view, 5> &names = AuthorNames();
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        auto *option = new OptionButton(textOf(names[i]), frame);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        option->setGeometry(geometryOf(optionBox(static_cast<int>(i))));
        fillWith(option, colourOf(OptionColour));
        m_options[i] = option;
    }

    const ControlDesign &headingDesign = control("Label1_1");
    auto *heading = placed(new QLabel(textOf(headingDesign.text), this), headingDesign);
    heading->setAlignment(Qt::AlignCenter);
    fillWith(heading, colourOf(headingDesign.background));

    m_workList = placed(new ListBox(this), control("List1_0"));
    m_workList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_workList->setSortingEnabled(false);
    m_workList->setAccessibleName(heading->text());
    heading->setBuddy(m_workList);

    const ControlDesign &restartDesign = control("Command1_0");
    m_restart = placed(new QPushButton(textOf(restartDesign.text), this), restartDesign);
    QPalette buttonPalette = m_restart->palette();
    buttonPalette.setColor(QPalette::Button, colourOf(restartDesign.background));
    m_restart->setPalette(buttonPalette);
    m_restart->setAutoDefault(false);

    m_log = placed(new QPlainTextEdit(this), control("Text1_0"));
    // Pupils read and copy the log, they do not write in it.
    m_log->setReadOnly(true);
    m_log->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_log->setFocusPolicy(Qt::StrongFocus);
    m_log->setTabChangesFocus(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setAccessibleName(textOf(LogName));

    // What the window says to a pupil who cannot see it: verdicts and hints.
    m_status = new StatusAnnouncer(this);

    setTabOrder(m_log, m_workList);
    setTabOrder(m_workList, m_restart);
    setTabOrder(m_restart, m_options[0]);
    for (std::size_t i = 1; i < m_options.size(); ++i) {
        setTabOrder(m_options[i - 1], m_options[i]);
    }
    m_log->setFocus(Qt::OtherFocusReason);
}

void TarvonaWindow::buildDrill()
{
    FormControls controls;
    m_workListAdapter = new QtChoiceList(m_workList, this);
    controls.List1.push_back(m_workListAdapter);
    // The key list and the master lists are the drill's working memory, never shown: they
    // need no widget, and so can never appear, take the focus or reach a screen reader.
    for (MemoryList &list : m_hiddenLists) {
        controls.List1.push_back(&list);
    }
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        m_optionAdapters[i] = new QtAuthorChoice(m_options[i], this);
        controls.Option1.push_back(m_optionAdapters[i]);
    }
    m_logAdapter = new QtTextBox(m_log, AssignmentStatement(), this);
    controls.Text1 = m_logAdapter;
    // The master lists are part of the form's design, filled before any event runs.
    LoadBank(m_hiddenLists[1], m_hiddenLists[2]);
    m_drill = std::make_unique<Drill>(std::move(controls));
}

void TarvonaWindow::routeEvents()
{
    connect(m_workListAdapter, &QtChoiceList::clicked, this, &TarvonaWindow::pickWork);
    for (std::size_t i = 0; i < m_hiddenLists.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        m_hiddenLists[i].setClickListener([this, index] { runEvent([this, index] { m_drill->List1_Click(index); }); });
    }
    for (std::size_t i = 0; i < m_optionAdapters.size(); ++i) {
        const int index = static_cast<int>(i);
        connect(m_optionAdapters[i], &QtAuthorChoice::clicked, this,
            [this, index] { runEvent([this, index] { m_drill->Option1_Click(index); }); });
    }
    connect(m_restart, &QPushButton::clicked, this, &TarvonaWindow::restart);
    connect(m_logAdapter, &QtTextBox::appended, this, &TarvonaWindow::sayVerdict);
}

void TarvonaWindow::pickWork()
{
    // A pick with no author chosen is refused and leaves no trace on the screen but a
    // highlight that vanishes; a pupil who cannot see that is told why.
    const bool refused = !m_drill->AuthorChosen().value_or(false) && m_workListAdapter->ListIndex() != -1;
    // The program's own changes to the list during a pick are reported as picks too; the
    // row under the cursor is said once, after the pupil's pick.
    const bool outermost = !m_pickingWork;
    if (outermost) {
        m_answered = false;
    }
    {
        const QScopedValueRollback<bool> picking(m_pickingWork, true);
        runEvent([this] { m_drill->List1_Click(0); });
    }
    if (outermost && m_answered) {
        sayCurrentRow(std::exchange(m_heldVerdict, {}));
    }
    if (refused) {
        // Orca 48 would put the row under the cursor, told as a new focus, ahead of the hint:
        // the list tells the hint on its way to the row, or the status line says the row after
        // the hint.
        const QString hint = QStringLiteral("Първо изберете автор.");
        if (!m_workList->tellThenCurrentRow(hint)) {
            m_status->announce(hint);
            if (TARVONA_LIST_ROWS_OF_ITS_OWN) {
                sayCurrentRow({});
            }
        }
    }
}

void TarvonaWindow::sayCurrentRow(const QString &heldVerdict)
{
    // The answered work has gone and the focus cursor has moved to another. A screen reader
    // may put that new row ahead of the verdict, so the list leaves it untold. Where it can,
    // the list tells the verdict on its way to the row, which a screen reader then takes for
    // its current row; otherwise the status line says the row after the verdict; unless the
    // status line cannot say two messages in a row, when the list tells it, after the verdict.
    if (!StatusAnnouncer::presentsEveryMessage()) {
        return;
    }
    m_workList->leaveCurrentRowUntold();
    if (!heldVerdict.isEmpty() && m_workList->tellThenCurrentRow(heldVerdict)) {
        return;
    }
    if (!heldVerdict.isEmpty()) {
        m_status->announce(heldVerdict);
    }
    if (const QListWidgetItem *row = m_workList->currentItem(); row != nullptr && m_workList->hasFocus()) {
        m_status->announce(row->text());
    }
}

void TarvonaWindow::restart()
{
    runEvent([this] { m_drill->Command1_Click(0); });
    const QString allBack = QStringLiteral("%1. Всички %2 произведения са отново в списъка.");
    m_status->announce(allBack.arg(QString::fromStdString(logText()), QString::number(m_workList->count())));
}

void TarvonaWindow::sayVerdict(const QString &added)
{
    // What a work pick adds to the log is its verdict, after a line break of its own. It is
    // said the moment it is written, before the list goes on to remove the answered row and
    // to name the row that takes its place, so that the verdict is heard first; or held, when
    // the list can tell it on its way to that row once the pick is done.
    const QString verdict = added.trimmed();
    if (m_pickingWork && !verdict.isEmpty()) {
        if (!m_workList->tellsMessages()) {
            m_status->announce(verdict);
        } else if (const QString earlier = std::exchange(m_heldVerdict, verdict); !earlier.isEmpty()) {
            m_status->announce(earlier);
        }
        m_answered = true;
    }
}

template<typename Event> void TarvonaWindow::runEvent(Event &&event)
{
    // An event that fails is reported and abandoned; the window goes on with the next one.
    // Nothing may be thrown back through Qt's event delivery.
    try {
        event();
    } catch (const std::exception &error) {
        qCritical("Tarvona: %s", error.what());
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Грешка: %1").arg(QString::fromUtf8(error.what())));
    }
}

} // namespace tarvona
