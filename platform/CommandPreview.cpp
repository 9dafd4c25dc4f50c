#include "platform/CommandPreview.h"

#include <QEvent>
#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

#include "app/Application.h"
#include "platform/WindowView.h"

namespace mapfeed {

namespace {

constexpr int kMargin = 8;
constexpr int kMinimumHeight = 22;
constexpr qreal kDocumentMargin = 2;

/// Keeps the preview under the frames as wide as the window, and the window tall enough for
/// every line of it.
class PreviewLayout : public QObject {
public:
    PreviewLayout(QWidget& window, QTextEdit& preview, int top, int layoutWidth)
        : QObject(&preview), window_(window), preview_(preview), top_(top), layoutWidth_(layoutWidth) {
        window.installEventFilter(this);
    }

    /// Lays the preview out again for the window's present width and the text it holds.
    void update() {
        const int width = std::max(window_.width(), layoutWidth_) - 2 * kMargin;
        const int needed = std::max(kMinimumHeight, heightFor(width));
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
    int heightFor(int width) const {
        const int frame = preview_.frameWidth();
        QTextDocument* document = preview_.document();
        // Setting a width lays the whole text out again, even the same width.
        if (document->textWidth() != width - 2 * frame) document->setTextWidth(width - 2 * frame);
        return static_cast<int>(std::ceil(document->size().height())) + 2 * frame;
    }

    QWidget& window_;
    QTextEdit& preview_;
    int top_;
    int layoutWidth_;
};

}  // namespace

QString shownCommandLine(const std::string& commandLine) {
    QString shown = QString::fromStdString(commandLine);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t')) c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F) c = QChar(0x2421);
    }
    return shown;
}

void addCommandPreview(WindowView& view, Application& app) {
    const int top = twipsToPixels(app.mapfeed.clientHeight());
    const int width = twipsToPixels(app.mapfeed.clientWidth());
    view.resize(width, top + kMinimumHeight + kMargin);

    auto* preview = new QTextEdit(&view);
    preview->setObjectName(QStringLiteral("CommandPreview"));
    preview->setAccessibleName(QStringLiteral("Command line"));
    preview->setReadOnly(true);
    preview->setAcceptRichText(false);
    preview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    preview->setTabChangesFocus(true);
    preview->setUndoRedoEnabled(false);
    preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    preview->setLineWrapMode(QTextEdit::WidgetWidth);
    preview->document()->setDocumentMargin(kDocumentMargin);
    // Lines break at any character: a path is one long word, and breaking at word boundaries
    // first costs time that grows with the square of its length. The runs of blanks that empty
    // option slots leave take their room, so every character of the line shows.
    QTextOption wrapping = preview->document()->defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAnywhere);
    wrapping.setFlags(wrapping.flags() | QTextOption::IncludeTrailingSpaces);
    preview->document()->setDefaultTextOption(wrapping);
    // Reached last with Tab, after "Clear", so it can be read and copied from the keyboard.
    if (Control* last = app.mapfeed.tabOrder().back())
        if (QWidget* before = view.widgetFor(*last)) QWidget::setTabOrder(before, preview);

    auto* layout = new PreviewLayout(view, *preview, top, width);
    QPointer<QTextEdit> guard(preview);
    auto refresh = [guard, layout, &app] {
        if (!guard) return;
        const QString command = shownCommandLine(app.mapfeed.previewCommandLine());
        if (guard->toPlainText() == command) return;
        guard->setPlainText(command);
        guard->setToolTip(command);
        layout->update();
    };
    refresh();
    layout->update();
    const Observers::Id options = app.options.changes.subscribe(refresh);
    const Observers::Id controls = app.mapfeed.controlChanges.subscribe(refresh);
    QObject::connect(preview, &QObject::destroyed, [&app, options, controls] {
        app.options.changes.unsubscribe(options);
        app.mapfeed.controlChanges.unsubscribe(controls);
    });
}

}  // namespace mapfeed
