#pragma once

#include <QIcon>

namespace mapfeed {

/// The program's own icon: a map sheet with a route and an arrow into a design file, at six
/// sizes. Drawn at the first call; later calls share it.
QIcon appIcon();

}  // namespace mapfeed
