#include "platform/BrowseBinding.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QListView>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyle>
#include <functional>

#include "browse/BrowseLists.h"
#include "platform/ControlLifetime.h"

namespace mapfeed {

namespace {

/// The entries of a model list, shown through `display`.
class NameListModel : public QAbstractListModel {
public:
    using Display = std::function<QVariant(const std::vector<std::string>&, int row, int role)>;

    NameListModel(QObject* parent, Display display) : QAbstractListModel(parent), display_(std::move(display)) {}

    void setEntries(const std::vector<std::string>& entries) {
        if (entries == entries_) return;
        beginResetModel();
        entries_ = entries;
        endResetModel();
    }
    const std::vector<std::string>& entries() const { return entries_; }

    int row(const std::string& entry) const {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i] == entry) return static_cast<int>(i);
        return -1;
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= static_cast<int>(entries_.size())) return {};
        return display_(entries_, index.row(), role);
    }

private:
    Display display_;
    std::vector<std::string> entries_;
};

QString qt(const std::string& text) { return QString::fromStdString(text); }

void prepare(QListView* view, NameListModel* model) {
    view->setModel(model);
    // Long names scroll sideways instead of being cut short.
    view->setTextElideMode(Qt::ElideNone);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setUniformItemSizes(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void selectRow(QListView* view, int row) {
    const QSignalBlocker blocker(view->selectionModel());
    if (row < 0) {
        view->selectionModel()->clearSelection();
        view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
}

}  // namespace

void bindDriveList(DriveList& drives, QComboBox* widget) {
    widget->setEditable(false);
    QPointer<QComboBox> guard(widget);
    auto sync = whileAlive(drives, [&drives, guard] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        guard->clear();
        for (const std::string& drive : drives.entries()) guard->addItem(qt(drive));
        guard->setCurrentIndex(guard->findText(qt(drives.drive())));
        guard->setEnabled(drives.enabled());
    });
    sync();
    drives.onStateChanged = sync;
    QObject::connect(widget, &QComboBox::activated, widget, whileAlive(drives, [&drives, guard, sync](int index) {
        if (!guard || index < 0) return;
        drives.userPicks(guard->itemText(index).toStdString());
        sync();
    }));
}

void bindFolderList(FolderList& folders, QListView* widget) {
    // The chain reads like an indented outline: each folder by its own name, the root as "/".
    auto* model = new NameListModel(widget, whileAlive(folders, [&folders, widget](const std::vector<std::string>& entries, int row, int role)
                                                -> QVariant {
        const std::string& path = entries[row];
        const bool inChain = static_cast<std::size_t>(row) < folders.chainLength();
        const int depth = inChain ? row : static_cast<int>(folders.chainLength());
        if (role == Qt::DisplayRole) {
            const std::size_t slash = path.find_last_of('/');
            const std::string name = path == "/" ? "/" : path.substr(slash + 1);
            return QString(depth * 2, QLatin1Char(' ')) + qt(name);
        }
        if (role == Qt::DecorationRole)
            return widget->style()->standardIcon(inChain ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon);
        if (role == Qt::ToolTipRole) return qt(path);
        return {};
    }));
    prepare(widget, model);
    QPointer<QListView> guard(widget);
    auto sync = whileAlive(folders, [&folders, guard, model] {
        if (!guard) return;
        model->setEntries(folders.entries());
        selectRow(guard, static_cast<int>(folders.chainLength()) - 1);
        guard->setEnabled(folders.enabled());
    });
    sync();
    folders.onStateChanged = sync;
    QObject::connect(widget, &QListView::activated, widget, whileAlive(folders, [&folders, model, sync](const QModelIndex& index) {
        if (!index.isValid()) return;
        folders.userOpens(model->entries().at(index.row()));
        sync();
    }));
}

void bindFileList(FileList& files, QListView* widget) {
    auto* model = new NameListModel(widget, [](const std::vector<std::string>& entries, int row, int role) -> QVariant {
        if (role == Qt::DisplayRole) return qt(entries[row]);
        return {};
    });
    prepare(widget, model);
    QPointer<QListView> guard(widget);
    auto sync = whileAlive(files, [&files, guard, model] {
        if (!guard) return;
        model->setEntries(files.entries());
        selectRow(guard, files.selected().empty() ? -1 : model->row(files.selected()));
        guard->setEnabled(files.enabled());
    });
    sync();
    files.onStateChanged = sync;
    // A selection is the user's pick; the current item alone is not (focus sets one).
    QObject::connect(widget->selectionModel(), &QItemSelectionModel::selectionChanged, widget,
                     whileAlive(files, [&files, model, guard] {
                         if (!guard) return;
                         const QModelIndexList picked = guard->selectionModel()->selectedIndexes();
                         if (!picked.isEmpty()) files.userPicks(model->entries().at(picked.constFirst().row()));
                     }));
    QObject::connect(widget, &QListView::activated, widget, whileAlive(files, [&files, model, sync](const QModelIndex& index) {
        if (!index.isValid()) return;
        files.userDoubleClicks(model->entries().at(index.row()));
        sync();
    }));
}

}  // namespace mapfeed
