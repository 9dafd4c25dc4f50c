#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "platform/RunStarter.h"
#include "platform/RunsWindow.h"

namespace {

using mapfeed::ConverterCommand;
using mapfeed::RunStarter;
using mapfeed::RunsWindow;

bool waitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A file name that holds a right-to-left override reads the rest of its line backwards: in the
// list, the command line and the converter's own output, the override shows as its code.
TEST(RunsWindowBinding, NothingInARunIsReorderedOrHidden) {
    RunStarter runs;
    RunsWindow window(runs, [](QWidget&) {});
    runs.onStarted = [&](int id) { window.started(id); };
    runs.onOutput = [&](int id) { window.outputArrived(id); };
    runs.onEnded = [&](int id) { window.ended(id); };

    const std::string input = "in\u202Egpj.exe";
    ConverterCommand command;
    command.arguments = {"/bin/sh", "-c", "printf '%s\\tread\\n' \"$1\"", "sh", input};
    command.commandLine = "perl -S mapfeed.pl -I " + input;
    command.inputPath = input;
    command.designPath = "out.dgn";
    ASSERT_TRUE(runs.start(command).started);

    const QString shown = QStringLiteral("in\u2039U+202E\u203Agpj.exe");
    auto* output = window.findChild<QPlainTextEdit*>(QStringLiteral("RunOutput"));
    ASSERT_TRUE(waitFor([&] { return output->toPlainText().contains(QStringLiteral("read")); }));
    EXPECT_TRUE(output->toPlainText().startsWith(shown + QStringLiteral("\tread"))) << output->toPlainText().toStdString();
    EXPECT_EQ(QStringLiteral("perl -S mapfeed.pl -I ") + shown,
              window.findChild<QLineEdit*>(QStringLiteral("RunCommand"))->text());
    const QTreeWidgetItem* row = window.findChild<QTreeWidget*>(QStringLiteral("RunList"))->topLevelItem(0);
    ASSERT_NE(nullptr, row);
    bool named = false;
    for (int column = 0; column < row->columnCount(); ++column) named = named || row->text(column).contains(shown);
    EXPECT_TRUE(named);
    ASSERT_TRUE(waitFor([&] { return runs.history().find(window.selectedRun())->ended.has_value(); }));
}

}  // namespace
