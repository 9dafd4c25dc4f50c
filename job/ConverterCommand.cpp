#include "job/ConverterCommand.h"

#include "job/ArgumentSplit.h"

namespace mapfeed {

namespace {

void appendPath(const MarkedPath& file, std::vector<std::string>& into) {
    into.push_back(file.path);
    if (file.marked) into.emplace_back("-+");
}

}  // namespace

ConverterCommand composeConverterCommand(const OptionTable& options, const JobFields& fields) {
    ConverterCommand command;
    command.commandLine = composeCommandLine(options, fields);

    const MarkedPath input = splitSuffixMarker(fields.infile);
    const MarkedPath design = splitSuffixMarker(fields.dgnfile);
    command.inputPath = input.path;
    command.designPath = design.path;

    std::vector<std::string>& args = command.arguments;
    args = splitCommandLine(kCommandHead);  // perl -S mapfeed.pl -I
    appendPath(input, args);
    args.emplace_back("-D");
    appendPath(design, args);
    for (int slot = 0; slot < OptionTable::kSlots; ++slot)
        appendSplitArguments(" " + options.flag(slot) + " " + options.value(slot), args);
    if (input.marked || design.marked) args.emplace_back("-+");
    return command;
}

}  // namespace mapfeed
