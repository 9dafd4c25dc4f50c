#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mapfeed {

class RunStarter;
struct Run;

/// "Converter runs": every run of the converter in this program's life, newest first, told by
/// text and by colour, with the selected run's output, its command line and a way to copy it
/// for a shell. Closing it or clearing finished runs never stops a converter.
class RunsWindow : public QWidget {
public:
    /// `place` puts the window where it first shows (beside the main window).
    RunsWindow(RunStarter& runs, std::function<void(QWidget&)> place);

    /// A run has started: the window comes to the front with the focus and the run selected.
    void started(int id);
    void outputArrived(int id);
    void ended(int id);

    /// The run whose output is shown; 0 for none.
    int selectedRun() const { return shownRun_; }

    /// "Picture": the selected run's files, with what it appended highlighted.
    std::function<void(const Run& run)> onShowPicture;

private:
    void updateRow(QTreeWidgetItem& item, const Run& run);
    QTreeWidgetItem* itemOf(int id) const;
    void select(int id);
    void showRun(int id);
    /// The selected run's state, end and reason in one line, whatever columns fit.
    void showSummary(const Run* run);
    /// Adds the next bounded slice of the shown run's output, and asks for another when more waits.
    void showMore();
    /// Asks for `showMore` in a later turn of the event loop, a slice at most so often.
    void showMoreSoon();
    void clearFinished();

    RunStarter& runs_;
    std::function<void(QWidget&)> place_;
    bool placed_ = false;
    QTreeWidget* list_;
    QLabel* summary_;
    QLineEdit* command_;
    QPushButton* copyCommand_;
    QPlainTextEdit* output_;
    QPushButton* copyOutput_;
    QPushButton* clearFinished_;
    QPushButton* picture_;
    int shownRun_ = 0;
    std::uint64_t nextLine_ = 0;  // of the shown run's output, the first not yet shown
    bool partialShown_ = false;   // the last block shown is an unfinished line
    bool endShown_ = false;       // the run's end line is shown
    bool moreQueued_ = false;
    QElapsedTimer sinceSlice_;
};

}  // namespace mapfeed
