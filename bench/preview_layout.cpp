// How long the command preview takes to show a long command line: a table name of 1 MiB typed
// into the real main window (offscreen), from the edit to the preview laid out for it, as one
// word and as words with blanks. The floor is the same text set into a bare QTextEdit of the
// same width with Qt's own word wrap, the layout the preview had to avoid, timed on a text of
// only 64 KiB since it grows with the square of the length.
//
//   QT_QPA_PLATFORM=offscreen preview_layout [KIB]

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Application.h"
#include "platform/QtHost.h"
#include "platform/QtServices.h"

namespace {

std::string words(std::size_t size, bool blanks) {
    std::string text;
    text.reserve(size);
    while (text.size() < size) text += blanks ? "word-7 " : "pathtoafolder";
    text.resize(size);
    return text;
}

double typedMs(mapfeed::Application& app, const std::string& text) {
    app.mapfeed.TblnmTxt.userTypes("");
    QElapsedTimer timer;
    timer.start();
    app.mapfeed.TblnmTxt.userTypes(text);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double qtWordWrapMs(const std::string& text) {
    QTextEdit edit;
    edit.resize(495, 400);
    edit.setLineWrapMode(QTextEdit::WidgetWidth);
    edit.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QElapsedTimer timer;
    timer.start();
    edit.setPlainText(QString::fromStdString(text));
    edit.document()->setTextWidth(495);
    edit.document()->size();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const std::size_t kib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    mapfeed::QtHost host;
    mapfeed::QtServices services(host);
    mapfeed::Application app(services, host);
    host.attach(app);
    app.start();

    std::printf("%-62s %9s\n", "command preview", "ms");
    std::printf("%-62s %9.1f\n", ("table name of " + std::to_string(kib) + " KiB, one word").c_str(),
                typedMs(app, words(kib * 1024, false)));
    std::printf("%-62s %9.1f\n", ("table name of " + std::to_string(kib) + " KiB, words and blanks").c_str(),
                typedMs(app, words(kib * 1024, true)));
    std::printf("%-62s %9.1f\n", "table name of 64 KiB, one word", typedMs(app, words(64 * 1024, false)));
    std::printf("%-62s %9.1f\n", "floor: Qt's word wrap, 64 KiB, one word", qtWordWrapMs(words(64 * 1024, false)));
    return 0;
}
