#include "platform/ConsoleWindow.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>

namespace mapfeed {

namespace {

// Often enough to read as live, rarely enough to cost nothing: a read of a file that has not
// grown is one system call.
constexpr int kFollowMilliseconds = 50;
// Read per look, so that a converter writing without pause cannot stall the window: a look
// at 256 KiB of new lines takes 10 to 20 ms, about 100 ms once the oldest lines are dropped.
constexpr off_t kBytesPerLook = 256 * 1024;
// Lines kept; older ones go first, as in a terminal. Dropping lines is what costs, so the
// limit is high enough that a converter's usual messages never reach it.
constexpr int kLinesKept = 100000;

// The task and the input file's name, which tell runs apart in the desktop's window list.
QString titleFor(long taskId, const std::string& inputPath) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(inputPath));
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty()) name = path;
    return QStringLiteral("Converter task %1: %2").arg(taskId).arg(name);
}

}  // namespace

ConsoleWindow::ConsoleWindow() : text_(new QPlainTextEdit(this)), decoder_(QStringDecoder::System) {
    setAttribute(Qt::WA_DeleteOnClose);
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setMaximumBlockCount(kLinesKept);
    text_->setAccessibleName(QStringLiteral("Converter output"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);

    // A terminal's 80 by 24.
    const QFontMetrics metrics(text_->font());
    const int frame = 2 * text_->frameWidth() + 2 * static_cast<int>(text_->document()->documentMargin());
    resize(80 * metrics.horizontalAdvance(QLatin1Char('M')) + frame + text_->verticalScrollBar()->sizeHint().width(),
           24 * metrics.lineSpacing() + frame);

    // Closed like any document window; the converter runs on.
    auto* close = new QShortcut(QKeySequence::Close, this);
    QObject::connect(close, &QShortcut::activated, this, &QWidget::close);

    poll_.setInterval(kFollowMilliseconds);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { readNew(); });
}

ConsoleWindow::~ConsoleWindow() {
    if (watch_ == 0) return;
    std::string error;
    if (posix::ChildReaper* reaper = posix::ChildReaper::get(error)) reaper->forget(watch_);
}

posix::ChildReaper::Listener ConsoleWindow::endListener() {
    // Handed over to this window's thread; the window stops listening before it goes.
    return [this](const posix::ProcessEnd& end) {
        QMetaObject::invokeMethod(this, [this, end] { ended(end); }, Qt::QueuedConnection);
    };
}

void ConsoleWindow::follow(posix::UniqueFd output, long taskId, std::uint64_t watch, const std::string& inputPath) {
    output_ = std::move(output);
    watch_ = watch;
    setWindowTitle(titleFor(taskId, inputPath));
    show();
    raise();
    activateWindow();
    text_->setFocus();
    poll_.start();
}

void ConsoleWindow::readNew() {
    if (!output_) return;
    // Read at our own offset: the converter's writes keep theirs.
    QByteArray chunk;
    char buffer[64 * 1024];
    bool caughtUp = false;
    for (off_t budget = kBytesPerLook; budget > 0;) {
        std::size_t wanted = sizeof buffer;
        if (end_) {
            // What came after the end is not the converter's.
            if (readTo_ >= endAt_) {
                caughtUp = true;
                break;
            }
            wanted = std::min<std::size_t>(wanted, static_cast<std::size_t>(endAt_ - readTo_));
        }
        const ssize_t got = ::pread(output_.get(), buffer, wanted, readTo_);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            caughtUp = true;
            break;
        }
        readTo_ += got;
        budget -= got;
        chunk.append(buffer, got);
    }
    if (!chunk.isEmpty()) append(decoder_.decode(chunk));
    if (caughtUp && end_) finish();
}

void ConsoleWindow::append(const QString& text, bool ours) {
    QString lines = text;
    // A lone carriage return (a progress count redrawn in place) starts a line of its own.
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (lines.isEmpty()) return;

    QScrollBar* bar = text_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(text_->document());
    cursor.movePosition(QTextCursor::End);
    // Our own line stands out from the converter's.
    QTextCharFormat format;
    if (ours) format.setFontWeight(QFont::Bold);
    cursor.insertText(lines, format);
    endsWithLineBreak_ = lines.endsWith(QLatin1Char('\n'));
    // Keeps up with new lines unless the user has scrolled back to read.
    if (atEnd) bar->setValue(bar->maximum());
}

void ConsoleWindow::ended(const posix::ProcessEnd& end) {
    // Shown once all that the converter wrote before it ended has been read, a look at a
    // time, so that a large rest cannot stall the window. Output from anything it left
    // running behind it is no longer shown.
    struct stat written {};
    endAt_ = output_ && ::fstat(output_.get(), &written) == 0 ? written.st_size : readTo_;
    end_ = end;
    readNew();
}

void ConsoleWindow::finish() {
    poll_.stop();
    output_.reset();
    if (!endsWithLineBreak_) append(QStringLiteral("\n"));
    append(QString::fromStdString(posix::describeEnd(*end_)), true);
}

}  // namespace mapfeed
