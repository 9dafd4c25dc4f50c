#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "app/Application.h"
#include "platform/QtHost.h"
#include "platform/QtServices.h"

using namespace mapfeed;

class BrowseBinding : public ::testing::Test {
protected:
    BrowseBinding() : services(host), app(services, host) {
        previous = QDir::currentPath();
        for (const char* name : {"a.gen", "b.GEN", "c.dgn", "d.ulf"}) QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
        QDir(folder.path()).mkdir(QStringLiteral("sub"));
        QDir::setCurrent(folder.path());
        host.attach(app);
        app.start();
        app.dialogs.get<BrowseWindow>().show();
        view = host.view(app.dialogs.get<BrowseWindow>());
    }
    ~BrowseBinding() override { QDir::setCurrent(previous); }

    QComboBox* pattern() { return static_cast<QComboBox*>(view->widgetFor(app.dialogs.get<BrowseWindow>().ExtCmbo)); }
    QListView* files() { return static_cast<QListView*>(view->widgetFor(app.dialogs.get<BrowseWindow>().File1)); }
    QStringList shownFiles() {
        QStringList names;
        for (int row = 0; row < files()->model()->rowCount(); ++row)
            names << files()->model()->index(row, 0).data().toString();
        return names;
    }

    QTemporaryDir folder;
    QString previous;
    QtHost host;
    QtServices services;
    Application app;
    WindowView* view = nullptr;
};

TEST_F(BrowseBinding, ListsTheCurrentFolderThroughThePattern) {
    EXPECT_EQ((QStringList{"a.gen", "b.GEN"}), shownFiles());
    EXPECT_TRUE(files()->uniformItemSizes());

    pattern()->lineEdit()->selectAll();
    QTest::keyClicks(pattern()->lineEdit(), "*.dgn");
    EXPECT_EQ((QStringList{"c.dgn"}), shownFiles());
    emit pattern()->activated(3);  // "*.*"
    EXPECT_EQ((QStringList{"a.gen", "b.GEN", "c.dgn", "d.ulf"}), shownFiles());
}

TEST_F(BrowseBinding, ActivatingAFileDeliversItAndHides) {
    emit pattern()->activated(1);  // "*.dgn"
    const QModelIndex first = files()->model()->index(0, 0);
    files()->setCurrentIndex(first);
    EXPECT_EQ("c.dgn", app.dialogs.get<BrowseWindow>().File1.selected());
    emit files()->activated(first);
    EXPECT_EQ(QDir(folder.path()).absoluteFilePath(QStringLiteral("c.dgn")).toStdString(), app.mapfeed.DgnFileTxt.text());
    EXPECT_FALSE(view->isVisible());
}

TEST_F(BrowseBinding, OpeningAFolderMovesTheFileList) {
    auto* folders = static_cast<QListView*>(view->widgetFor(app.dialogs.get<BrowseWindow>().Dir1));
    const int rows = folders->model()->rowCount();
    ASSERT_GT(rows, 0);
    const QModelIndex sub = folders->model()->index(rows - 1, 0);
    EXPECT_EQ(QStringLiteral("sub"), sub.data().toString().trimmed());
    emit folders->activated(sub);
    EXPECT_EQ(QDir(folder.path()).absoluteFilePath(QStringLiteral("sub")).toStdString(), app.dialogs.get<BrowseWindow>().File1.path());
    EXPECT_TRUE(shownFiles().isEmpty());
}

TEST_F(BrowseBinding, FocusOnTheFileListPicksNothing) {
    QApplication::setActiveWindow(view);
    files()->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ("", app.dialogs.get<BrowseWindow>().File1.selected());
    app.dialogs.get<BrowseWindow>().OkCmd.userClicks();
    EXPECT_EQ(QDir(folder.path()).absolutePath().toStdString() + "/", app.mapfeed.InfileTxt.text());
}
