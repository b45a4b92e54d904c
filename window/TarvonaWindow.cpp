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
#include <QStringList>

#include <utility>
#include <vector>

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
    buildForm();
    // The form's load event: the drill starts before the window is first shown.
    m_form->load();
}

TarvonaWindow::~TarvonaWindow() = default;

std::string TarvonaWindow::logText() const
{
    return m_logAdapter->Text();
}

const ChoiceList &TarvonaWindow::list(int index) const
{
    return m_form->list(index);
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

void TarvonaWindow::buildForm()
{
    m_workListAdapter = new QtChoiceList(m_workList, this);
    std::vector<AuthorChoice *> authors;
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        m_optionAdapters[i] = new QtAuthorChoice(m_options[i], this);
        authors.push_back(m_optionAdapters[i]);
    }
    m_logAdapter = new QtTextBox(m_log, AssignmentStatement(), this);
    m_form = std::make_unique<Form>(
        *m_workListAdapter, std::move(authors), *m_logAdapter, static_cast<FormVoice &>(*this));

    connect(m_workListAdapter, &QtChoiceList::clicked, this, [this] { m_form->workListClicked(); });
    for (std::size_t i = 0; i < m_optionAdapters.size(); ++i) {
        const int index = static_cast<int>(i);
        connect(m_optionAdapters[i], &QtAuthorChoice::clicked, this, [this, index] { m_form->authorClicked(index); });
    }
    connect(m_restart, &QPushButton::clicked, this, [this] { m_form->restartClicked(); });
}

bool TarvonaWindow::tellsVerdictAtOnce() const
{
    // Where the list cannot tell the verdict on its way to the next row, the status line says
    // it before the answered row goes, so that it is heard before the row that takes its place.
    return !m_workList->tellsMessages();
}

void TarvonaWindow::tell(const std::string &message)
{
    m_status->announce(textOf(message));
}

void TarvonaWindow::tellThenRow(const std::string &message, bool answered)
{
    // Where it can, the list tells the message on its way to the row, which a screen reader
    // then takes for its current row. Otherwise the status line says the message, and the row
    // is told after it: by the list, as its own move at the end of the pupil's input, or by
    // the status line, the list leaving it untold. The status line says it where the list
    // presents its rows itself (Orca 48 would put a row told as a new focus ahead of the
    // message) and, where it says every message given, after an answer, whose removal of the
    // answered row moved the cursor.
    if (!message.empty() && m_workList->tellThenCurrentRow(textOf(message))) {
        return;
    }
    if (!message.empty()) {
        m_status->announce(textOf(message));
    }
    if (answered ? !StatusAnnouncer::presentsEveryMessage() : !TARVONA_LIST_ROWS_OF_ITS_OWN) {
        return;
    }
    m_workList->leaveCurrentRowUntold();
    if (const QListWidgetItem *row = m_workList->currentItem(); row != nullptr && m_workList->hasFocus()) {
        m_status->announce(row->text());
    }
}

void TarvonaWindow::showError(const std::string &reason)
{
    qCritical("Tarvona: %s", reason.c_str());
    QMessageBox::critical(this, windowTitle(), textOf(ErrorMessage(reason)));
}

} // namespace tarvona
