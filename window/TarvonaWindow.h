#pragma once

#include "Drill.h"
#include "MemoryControls.h"
#include "QtControls.h"
#include "StatusAnnouncer.h"

#include <QWidget>

#include <array>
#include <memory>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tarvona {

/// The form Tarvona: the title, the author choices, the work list, the restart button and the
/// log box, laid out at fixed positions, and the hidden key and master lists. Its load event
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
    /// List index of the form: 0 the work list, 1 the key list, 2 and 3 the master lists;
    /// throws std::out_of_range for any other index.
    [[nodiscard]] const ChoiceList &list(int index) const;

private:
    void buildControls();
    void buildDrill();
    void routeEvents();
    void pickWork();
    void sayCurrentRow(const QString &heldVerdict);
    void restart();
    void sayVerdict(const QString &added);
    template<typename Event> void runEvent(Event &&event);

    std::array<OptionButton *, 5> m_options {};
    ListBox *m_workList = nullptr;
    QPushButton *m_restart = nullptr;
    QPlainTextEdit *m_log = nullptr;
    StatusAnnouncer *m_status = nullptr;

    QtChoiceList *m_workListAdapter = nullptr;
    std::array<MemoryList, 3> m_hiddenLists;
    std::array<QtAuthorChoice *, 5> m_optionAdapters {};
    QtTextBox *m_logAdapter = nullptr;
    std::unique_ptr<Drill> m_drill;
    bool m_pickingWork = false; // a work pick is running
    bool m_answered = false;    // and it has given a verdict
    QString m_heldVerdict;      // which the list tells once the pick is done
};

} // namespace tarvona
