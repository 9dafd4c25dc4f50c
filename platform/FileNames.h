#pragma once

#include <QString>

namespace mapfeed {

/// Whether a file name that Qt hands over as text still names the file on disk. Names on
/// this platform are bytes; one that is not valid in the system's encoding reaches Qt with
/// replacement characters, and encoding it back gives other bytes: such a name would name
/// another file, or none, on the converter's command line.
bool isFaithfulFileName(const QString& path);

}  // namespace mapfeed
