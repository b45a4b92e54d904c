#pragma once

#include "Form.h"
#include "QtControls.h"
#include "StatusAnnouncer.h"

#include <QWidget>

#include <array>
#include <memory>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tarvona {

/// The form Tarvona on the desktop: the title, the author choices, the work list, the restart
/// button and the log box, laid out at fixed positions, handing their events to the form and
/// its messages to screen readers.
class TarvonaWindow : public QWidget, private FormVoice
{
    Q_OBJECT
public:
    /// Creates the form with all its controls and runs the drill's start operation.
    explicit TarvonaWindow(QWidget *parent = nullptr);
    ~TarvonaWindow() override;
    TarvonaWindow(const TarvonaWindow &) = delete;
    TarvonaWindow &operator=(const TarvonaWindow &) = delete;
    TarvonaWindow(TarvonaWindow &&) = delete;
    TarvonaWindow &operator=(TarvonaWindow &&) = delete;

    /// The log box's exact text, CR LF line breaks included.
    [[nodiscard]] std::string logText() const;
    /// List index of the form: 0 the work list, 1 the key list, 2 and 3 the master lists;
    /// throws std::out_of_range for any other index.
    [[nodiscard]] const ChoiceList &list(int index) const;

private:
    void buildControls();
    void buildForm();

    [[nodiscard]] bool tellsVerdictAtOnce() const override;
    void tell(const std::string &message) override;
    void tellThenRow(const std::string &message, bool answered) override;
    void showError(const std::string &reason) override;

    std::array<OptionButton *, 5> m_options {};
    ListBox *m_workList = nullptr;
    QPushButton *m_restart = nullptr;
    QPlainTextEdit *m_log = nullptr;
    StatusAnnouncer *m_status = nullptr;

    QtChoiceList *m_workListAdapter = nullptr;
    std::array<QtAuthorChoice *, 5> m_optionAdapters {};
    QtTextBox *m_logAdapter = nullptr;
    std::unique_ptr<Form> m_form;
};

} // namespace tarvona
