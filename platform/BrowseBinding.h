#pragma once

class QComboBox;
class QListView;

namespace mapfeed {

class DriveList;
class FileList;
class FolderList;

/// The Browse window's lists. The file list is a QListView over a model with uniform item
/// sizes, so a folder of 100,000 files lists and scrolls without a widget per name.
void bindDriveList(DriveList& model, QComboBox* widget);
void bindFolderList(FolderList& model, QListView* widget);
void bindFileList(FileList& model, QListView* widget);

}  // namespace mapfeed
