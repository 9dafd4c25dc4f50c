#include "platform/RunsWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/RunStarter.h"
#include "platform/VisibleText.h"
#include "runs/ShellQuote.h"

namespace mapfeed {

namespace {

enum Column { State, Started, Files, End, Duration, Reason, Columns };

// Output is shown a slice at a time, each well within a frame, and a line is shown cut: laying
// out one line of a megabyte would stall the window for seconds. "Copy output" copies it whole.
constexpr int kSliceBytes = 16 * 1024;
constexpr int kShownLineChars = 2000;
constexpr int kShownLines = 3000;
// Output that comes faster than anyone reads is shown from its newest lines, a slice at most
// this often, so that the window spends a bounded share of its time on it.
constexpr int kSliceMilliseconds = 25;
constexpr std::uint64_t kBehindLines = 400;

QString fromBytes(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

QString shownLine(const std::string& line) {
    // Only the beginning is decoded: a character takes at most four bytes.
    const std::size_t decoded = std::min(line.size(), std::size_t{kShownLineChars} * 4);
    QString shown = fromBytes(line.substr(0, decoded));
    const bool goesOn = shown.size() > kShownLineChars || decoded < line.size();
    shown.truncate(kShownLineChars);
    // A bidi override in a file name the converter echoes would reorder the rest of its line.
    shown = visibleOutputLine(shown);
    if (goesOn) {
        shown += QStringLiteral(" [... the line goes on: Copy output has %1 bytes of it]").arg(line.size());
    }
    return shown;
}

/// How a state looks besides its words: a colour and an icon, so that a failure stands out.
void markState(QTreeWidgetItem& item, const Run& run, const QStyle& style) {
    QStyle::StandardPixmap icon = QStyle::SP_MediaPlay;
    QColor colour(0x1f, 0x5f, 0xbf);
    switch (run.state) {
        case RunState::Running: break;
        case RunState::Finished:
            icon = QStyle::SP_DialogApplyButton;
            colour = QColor(0x2e, 0x7d, 0x32);
            break;
        case RunState::Failed:
            icon = QStyle::SP_MessageBoxCritical;
            colour = QColor(0xc6, 0x28, 0x28);
            break;
        case RunState::Signalled:
            icon = QStyle::SP_MessageBoxWarning;
            colour = QColor(0xb3, 0x5c, 0x00);
            break;
    }
    if (!run.outputLost.empty() && run.state != RunState::Failed) icon = QStyle::SP_MessageBoxWarning;
    item.setIcon(State, style.standardIcon(icon));
    item.setForeground(State, colour);
    item.setForeground(End, colour);
    QFont font = item.font(State);
    font.setBold(run.state == RunState::Failed || run.state == RunState::Signalled);
    item.setFont(State, font);
}

}  // namespace

RunsWindow::RunsWindow(RunStarter& runs, std::function<void(QWidget&)> place)
    : runs_(runs),
      place_(std::move(place)),
      list_(new QTreeWidget),
      summary_(new QLabel),
      command_(new QLineEdit),
      copyCommand_(new QPushButton(QStringLiteral("Copy co&mmand"))),
      output_(new QPlainTextEdit),
      copyOutput_(new QPushButton(QStringLiteral("Copy &output"))),
      clearFinished_(new QPushButton(QStringLiteral("C&lear finished"))),
      picture_(new QPushButton(QStringLiteral("&Picture"))) {
    setWindowTitle(QStringLiteral("Converter runs"));
    setObjectName(QStringLiteral("RunsWindow"));

    list_->setObjectName(QStringLiteral("RunList"));
    list_->setAccessibleName(QStringLiteral("Runs"));
    list_->setColumnCount(Columns);
    list_->setHeaderLabels({QStringLiteral("State"), QStringLiteral("Started"), QStringLiteral("Files"),
                            QStringLiteral("End"), QStringLiteral("Duration"), QStringLiteral("Reason")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);

    command_->setObjectName(QStringLiteral("RunCommand"));
    command_->setReadOnly(true);
    command_->setAccessibleName(QStringLiteral("Command line"));
    auto* commandLabel = new QLabel(QStringLiteral("Command:"));
    commandLabel->setBuddy(command_);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    output_->setObjectName(QStringLiteral("RunOutput"));
    output_->setAccessibleName(QStringLiteral("Converter output"));
    output_->setReadOnly(true);
    output_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    output_->setMaximumBlockCount(kShownLines + 2);
    output_->setFont(fixed);
    command_->setFont(fixed);

    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(commandLabel);
    commandRow->addWidget(command_, 1);
    commandRow->addWidget(copyCommand_);
    auto* lower = new QWidget;
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    summary_->setObjectName(QStringLiteral("RunSummary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setWordWrap(true);
    lowerLayout->addWidget(summary_);
    lowerLayout->addLayout(commandRow);
    lowerLayout->addWidget(output_, 1);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(list_);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto* close = new QPushButton(QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyOutput_);
    buttons->addWidget(clearFinished_);
    buttons->addWidget(picture_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    // Wide enough for a start time, two file names, a state and a reason; an 80-column look
    // at the output.
    const QFontMetrics metrics(fixed);
    resize(std::max(640, 80 * metrics.horizontalAdvance(QLatin1Char('M')) + 40), 440);
    list_->setColumnWidth(State, 120);
    list_->setColumnWidth(Started, QFontMetrics(list_->font()).horizontalAdvance(QStringLiteral("00:00:00")) + 16);
    list_->setColumnWidth(Files, 180);
    list_->setColumnWidth(End, 150);
    list_->setColumnWidth(Duration, 70);

    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        showRun(item ? item->data(Started, Qt::UserRole).toInt() : 0);
    });
    connect(copyCommand_, &QPushButton::clicked, this, [this] {
        if (const Run* run = runs_.history().find(shownRun_))
            QGuiApplication::clipboard()->setText(fromBytes(shellQuoted(run->arguments)));
    });
    connect(copyOutput_, &QPushButton::clicked, this, [this] {
        // The whole kept output, its long lines whole, and how the run ended.
        if (const Run* run = runs_.history().find(shownRun_)) {
            std::string text = run->output->text();
            if (run->end) text += (text.empty() || text.back() == '\n' ? "" : "\n") + endLineText(*run);
            QGuiApplication::clipboard()->setText(fromBytes(text));
        }
    });
    connect(clearFinished_, &QPushButton::clicked, this, [this] { clearFinished(); });
    connect(picture_, &QPushButton::clicked, this, [this] {
        if (const Run* run = runs_.history().find(shownRun_); run && onShowPicture) onShowPicture(*run);
    });
    // Closing hides it: the history stays, and the converters run on.
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    auto* closeKey = new QShortcut(QKeySequence::Close, this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::hide);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
    copyCommand_->setEnabled(false);
    copyOutput_->setEnabled(false);
    picture_->setEnabled(false);
}

QTreeWidgetItem* RunsWindow::itemOf(int id) const {
    for (int row = 0; row < list_->topLevelItemCount(); ++row)
        if (QTreeWidgetItem* item = list_->topLevelItem(row); item->data(Started, Qt::UserRole).toInt() == id)
            return item;
    return nullptr;
}

void RunsWindow::updateRow(QTreeWidgetItem& item, const Run& run) {
    item.setText(Started, QString::fromStdString(startText(run)));
    item.setText(Files, visibleText(filesText(run)));
    item.setToolTip(Files, visibleText(run.inputPath) + QStringLiteral("\n\u2192 ") + visibleText(run.designPath));
    item.setText(State, QString::fromStdString(stateText(run)));
    if (!run.outputLost.empty()) item.setToolTip(State, QStringLiteral("Output lost: ") + fromBytes(run.outputLost));
    item.setText(End, QString::fromStdString(endText(run)));
    item.setToolTip(End, item.text(End));
    item.setText(Duration, run.ended ? QString::fromStdString(durationText(*run.ended - run.startedSteady)) : QString());
    item.setText(Reason, fromBytes(reasonText(run)));
    item.setToolTip(Reason, item.text(Reason));
    markState(item, run, *style());
}

void RunsWindow::started(int id) {
    const Run* run = runs_.history().find(id);
    if (!run) return;
    auto* item = new QTreeWidgetItem;
    item->setData(Started, Qt::UserRole, id);
    updateRow(*item, *run);
    list_->insertTopLevelItem(0, item);
    if (!placed_) {
        placed_ = true;
        if (place_) place_(*this);
    }
    select(id);
    show();
    raise();
    activateWindow();
    list_->setFocus(Qt::OtherFocusReason);
}

void RunsWindow::select(int id) {
    if (QTreeWidgetItem* item = itemOf(id)) list_->setCurrentItem(item);
}

void RunsWindow::outputArrived(int id) {
    if (id == shownRun_) showMoreSoon();
}

void RunsWindow::showMoreSoon() {
    if (moreQueued_) return;
    const qint64 since = sinceSlice_.isValid() ? sinceSlice_.elapsed() : kSliceMilliseconds;
    moreQueued_ = true;
    QTimer::singleShot(since >= kSliceMilliseconds ? 0 : static_cast<int>(kSliceMilliseconds - since), this, [this] {
        moreQueued_ = false;
        showMore();
    });
}

void RunsWindow::ended(int id) {
    const Run* run = runs_.history().find(id);
    QTreeWidgetItem* item = itemOf(id);
    if (!run || !item) return;
    updateRow(*item, *run);
    if (id == shownRun_) {
        showSummary(run);
        showMore();
    }
}

void RunsWindow::showSummary(const Run* run) {
    if (!run) {
        summary_->clear();
        return;
    }
    QString text = QString::fromStdString(stateText(*run));
    if (const std::string end = endText(*run); !end.empty()) text += QStringLiteral(", ") + fromBytes(end);
    if (const std::string reason = reasonText(*run); !reason.empty()) text += QStringLiteral(": ") + fromBytes(reason);
    if (!run->outputLost.empty()) text += QStringLiteral(" (") + fromBytes(run->outputLost) + QLatin1Char(')');
    summary_->setText(text);
}

void RunsWindow::showRun(int id) {
    shownRun_ = id;
    output_->clear();
    output_->setCurrentCharFormat(QTextCharFormat());
    partialShown_ = false;
    endShown_ = false;
    const Run* run = runs_.history().find(id);
    command_->setText(run ? visibleText(run->commandLine) : QString());
    command_->setCursorPosition(0);
    copyCommand_->setEnabled(run != nullptr);
    copyOutput_->setEnabled(run != nullptr);
    picture_->setEnabled(run != nullptr);
    showSummary(run);
    if (!run) return;
    // A long output opens at its end, as a terminal shows it.
    const std::uint64_t lines = run->output->lineCount();
    nextLine_ = lines > kShownLines ? lines - kShownLines : 0;
    if (!run->outputLost.empty()) output_->appendPlainText(QStringLiteral("[output lost: %1]").arg(fromBytes(run->outputLost)));
    showMore();
}

void RunsWindow::showMore() {
    const Run* run = runs_.history().find(shownRun_);
    if (!run) return;
    sinceSlice_.start();
    // Far behind a flood: on to its newest lines, which a user can still read.
    const std::uint64_t total = run->output->lineCount();
    std::uint64_t skipped = 0;
    if (total > nextLine_ + kBehindLines) {
        skipped = total - kBehindLines / 2 - nextLine_;
        nextLine_ = total - kBehindLines / 2;
    }
    const RunOutput::Lines slice = run->output->since(nextLine_, kSliceBytes);

    QScrollBar* bar = output_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(output_->document());
    if (partialShown_) {
        // The unfinished line is shown again as it stands now.
        if (output_->document()->blockCount() == 1) {
            output_->clear();
        } else {
            cursor.movePosition(QTextCursor::End);
            cursor.select(QTextCursor::BlockUnderCursor);
            cursor.removeSelectedText();
        }
        partialShown_ = false;
    }
    QStringList lines;
    if (skipped > 0 || slice.first > nextLine_)
        lines << QStringLiteral("[... %1 lines came faster than they could be shown: Copy output has the last few "
                                "megabytes]")
                     .arg(skipped + slice.first - nextLine_);
    for (const std::string& line : slice.lines) lines << shownLine(line);
    nextLine_ = slice.first + slice.lines.size();
    const bool more = nextLine_ < run->output->lineCount();
    if (!more && !slice.partial.empty()) {
        lines << shownLine(slice.partial);
        partialShown_ = true;
    }
    if (!lines.isEmpty()) output_->appendPlainText(lines.join(QLatin1Char('\n')));
    if (!more && run->end && !endShown_) {
        // Our own line, set apart from the converter's.
        endShown_ = true;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCursor end(output_->document());
        end.movePosition(QTextCursor::End);
        if (!output_->document()->isEmpty()) end.insertBlock();
        end.insertText(fromBytes(endLineText(*run)), bold);
    }
    if (following) bar->setValue(bar->maximum());
    // The rest in later turns of the event loop, so that the window keeps answering.
    if (more) showMoreSoon();
}

void RunsWindow::clearFinished() {
    runs_.history().clearFinished();
    for (int row = list_->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        if (!runs_.history().find(item->data(Started, Qt::UserRole).toInt())) delete list_->takeTopLevelItem(row);
    }
    if (!runs_.history().find(shownRun_)) showRun(list_->currentItem() ? list_->currentItem()->data(Started, Qt::UserRole).toInt() : 0);
}

}  // namespace mapfeed
