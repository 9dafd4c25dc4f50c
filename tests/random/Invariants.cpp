#include "tests/random/Invariants.h"

#include <set>
#include <stdexcept>

#include "app/Application.h"
#include "job/CommandComposition.h"
#include "tests/random/RandomWorld.h"

namespace mapfeed {

namespace {

struct Check {
    const std::string& event;
    void operator()(bool holds, const std::string& what) const {
        if (!holds) throw std::runtime_error("after \"" + event + "\": " + what);
    }
};

bool empty(const OptionTable& t, int slot) { return t.flag(slot).empty() && t.value(slot).empty(); }
bool blank(const OptionTable& t, int slot) { return t.flag(slot) == " " && t.value(slot) == " "; }
bool set(const OptionTable& t, int slot, const char* flag) { return t.flag(slot) == flag; }
bool oneOf(const std::string& value, std::initializer_list<const char*> allowed) {
    for (const char* a : allowed)
        if (value == a) return true;
    return false;
}
std::size_t commas(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == ',';
    return n;
}

void checkSlots(const OptionTable& t, const Check& check) {
    for (int slot : {0, 1, 2, 18, 19, 20, 21, 22, 23, 24, 25}) check(empty(t, slot), "spare slot written");
    check(empty(t, 3) || (set(t, 3, "-S") && oneOf(t.value(3), {"E", "X", "M", "A"})), "slot 3");
    check(empty(t, 4) || (set(t, 4, "-P") && oneOf(t.value(4), {"P", "L", "A"})), "slot 4");
    check(empty(t, 5) || blank(t, 5) || (set(t, 5, "-L") && !t.value(5).empty()), "slot 5");
    check(empty(t, 6) || (set(t, 6, "-C ") && !t.value(6).empty()), "slot 6");
    check(empty(t, 8) || (set(t, 8, "-M") && !t.value(8).empty()), "slot 8");
    check(oneOf(t.flag(9), {"", "-O"}) && oneOf(t.value(9), {"", "P", "A", "T", "C"}), "slot 9");
    check(oneOf(t.flag(11), {"", "-c", " "}) && t.value(11).empty(), "slot 11");
    check(empty(t, 12) || (set(t, 12, "-ce") && !t.value(12).empty()), "slot 12");
    check(empty(t, 13) || (set(t, 13, "-cn") && !t.value(13).empty()), "slot 13");
    check(empty(t, 10) || blank(t, 10) || (set(t, 10, "-sl") && commas(t.value(10)) >= 2), "slot 10");
    check(empty(t, 14) || blank(t, 14) || (set(t, 14, "-sp") && commas(t.value(14)) >= 2), "slot 14");
    check(empty(t, 15) || blank(t, 15) || (set(t, 15, "-f") && !t.value(15).empty()), "slot 15");
    check(empty(t, 16) || blank(t, 16) || (set(t, 16, "-txsz") && !t.value(16).empty()), "slot 16");
    check(empty(t, 17) || blank(t, 17) || (set(t, 17, "-J") && !t.value(17).empty()), "slot 17");
    check(empty(t, 26) || (set(t, 26, "-R") && commas(t.value(26)) >= 2), "slot 26");
}

}  // namespace

void checkInvariants(Application& app, const RandomWorld& world, const std::string& event) {
    const Check check{event};
    const MainWindow& m = app.mapfeed;
    const OptionTable& t = app.options;

    if (m.TblnmTxt.text().empty()) {
        check(m.Mslinktxt.text().empty() && !m.Mslinktxt.enabled() && !m.Label7.enabled() && empty(t, 7),
              "mslink controls on without a table name");
    } else {
        check(set(t, 7, "-T") && t.value(7) == m.TblnmTxt.text() && m.Label7.enabled(),
              "table slot or mslink label out of step with the table name");
    }

    std::size_t strings = 0;
    for (int slot = 0; slot < OptionTable::kSlots; ++slot) strings += t.flag(slot).size() + t.value(slot).size();
    check(t.JoinOptions("head").size() == 4 + 54 + strings, "join length");
    checkSlots(t, check);

    std::set<std::string> names;
    for (Window* window : app.windows()) check(names.insert(window->name()).second, "two windows " + window->name());

    check(world.brokenRecord.empty(), "a log record that is not three whole lines: " + world.brokenRecord);
    check(world.wrongArguments.empty(), "a start without the tested files as arguments: " + world.wrongArguments);
}

}  // namespace mapfeed
