#pragma once

#include "Drill.h"
#include "QtControls.h"

#include <QWidget>

#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tarvona {

/// The form Tarvona: the title, the author choices, the work list, the restart button, the
/// log box and the hidden key and master lists, laid out at fixed positions. Its load event
/// and three click events are the only ways into the drill.
class TarvonaWindow : public QWidget
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

private:
    void buildControls();
    void buildDrill();
    void routeEvents();
    template<typename Event> void runEvent(Event &&event);

    std::array<QLabel *, 2> m_labels {};
    QGroupBox *m_frame = nullptr;
    std::array<OptionButton *, 5> m_options {};
    std::array<QListWidget *, 4> m_lists {};
    QPushButton *m_restart = nullptr;
    QPlainTextEdit *m_log = nullptr;

    std::array<QtChoiceList *, 4> m_listAdapters {};
    std::array<QtAuthorChoice *, 5> m_optionAdapters {};
    std::unique_ptr<QtTextBox> m_logAdapter;
    std::unique_ptr<Drill> m_drill;
};

} // namespace tarvona
