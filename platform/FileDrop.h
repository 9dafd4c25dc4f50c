#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QMimeData;
class QWidget;

namespace mapfeed {

/// The one local file a drag carries: a single `file:` URL naming an existing regular file
/// whose name survives the way to the command line. Empty for anything else (folders, remote
/// URLs, several files, plain text).
QString droppedLocalFile(const QMimeData* mime);

/// Makes `field` a file field: it takes only a drop of one local file, as a copy or a link,
/// never a move (the source must stay where it is), and hands it to `drop`, which replaces the
/// whole text. Every other drag is refused, so the pointer shows that nothing can be dropped.
void acceptFileDrops(QLineEdit* field, std::function<void(const QString&)> drop);

/// Every other line edit under `root` takes dropped text as Qt does, but a dropped local
/// `file:` URL arrives as its path, not as the URL, and as a copy.
void dropUrlsAsPaths(QWidget& root);

}  // namespace mapfeed
