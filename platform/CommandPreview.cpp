#include "platform/CommandPreview.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QMimeData>
#include <QScreen>
#include <QStyle>
#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

#include "app/Application.h"
#include "platform/PreviewLines.h"
#include "platform/VisibleText.h"
#include "platform/WindowView.h"

namespace mapfeed {

namespace {

constexpr int kMargin = 8;
constexpr int kMinimumHeight = 22;
constexpr qreal kDocumentMargin = 2;

/// The preview's text: the command's lines as blocks of their own, broken where the preview
/// decides (`linesAtBlanks`) rather than where the text engine would. Every line break that the
/// command itself holds is shown as a symbol, so every block end is one of those breaks, and a
/// copy leaves them out: what is copied is the command as composed.
class PreviewText : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    QMimeData* createMimeDataFromSelection() const override {
        auto* data = new QMimeData;
        data->setText(textCursor().selectedText().remove(QChar::ParagraphSeparator));
        return data;
    }
};

/// Keeps the preview under the frames as wide as the window, its command broken into lines at
/// that width, and the window tall enough for every line of it, as far as the screen allows;
/// beyond that the preview scrolls.
class PreviewLayout : public QObject {
public:
    PreviewLayout(QWidget& window, QTextEdit& preview, int top, int layoutWidth, QWidget* trailing)
        : QObject(&preview), window_(window), preview_(preview), trailing_(trailing), top_(top), layoutWidth_(layoutWidth) {
        window.installEventFilter(this);
    }

    const QString& command() const { return command_; }
    /// Shows `command` (as `visibleText` gives it) from now on.
    void setCommand(const QString& command) {
        command_ = command;
        brokenAt_ = -1;
        update();
    }

    /// Lays the preview out again for the window's present width and the command it holds.
    void update() {
        const int whole = std::max(window_.width(), layoutWidth_) - 2 * kMargin;
        // A widget of ours at the strip's right end, level with the preview's first line.
        const int trailingWidth = trailing_ ? trailing_->sizeHint().width() : 0;
        const int width = trailing_ ? whole - trailingWidth - kMargin : whole;
        if (trailing_) trailing_->setGeometry(kMargin + whole - trailingWidth, top_, trailingWidth, trailing_->sizeHint().height());
        int needed = std::max(kMinimumHeight, heightFor(width - 2 * preview_.frameWidth()));
        // A window taller than the screen would put its title bar or its buttons out of reach.
        const int tallest = tallestWindow();
        const bool scrolls = top_ + needed + kMargin > tallest;
        if (scrolls) {
            preview_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            const int bar = preview_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &preview_);
            heightFor(width - 2 * preview_.frameWidth() - bar);
            needed = std::max(kMinimumHeight, tallest - top_ - kMargin);
        } else {
            preview_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        const int minimumHeight = top_ + needed + kMargin;
        if (minimumHeight != window_.minimumHeight()) {
            // A window the user has not made taller follows the preview down and up again.
            const bool atMinimum = window_.height() <= window_.minimumHeight();
            window_.setMinimumSize(layoutWidth_, minimumHeight);
            if (atMinimum && window_.height() != minimumHeight) window_.resize(window_.width(), minimumHeight);
        }
        preview_.setGeometry(kMargin, top_, width, std::max(needed, window_.height() - top_ - kMargin));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Resize) update();
        return false;
    }

private:
    /// The height of the preview with its text broken into lines `textWidth` wide.
    int heightFor(int textWidth) {
        QTextDocument* document = preview_.document();
        const qreal lineWidth = textWidth - 2 * kDocumentMargin;
        if (brokenAt_ != textWidth) {
            brokenAt_ = textWidth;
            const QStringList lines = linesAtBlanks(command_, QFontMetricsF(preview_.font()), lineWidth);
            preview_.setPlainText(lines.join(QLatin1Char('\n')));
        }
        // Setting a width lays the whole text out again, even the same width.
        if (document->textWidth() != textWidth) document->setTextWidth(textWidth);
        return static_cast<int>(std::ceil(document->size().height())) + 2 * preview_.frameWidth();
    }

    /// The most the window may grow to: the height of its screen's free area, less its frame.
    int tallestWindow() const {
        const QScreen* screen = window_.screen();
        if (!screen) return QWIDGETSIZE_MAX;
        const int frame = window_.isVisible() ? window_.frameGeometry().height() - window_.height()
                                              : 2 * window_.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        return screen->availableGeometry().height() - frame;
    }

    QWidget& window_;
    QTextEdit& preview_;
    QWidget* trailing_;
    int top_;
    int layoutWidth_;
    QString command_;  // empty until the first: a command line is never empty
    int brokenAt_ = -1;  // the text width the command was broken into lines for
};

}  // namespace

void addCommandPreview(WindowView& view, Application& app, QWidget* trailing) {
    const int top = twipsToPixels(app.mapfeed.clientHeight());
    const int width = twipsToPixels(app.mapfeed.clientWidth());
    view.resize(width, top + kMinimumHeight + kMargin);

    auto* preview = new PreviewText(&view);
    preview->setObjectName(QStringLiteral("CommandPreview"));
    preview->setAccessibleName(QStringLiteral("Command line"));
    preview->setReadOnly(true);
    preview->setAcceptRichText(false);
    preview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    preview->setTabChangesFocus(true);
    preview->setUndoRedoEnabled(false);
    preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A font of fixed pitch, so that "-I" and "-l" differ and blanks can be counted.
    QFont fixed(QStringLiteral("Liberation Mono"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    fixed.setPointSizeF(view.font().pointSizeF());
    preview->setFont(fixed);
    preview->document()->setDocumentMargin(kDocumentMargin);
    // The lines are broken by the layout below, at blanks; each is at most a line wide. Should
    // a character be drawn wider than it measured, the line still breaks rather than hide it,
    // and breaking one short line anywhere costs little. The runs of blanks that empty option
    // slots leave take their room, so every character of the line shows.
    preview->setLineWrapMode(QTextEdit::WidgetWidth);
    QTextOption wrapping = preview->document()->defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAnywhere);
    wrapping.setFlags(wrapping.flags() | QTextOption::IncludeTrailingSpaces);
    preview->document()->setDefaultTextOption(wrapping);
    // Reached last with Tab, after "Clear", so it can be read and copied from the keyboard.
    if (Control* last = app.mapfeed.tabOrder().back())
        if (QWidget* before = view.widgetFor(*last)) QWidget::setTabOrder(before, preview);
    if (trailing) {
        trailing->setParent(&view);
        QWidget::setTabOrder(preview, trailing);
    }

    auto* layout = new PreviewLayout(view, *preview, top, width, trailing);
    QPointer<QTextEdit> guard(preview);
    auto refresh = [guard, layout, &app] {
        if (!guard) return;
        const QString command = visibleText(app.mapfeed.previewCommandLine());
        if (command == layout->command()) return;
        guard->setToolTip(command);
        layout->setCommand(command);
    };
    refresh();
    const Observers::Id options = app.options.changes.subscribe(refresh);
    const Observers::Id controls = app.mapfeed.controlChanges.subscribe(refresh);
    QObject::connect(preview, &QObject::destroyed, [&app, options, controls] {
        app.options.changes.unsubscribe(options);
        app.mapfeed.controlChanges.unsubscribe(controls);
    });
}

}  // namespace mapfeed
