#include "platform/CommandPreview.h"

#include <QLineEdit>
#include <QPointer>

#include "app/Application.h"
#include "platform/WindowView.h"

namespace mapfeed {

namespace {

constexpr int kMargin = 8;
constexpr int kHeight = 22;

}  // namespace

void addCommandPreview(WindowView& view, Application& app) {
    const int top = twipsToPixels(app.mapfeed.clientHeight());
    const int width = twipsToPixels(app.mapfeed.clientWidth());
    view.resize(width, top + kHeight + kMargin);

    auto* line = new QLineEdit(&view);
    line->setObjectName(QStringLiteral("CommandPreview"));
    line->setReadOnly(true);
    line->setAccessibleName(QStringLiteral("Command line"));
    line->setToolTip(QStringLiteral("The command line that Apply starts with the present fields and options"));
    line->setGeometry(kMargin, top, width - 2 * kMargin, kHeight);
    // Reached last with Tab, after "Clear", so it can be read and copied from the keyboard.
    if (Control* last = app.mapfeed.tabOrder().back())
        if (QWidget* before = view.widgetFor(*last)) QWidget::setTabOrder(before, line);

    QPointer<QLineEdit> guard(line);
    auto refresh = [guard, &app] {
        if (!guard) return;
        const QString command = QString::fromStdString(app.mapfeed.previewCommandLine());
        if (guard->text() == command) return;
        guard->setText(command);
        guard->setCursorPosition(0);
    };
    refresh();
    app.options.onChanged = refresh;
    app.mapfeed.onAnyControlChanged = refresh;
}

}  // namespace mapfeed
