#pragma once

#include <QIcon>

namespace mapfeed {

/// The program's own icon: a map sheet with a route and an arrow into a design file.
QIcon appIcon();

}  // namespace mapfeed
