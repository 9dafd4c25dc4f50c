#include "platform/FileNames.h"

#include <QFile>
#include <QFileInfo>

namespace mapfeed {

bool isFaithfulFileName(const QString& path) {
    if (!path.contains(QChar::ReplacementCharacter)) return true;
    // A name may really hold U+FFFD; then it round-trips and the file is found under it.
    return QFileInfo::exists(path) && QFile::decodeName(QFile::encodeName(path)) == path;
}

}  // namespace mapfeed
