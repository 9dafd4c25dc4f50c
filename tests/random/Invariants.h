#pragma once

#include <string>

namespace mapfeed {

class Application;
class RandomWorld;

/// Throws std::runtime_error, naming `event`, when the model breaks a promise of its rules:
/// the mslink controls follow the table name, the join's length, what each option slot can
/// hold, one instance per window, every record of the log whole.
void checkInvariants(Application& app, const RandomWorld& world, const std::string& event);

}  // namespace mapfeed
