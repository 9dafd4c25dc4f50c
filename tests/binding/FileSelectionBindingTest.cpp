#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "platform/FileDialogFilters.h"
#include "platform/QtHost.h"
#include "platform/QtServices.h"

using namespace mapfeed;

namespace {

struct SeenDialog {
    QStringList labels;
    QString selectedLabel;
    QString folder;
    QStringList selected;
    bool readOnly = true;
    QString title;
    std::vector<QHeaderView::ResizeMode> columns;
};

/// Answers the next open-file dialog from the event loop, as a user would, after noting what
/// it offered.
/// Chooses `choice` as a user does, its folder and its name typed into the name field, and
/// accepts. (Qt's selectFile leaves a name field that has the focus alone.)
void acceptWith(QFileDialog* dialog, const QString& choice) {
    const QFileInfo file(choice);
    dialog->setDirectory(file.absolutePath());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nullptr, name);
    name->setText(file.fileName());
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept takes the typed name
    ASSERT_FALSE(dialog->isVisible()) << "the dialog took the name";
}

void answerNextDialog(SeenDialog& seen, const QString& choice) {
    // Looked for until it is up: the program may let the event loop run (while it waits for a
    // folder to answer) before the dialog opens.
    QTimer::singleShot(10, [&seen, choice] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            answerNextDialog(seen, choice);
            return;
        }
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(nullptr, types);
        for (int i = 0; i < types->count(); ++i) seen.labels << types->itemText(i);
        seen.selectedLabel = types->currentText();
        seen.folder = dialog->directory().absolutePath();
        seen.readOnly = dialog->testOption(QFileDialog::ReadOnly);
        seen.selected = dialog->selectedFiles();
        seen.title = dialog->windowTitle();
        if (auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView")))
            for (int column = 0; column < details->header()->count(); ++column)
                seen.columns.push_back(details->header()->sectionResizeMode(column));
        if (choice.isEmpty()) {
            dialog->reject();
        } else {
            acceptWith(dialog, choice);
        }
    });
}

}  // namespace

class FileSelectionBinding : public ::testing::Test {
protected:
    FileSelectionBinding() : services(host), app(services, host) {
        host.attach(app);
        app.start();
            ::unsetenv("ACTIVEPROJECT");
    }
    ~FileSelectionBinding() override { ::unsetenv("ACTIVEPROJECT"); }

    QtHost host;
    QtServices services;
    Application app;
    QTemporaryDir project;
};

TEST_F(FileSelectionBinding, InputDialogOffersFourFiltersAndStartsInTheProject) {
    ::setenv("ACTIVEPROJECT", project.path().toLocal8Bit().constData(), 1);
    const QString chosen = project.filePath(QStringLiteral("roads.gen"));
    SeenDialog seen;
    answerNextDialog(seen, chosen);
    app.mapfeed.BrwCmd.userClicks();

    EXPECT_EQ((QStringList{"All Files (*.*)", "Design Files(*.dgn)", "ULF Files (*.ulf)", "ARC Export Files (*.gen)"}),
              seen.labels);
    EXPECT_EQ(QStringLiteral("All Files (*.*)"), seen.selectedLabel);
    EXPECT_EQ(QDir(project.path()).canonicalPath(), QDir(seen.folder).canonicalPath());
    EXPECT_FALSE(seen.readOnly);
    EXPECT_EQ(chosen.toStdString(), app.mapfeed.InfileTxt.text());
    EXPECT_FALSE(app.mapfeed.BrwCmd.captionBold());
}

TEST_F(FileSelectionBinding, DesignDialogOffersTwoAndCancelKeepsTheField) {
    app.mapfeed.DgnFileTxt.userTypes("typed.dgn");
    SeenDialog seen;
    answerNextDialog(seen, QString());
    app.mapfeed.Brw2Cmd.userClicks();
    EXPECT_EQ((QStringList{"All Files (*.*)", "Design Files(*.dgn)"}), seen.labels);
    EXPECT_EQ(QStringLiteral("Design Files(*.dgn)"), seen.selectedLabel);
    EXPECT_EQ("typed.dgn", app.mapfeed.DgnFileTxt.text());
}

TEST_F(FileSelectionBinding, ProjectThatIsNoFolderStillOpensTheDialog) {
    QFile file(project.filePath(QStringLiteral("not-a-folder.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (const QString& project : {QStringLiteral("/no/such/folder/mapfeed"), file.fileName()}) {
        ::setenv("ACTIVEPROJECT", project.toLocal8Bit().constData(), 1);
        SeenDialog seen;
        answerNextDialog(seen, QString());
        app.mapfeed.BrwCmd.userClicks();
        EXPECT_EQ(4, seen.labels.size()) << project.toStdString();
        EXPECT_EQ("", app.mapfeed.InfileTxt.text());
    }
}

TEST(FileDialogFilters, PatternsMatchLikeTheOldDialog) {
    const QStringList filters = nameFilters("All Files (*.*)|*.*|Design Files(*.dgn)|*.dgn|Two|*.a;*.b");
    EXPECT_EQ((QStringList{"All Files (*.*) (*)", "Design Files(*.dgn) (*.[dD][gG][nN])", "Two (*.[aA] *.[bB])"}),
              filters);
}

TEST_F(FileSelectionBinding, ProjectThatIsAFileOpensItsFolderWithTheFileChosen) {
    QDir(project.path()).mkdir(QStringLiteral("job"));
    const QString file = project.filePath(QStringLiteral("job/roads.gen"));
    QFile(file).open(QIODevice::WriteOnly);
    ::setenv("ACTIVEPROJECT", file.toLocal8Bit().constData(), 1);
    for (Button* button : {&app.mapfeed.BrwCmd, &app.mapfeed.Brw2Cmd}) {
        SeenDialog seen;
        answerNextDialog(seen, QString());
        button->userClicks();
        EXPECT_EQ(QDir(project.filePath(QStringLiteral("job"))).canonicalPath(), QDir(seen.folder).canonicalPath());
        ASSERT_EQ(1, seen.selected.size());
        EXPECT_EQ(QFileInfo(file).canonicalFilePath(), QFileInfo(seen.selected.constFirst()).canonicalFilePath());
    }
}

TEST_F(FileSelectionBinding, EachDialogOpensOnTheFileItsFieldNamesUnderItsOwnTitle) {
    QDir(project.path()).mkdir(QStringLiteral("job"));
    const QString input = project.filePath(QStringLiteral("job/roads.gen"));
    QFile(input).open(QIODevice::WriteOnly);
    ::setenv("ACTIVEPROJECT", project.path().toLocal8Bit().constData(), 1);
    app.mapfeed.InfileTxt.userTypes(input.toStdString() + " -+");
    SeenDialog seen;
    answerNextDialog(seen, QString());
    app.mapfeed.BrwCmd.userClicks();
    EXPECT_EQ(QStringLiteral("Input file"), seen.title);
    EXPECT_EQ(QDir(project.filePath(QStringLiteral("job"))).canonicalPath(), QDir(seen.folder).canonicalPath())
        << "the field's folder, ahead of the project";
    ASSERT_EQ(1, seen.selected.size());
    EXPECT_EQ(QFileInfo(input).canonicalFilePath(), QFileInfo(seen.selected.constFirst()).canonicalFilePath());
    const std::vector<QHeaderView::ResizeMode> sized{QHeaderView::Stretch, QHeaderView::ResizeToContents,
                                                     QHeaderView::ResizeToContents, QHeaderView::ResizeToContents};
    EXPECT_EQ(sized, seen.columns) << "size, type and date as wide as they need";

    // A design file not made yet: its folder, and its name ready to be taken.
    app.mapfeed.DgnFileTxt.userTypes(project.filePath(QStringLiteral("job/new.dgn")).toStdString());
    SeenDialog design;
    answerNextDialog(design, QString());
    app.mapfeed.Brw2Cmd.userClicks();
    EXPECT_EQ(QStringLiteral("Design file"), design.title);
    EXPECT_EQ(QDir(project.filePath(QStringLiteral("job"))).canonicalPath(), QDir(design.folder).canonicalPath());
}

namespace {

/// What a drag over `field` ends as: whether it was taken, and with which action.
struct DropOutcome {
    bool entered = false;
    bool dropped = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

DropOutcome drag(QWidget* field, const QMimeData& mime, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
    DropOutcome outcome;
    QDragEnterEvent enter(QPoint(5, 5), offered, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);  // what a file manager proposes without a modifier
    QApplication::sendEvent(field, &enter);
    outcome.entered = enter.isAccepted();
    if (!outcome.entered) return outcome;
    QDropEvent drop(QPointF(5, 5), offered, &mime, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(field, &drop);
    outcome.dropped = drop.isAccepted();
    outcome.action = drop.dropAction();
    return outcome;
}

}  // namespace

TEST_F(FileSelectionBinding, FileFieldsTakeOneLocalFileAsACopy) {
    auto* field = host.view(app.mapfeed)->findChild<QLineEdit*>(QStringLiteral("DgnFileTxt"));
    ASSERT_NE(nullptr, field);
    const QString file = project.filePath(QStringLiteral("new.dgn"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString other = project.filePath(QStringLiteral("other.dgn"));
    QFile(other).open(QIODevice::WriteOnly);

    struct Refused {
        const char* what;
        QList<QUrl> urls;
        QString text;
    };
    const Refused refused[] = {
        {"a folder", {QUrl::fromLocalFile(project.path())}, {}},
        {"a file that is not there", {QUrl::fromLocalFile(project.filePath(QStringLiteral("gone.dgn")))}, {}},
        {"a remote URL", {QUrl(QStringLiteral("http://example.org/a.dgn"))}, {}},
        {"two files", {QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)}, {}},
        {"plain text", {}, QStringLiteral("typed.dgn")},
    };
    for (const Refused& r : refused) {
        app.mapfeed.DgnFileTxt.userTypes("kept.dgn");
        QMimeData mime;
        if (!r.urls.isEmpty()) mime.setUrls(r.urls);
        if (!r.text.isEmpty()) mime.setText(r.text);
        const DropOutcome outcome = drag(field, mime);
        EXPECT_FALSE(outcome.entered) << r.what << ": the pointer shows no drop";
        EXPECT_EQ("kept.dgn", app.mapfeed.DgnFileTxt.text()) << r.what;
    }

    QMimeData onlyMove;
    onlyMove.setUrls({QUrl::fromLocalFile(file)});
    EXPECT_FALSE(drag(field, onlyMove, Qt::MoveAction).entered) << "a move is never taken";

    app.mapfeed.DgnFileTxt.userTypes("old text");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    mime.setText(QUrl::fromLocalFile(file).toString());
    const DropOutcome outcome = drag(field, mime);
    EXPECT_TRUE(outcome.dropped);
    EXPECT_EQ(Qt::CopyAction, outcome.action) << "the file manager keeps its file";
    EXPECT_EQ(file.toStdString(), app.mapfeed.DgnFileTxt.text()) << "the whole text replaced";
    EXPECT_EQ(file, field->text());
    EXPECT_EQ(Qt::LinkAction, drag(field, mime, Qt::LinkAction | Qt::MoveAction).action);
}

TEST_F(FileSelectionBinding, OtherFieldsTakeAFileAsItsPathAndTextAsQtDoes) {
    auto* table = host.view(app.mapfeed)->findChild<QLineEdit*>(QStringLiteral("TblnmTxt"));
    ASSERT_NE(nullptr, table);
    const QString file = project.filePath(QStringLiteral("roads.dbf"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    const DropOutcome outcome = drag(table, mime);
    EXPECT_TRUE(outcome.dropped);
    EXPECT_EQ(Qt::CopyAction, outcome.action);
    EXPECT_EQ(file.toStdString(), app.mapfeed.TblnmTxt.text()) << "the path, not a file: URL";
    EXPECT_EQ("-T", app.options.flag(7));

    app.mapfeed.TblnmTxt.userTypes("");
    QMimeData text;
    text.setText(QStringLiteral("roads"));
    EXPECT_TRUE(drag(table, text).dropped);
    EXPECT_EQ("roads", app.mapfeed.TblnmTxt.text());
}

TEST_F(FileSelectionBinding, NameThatIsNotValidTextIsNotTaken) {
    auto* field = host.view(app.mapfeed)->findChild<QLineEdit*>(QStringLiteral("InfileTxt"));
    app.mapfeed.InfileTxt.userTypes("kept.gen");
    QMimeData mime;
    mime.setUrls({QUrl::fromEncoded("file:///tmp/bad%FFname.gen")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
    EXPECT_EQ("kept.gen", app.mapfeed.InfileTxt.text());
}

TEST_F(FileSelectionBinding, LongPastedTextArrivesWhole) {
    auto* field = host.view(app.mapfeed)->findChild<QLineEdit*>(QStringLiteral("DgnFileTxt"));
    const QString mebibyte(1 << 20, QLatin1Char('d'));
    field->insert(mebibyte);  // what a paste does
    EXPECT_EQ(std::size_t{1} << 20, app.mapfeed.DgnFileTxt.text().size());
}

TEST_F(FileSelectionBinding, BytesOfANameThatIsNotValidTextOutliveAnEditUndone) {
    auto* field = host.view(app.mapfeed)->findChild<QLineEdit*>(QStringLiteral("InfileTxt"));
    const std::string picked = "/tmp/caf\xE9.gen";  // as Browse writes a Latin-1 name
    app.mapfeed.InfileTxt.setText(picked);
    field->end(false);
    QTest::keyClick(field, Qt::Key_X);
    EXPECT_NE(picked, app.mapfeed.InfileTxt.text());
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(picked, app.mapfeed.InfileTxt.text()) << "it looks as it did, so it names the same file";
}
