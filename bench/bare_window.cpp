// The floor of the start-up benchmark: the least a Qt Widgets program does to put a window on
// the screen. An empty widget of the main window's size, so both pay for the same frame, ended
// like the program right after its first paint by the preloaded first_paint_exit.
//
//   bare_window [--label]
//
// With --label the window shows one line of text, which brings in what any text costs (the
// font database, a font, glyphs): the reference for how much of a start-up is text alone.

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(511, 436);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0) (new QLabel(QStringLiteral("Input file"), &window))->move(8, 8);
    window.show();
    return QApplication::exec();
}
