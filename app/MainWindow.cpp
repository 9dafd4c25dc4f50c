#include "app/MainWindow.h"

#include "dialogs/CellOptionsDialog.h"
#include "dialogs/RasterInfoDialog.h"
#include "dialogs/SymbologyDialog.h"
#include "dialogs/TextSymbologyDialog.h"
#include "job/RunRecord.h"

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace mapfeed {

namespace {

// The filter strings of the two open-file dialogs. "Design Files" and "(*.dgn)" stand together
// without a blank on purpose: that is the label users know.
constexpr const char* kFilterHead = "All Files (*.*)|*.*|Design Files";
const std::string kInputFilter =
    std::string(kFilterHead) + "(*.dgn)|*.dgn|ULF Files (*.ulf)|*.ulf|ARC Export Files (*.gen)|*.gen";
const std::string kDesignFilter = std::string(kFilterHead) + "(*.dgn)|*.dgn";

// The existence test could not be made: the file's folder did not answer in time.
std::string noAnswerMessage(const char* which) {
    return std::string("The ") + which +
           " file could not be looked at: the folder it is in does not answer (a network share that is slow or "
           "out of reach?). Press Apply again when it answers.";
}

/// The first character of `text` that the command line cannot carry, in words; empty when none.
std::string refusedCharacterIn(const std::string& text) {
    const std::optional<char32_t> found = firstUncarriedCharacter(text);
    if (!found) return {};
    const char32_t code = *found;
    if (code == '\r' || code == '\n') return "a line break";
    if (breaksLine(code)) {
        // Invisible in most fonts: the code lets the user find it.
        char name[8];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
        return std::string("a line break (") + name + ")";
    }
    if (code == 0) return "a NUL character";
    return "a control character (code " + std::to_string(static_cast<unsigned>(code)) + ")";
}

/// A field as the user knows it: by the caption of its label, without the trailing colon.
std::string fieldName(const TextField& field) {
    const auto* label = dynamic_cast<const Label*>(field.namedBy);
    std::string name = label ? label->caption() : field.name();
    while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.pop_back();
    return "\"" + name + "\"";
}

constexpr const char* kCannotCarry = ", which the command line cannot carry. ";

// Flag of the open-file dialog that hides its read-only check box.
constexpr int kHideReadOnly = 4;

}  // namespace

MainWindow::MainWindow(WindowHost& host, OptionTable& options, Services& services, DialogTable& dialogs)
    : Window(host, "mapfeed", " Orlith Mapfeed", 7665, 6540), options_(options), services_(services), dialogs_(dialogs) {
    layOut();
    connectRules();
}

void MainWindow::layOut() {
    place(InputFrm, nullptr, 120, 240, 3615, 4575, 0);
    place(Label1, &InputFrm, 120, 360, 2775, 375, 16);
    place(InfileTxt, &InputFrm, 90, 600, 2415, 375, 1);
    place(BrwCmd, &InputFrm, 2640, 600, 855, 375, 2);
    place(Label2, &InputFrm, 120, 1080, 2415, 375, 17);
    place(DgnFileTxt, &InputFrm, 120, 1320, 2415, 375, 3);
    place(Brw2Cmd, &InputFrm, 2640, 1320, 855, 375, 4);
    place(Label5, &InputFrm, 120, 2640, 1455, 255, 19);
    place(SrcCmb, &InputFrm, 1200, 2640, 1695, 315, 5);
    place(Label6, &InputFrm, 120, 3120, 1575, 255, 24);
    place(ThemeCmb, &InputFrm, 1200, 3120, 2175, 315, 6);

    place(OutputFrm, nullptr, 3840, 240, 3615, 5775, 14);
    place(Label12, &OutputFrm, 120, 600, 2175, 255, 31);
    place(LineOpt, &OutputFrm, 600, 960, 1095, 375, 28);
    place(CrvOpt, &OutputFrm, 1920, 960, 1455, 375, 7);
    place(Label9, &OutputFrm, 600, 1455, 2175, 255, 29);
    place(Outlevtxt, &OutputFrm, 2400, 1440, 615, 285, 8);
    place(Label11, &OutputFrm, 600, 1920, 2055, 255, 30);
    place(LinsymCmd, &OutputFrm, 2400, 1920, 615, 255, 27);
    place(Label13, &OutputFrm, 120, 2400, 2175, 375, 32);
    place(Label10, &OutputFrm, 480, 2760, 1575, 255, 25);
    place(CentrCmb, &OutputFrm, 2160, 2760, 1215, 315, 9);
    place(Label3, &OutputFrm, 480, 3240, 2895, 375, 18);
    place(CentrTxt, &OutputFrm, 2880, 3240, 495, 285, 10);
    place(Label8, &OutputFrm, 480, 3720, 2055, 255, 23);
    place(PntsymCmd, &OutputFrm, 2280, 3720, 615, 255, 11);
    place(RasterChck, &OutputFrm, 480, 4080, 2895, 615, 33);
    place(Label4, &OutputFrm, 120, 4800, 1695, 375, 22);
    place(TblnmTxt, &OutputFrm, 1800, 4800, 1695, 285, 12);
    place(Label7, &OutputFrm, 120, 5280, 1815, 255, 26);
    place(Mslinktxt, &OutputFrm, 1800, 5280, 735, 285, 13);

    place(Frame3, nullptr, 120, 5160, 3615, 855, 15);
    place(ApplyCmd, &Frame3, 120, 360, 975, 375, 20);
    place(CloseCmd, &Frame3, 1320, 360, 975, 375, 21);
    place(ClearCmd, &Frame3, 2520, 360, 975, 375, 34);

    for (Control* bold : std::initializer_list<Control*>{&InputFrm, &OutputFrm, &BrwCmd, &Brw2Cmd, &Label12, &Label13,
                                                         &ApplyCmd, &CloseCmd, &ClearCmd})
        bold->bold = true;
    // Each field and list is named by the label beside it; the "set" buttons by the row they
    // sit in, since "set" alone says nothing.
    for (auto [control, label] : std::initializer_list<std::pair<Control*, Label*>>{
             {&InfileTxt, &Label1}, {&DgnFileTxt, &Label2}, {&SrcCmb, &Label5}, {&ThemeCmb, &Label6},
             {&Outlevtxt, &Label9}, {&LinsymCmd, &Label11}, {&CentrCmb, &Label10}, {&CentrTxt, &Label3},
             {&PntsymCmd, &Label8}, {&TblnmTxt, &Label4}, {&Mslinktxt, &Label7}})
        control->namedBy = label;
    BrwCmd.accessibleName = "browse for the input file";
    Brw2Cmd.accessibleName = "browse for the design file";
    InfileTxt.acceptsFileDrops = true;
    DgnFileTxt.acceptsFileDrops = true;
    Label7.toolTip = "Enter a -i to use the cover-id as the inital mslink value";
    LineOpt.select();
}

void MainWindow::connectRules() {
    ApplyCmd.onClick = [this] { ApplyCmd_Click(); };
    CloseCmd.onClick = [this] { CloseCmd_Click(); };
    ClearCmd.onClick = [this] { ClearCmd_Click(); };
    SrcCmb.onClick = [this] { SrcCmb_Click(); };
    ThemeCmb.onClick = [this] { ThemeCmb_Click(); };
    TblnmTxt.onChange = [this] { TblnmTxt_Change(); };
    BrwCmd.onClick = [this] { BrwCmd_Click(); };
    Brw2Cmd.onClick = [this] { Brw2Cmd_Click(); };
    BrwCmd.onMouseMove = [this] { BrwCmd_MouseMove(); };
    Brw2Cmd.onMouseMove = [this] { Brw2Cmd_MouseMove(); };
    InputFrm.onMouseMove = [this] { InputFrm_MouseMove(); };
    LinsymCmd.onClick = [this] { LinsymCmd_Click(); };
    PntsymCmd.onClick = [this] { PntsymCmd_Click(); };
    CentrCmb.onClick = [this] { CentrCmb_Click(); };
    RasterChck.onClick = [this] { RasterChck_Click(); };
}

void MainWindow::Form_Load() {
    for (const char* source : {"Arc/Info", "Etak Map Base", "MOSS", "X,Y"}) SrcCmb.addItem(source);
    SrcCmb.setText(SrcCmb.entry(0));
    for (const char* theme : {"Area - polygons", "Area - lines & centroids", "Linear", "Point"}) ThemeCmb.addItem(theme);
    ThemeCmb.setText(ThemeCmb.entry(1));
    for (const char* type : {"Point", "Textnode", "Annotation", "Cells"}) CentrCmb.addItem(type);
    Label4.setCaption(std::string("Centroid ") + "Table Name:");
    CentrCmb.setText(CentrCmb.entry(0));
    Mslinktxt.setEnabled(false);
    Label7.setEnabled(false);
}

void MainWindow::ClearCmd_Click() {
    SrcCmb.setText(SrcCmb.entry(0));
    ThemeCmb.setText(ThemeCmb.entry(0));
    CentrCmb.setText(CentrCmb.entry(0));
    for (TextField* field : {&CentrTxt, &DgnFileTxt, &InfileTxt, &Mslinktxt, &Outlevtxt}) field->setText("");
    RasterChck.setValue(0);
    TblnmTxt.setText("");
    LineOpt.select();
    // Every dialog is reset, made hidden first if it was never opened.
    for (OptionDialog* dialog : dialogs_.optionDialogs()) dialog->clearFromMainWindow();
    for (Control* control : std::initializer_list<Control*>{&LineOpt, &CrvOpt, &Label9, &Outlevtxt, &Label11, &Label3,
                                                            &CentrTxt, &Label10, &CentrCmb, &Label8, &PntsymCmd,
                                                            &LinsymCmd, &Label12, &Label13, &RasterChck})
        control->setEnabled(true);
    options_.ClearAllOptions();
}

void MainWindow::CloseCmd_Click() { services_.quit(); }

JobFields MainWindow::jobFields() const {
    JobFields f;
    f.infile = InfileTxt.text();
    f.dgnfile = DgnFileTxt.text();
    f.centrCmbEnabled = CentrCmb.enabled();
    f.centrCmbText = CentrCmb.text();
    f.curvesSelected = CrvOpt.selected();
    f.outlevEnabled = Outlevtxt.enabled();
    f.outlev = Outlevtxt.text();
    f.centrTxtEnabled = CentrTxt.enabled();
    f.centrLevel = CentrTxt.text();
    f.mslink = Mslinktxt.text();
    f.tableName = TblnmTxt.text();
    f.source = SrcCmb.text();
    return f;
}

void MainWindow::ApplyCmd_Click() {
    const JobFields fields = jobFields();
    testedInputPath_ = splitSuffixMarker(fields.infile).path;
    testedDesignPath_ = splitSuffixMarker(fields.dgnfile).path;

    // Both are tested before either is reported, unless the input's folder did not answer:
    // its message wins whatever the design file's test would find, so the user does not wait
    // for that test too.
    const FileCheck input = services_.checkFile(testedInputPath_);
    const FileCheck design = input == FileCheck::NoAnswer ? FileCheck::Missing : services_.checkFile(testedDesignPath_);
    if (input != FileCheck::Exists) {
        services_.messageBox(input == FileCheck::NoAnswer ? noAnswerMessage("input") : "The Input File Does Not Exist",
                             MessageButtons::Ok);
        setFocus(InfileTxt);
        return;
    }
    if (design != FileCheck::Exists) {
        services_.messageBox(
            design == FileCheck::NoAnswer ? noAnswerMessage("design") : "The Design File Does Not Exist",
            MessageButtons::Ok);
        setFocus(DgnFileTxt);
        return;
    }

    // Nothing is started and nothing written while any text holds a character that the
    // command line cannot carry.
    if (refuseUncarriedText(derivedOptions(options_, fields))) return;

    deriveOptions(options_, fields);
    runConverter(composeConverterCommand(options_, fields));
}

bool MainWindow::refuseUncarriedText(const OptionTable& trial) {
    // The main window's own fields, in the order they reach the command line.
    const std::pair<TextField*, std::optional<Slot>> ownFields[] = {
        {&InfileTxt, std::nullopt},    {&DgnFileTxt, std::nullopt}, {&Outlevtxt, Slot::LineworkLevel},
        {&CentrTxt, Slot::PointLevel}, {&TblnmTxt, Slot::Table},    {&Mslinktxt, Slot::Mslink}};
    for (auto [field, slot] : ownFields) {
        // A field reaches the command line only through its slot, if it has one.
        const std::string what = refusedCharacterIn(slot ? trial.value(*slot) : field->text());
        if (what.empty()) continue;
        const std::string refusal = "The field " + fieldName(*field) + " holds " + what + kCannotCarry;
        // Of the fields that reach the command line only the mslink field can be disabled
        // while it does (the theme "Point" disables it and leaves its text), and a disabled
        // field takes no typing: the user is sent to the field that enables it again.
        if (field == &Mslinktxt && !field->enabled()) {
            services_.messageBox(refusal + "The field is disabled: edit the table name in " + fieldName(TblnmTxt) +
                                     " to enable it again (that also sets it to 1), then press Apply again.",
                                 MessageButtons::Ok);
            setFocus(TblnmTxt);
            return true;
        }
        services_.messageBox(refusal + "Remove it, then press Apply again.", MessageButtons::Ok);
        setFocus(*field);
        return true;
    }

    // The slots the dialogs write: the dialog and the fields its value came from.
    for (int slot = 0; slot < OptionTable::kSlots; ++slot) {
        const std::string what = refusedCharacterIn(trial.flag(slot) + trial.value(slot));
        if (what.empty()) continue;
        OptionDialog* dialog = dialogs_.writerOf(static_cast<Slot>(slot));
        if (!dialog) {
            services_.messageBox("The option \"" + trial.flag(slot) + "\" holds " + what + kCannotCarry +
                                     "Press Clear to start the job afresh.",
                                 MessageButtons::Ok);
            return true;
        }
        const std::vector<TextField*> fields = dialog->fieldsOf(static_cast<Slot>(slot));
        const std::string window = "the window \"" + dialog->title() + "\"";
        TextField* culprit = nullptr;
        for (TextField* field : fields)
            if (!refusedCharacterIn(field->text()).empty()) culprit = culprit ? culprit : field;
        if (culprit) {
            // Named as it holds it now, which may differ from what was applied.
            services_.messageBox("The field " + fieldName(*culprit) + " of " + window + " holds " +
                                     refusedCharacterIn(culprit->text()) +
                                     kCannotCarry +
                                     "Remove it there and press that window's Apply, then press Apply here again.",
                                 MessageButtons::Ok);
        } else {
            // Edited since, or the window was closed and made afresh: the slot still holds what was applied.
            services_.messageBox("The option \"" + trial.flag(slot) + "\" that " + window + " applied holds " + what +
                                     kCannotCarry + "Press that window's Apply again, then press Apply here again.",
                                 MessageButtons::Ok);
        }
        // Back to where it can be mended.
        dialog->show();
        dialog->setFocus(culprit ? *culprit : *fields.front());
        return true;
    }
    return false;
}

std::string MainWindow::previewCommandLine() const {
    const JobFields fields = jobFields();
    return composeCommandLine(derivedOptions(options_, fields), fields);
}

void MainWindow::runConverter(const ConverterCommand& command) {
    const StartResult start = services_.startProcess(command);
    if (!start.started) {
        services_.messageBox("The converter could not be started: " + start.error, MessageButtons::Ok);
        return;
    }
    // The date is taken after the start, so the record tells when the run began.
    const std::string record = formatRunRecord(services_.dateTimeText(), command.commandLine, start.taskId);
    if (auto failure = services_.appendRunLog(record)) {
        services_.messageBox("The converter was started (task " + std::to_string(start.taskId) +
                                 "), but its record could not be added to " + kRunLogName + ": " + *failure,
                             MessageButtons::Ok);
    }
}

void MainWindow::SrcCmb_Click() {
    // One test per source, each reading the shown text afresh.
    if (SrcCmb.text() == "Etak Map Base") options_.SetOption(Slot::Source, "-S", "E");
    if (SrcCmb.text() == "X,Y") options_.SetOption(Slot::Source, "-S", "X");
    if (SrcCmb.text() == "MOSS") options_.SetOption(Slot::Source, "-S", "M");
    if (SrcCmb.text() == "Arc/Info") options_.SetOption(Slot::Source, "-S", "A");
}

void MainWindow::setLineworkEnabled(bool enabled) {
    for (Control* control :
         std::initializer_list<Control*>{&LineOpt, &CrvOpt, &Label9, &Outlevtxt, &Label11, &LinsymCmd, &Label12})
        control->setEnabled(enabled);
}

void MainWindow::setPointControlsEnabled(bool enabled) {
    for (Control* control : std::initializer_list<Control*>{&Label3, &CentrTxt, &Label10, &CentrCmb, &Label8,
                                                            &PntsymCmd, &Label13, &RasterChck})
        control->setEnabled(enabled);
}

void MainWindow::ThemeCmb_Click() {
    struct ThemeRow {
        const char* theme;
        const char* letter;
        const char* prefix;
        bool linework;
        bool points;
    };
    static constexpr ThemeRow kRows[] = {
        {"Point", "P", "Point ", false, true},
        {"Linear", "L", "Linear ", true, false},
        {"Area - lines & centroids", "L", "Centroid ", true, true},
        {"Area - polygons", "A", "Centroid ", true, true},
    };

    std::string prefix;
    const std::string theme = ThemeCmb.text();
    for (const ThemeRow& row : kRows) {
        if (theme != row.theme) continue;
        options_.SetOption(Slot::Theme, "-P", row.letter);
        prefix = row.prefix;
        if (theme == "Point") Mslinktxt.setEnabled(false);
        setLineworkEnabled(row.linework);
        setPointControlsEnabled(row.points);
        break;
    }
    Label4.setCaption(prefix + "Table Name:");
}

void MainWindow::TblnmTxt_Change() {
    if (!TblnmTxt.text().empty()) {
        options_.SetOptionFlag(Slot::Table, "-T");
        options_.SetOptionValue(Slot::Table, TblnmTxt.text());
        Mslinktxt.setEnabled(true);
        Mslinktxt.setText("1");
        Label7.setEnabled(true);
        return;
    }
    options_.ClearOption(Slot::Table);
    Mslinktxt.setText("");
    Mslinktxt.setEnabled(false);
    Label7.setEnabled(false);
}

void MainWindow::pickFile(Button& button, OpenFileDialog& dialog, const std::string& filter, int filterIndex,
                          TextField& target) {
    button.setCaptionBold(true);
    const std::string project = services_.environment("ACTIVEPROJECT");
    if (!project.empty()) dialog.initialDir = project;
    dialog.flags = kHideReadOnly;
    dialog.filter = filter;
    dialog.filterIndex = filterIndex;
    // The dialog opens on the file the field names, so a second pick starts from the first.
    dialog.fileName = splitSuffixMarker(target.text()).path;
    if (auto chosen = services_.showOpenFile(dialog)) {
        // A new design file is made empty, which the converter fills with a header of its own.
        if (&target == &DgnFileTxt && services_.checkFile(*chosen) == FileCheck::Missing)
            if (auto failure = services_.createEmptyFile(*chosen))
                services_.messageBox("The design file " + *chosen + " could not be made: " + *failure + ".",
                                     MessageButtons::Ok);
        target.setText(*chosen);
    }
    button.setCaptionBold(false);
}

void MainWindow::BrwCmd_Click() { pickFile(BrwCmd, CommonDialog1, kInputFilter, 1, InfileTxt); }

void MainWindow::Brw2Cmd_Click() { pickFile(Brw2Cmd, CommonDialog2, kDesignFilter, 2, DgnFileTxt); }

void MainWindow::BrwCmd_MouseMove() { BrwCmd.setCaptionBold(true); }

void MainWindow::Brw2Cmd_MouseMove() { Brw2Cmd.setCaptionBold(true); }

void MainWindow::InputFrm_MouseMove() {
    BrwCmd.setCaptionBold(false);
    Brw2Cmd.setCaptionBold(false);
}

void MainWindow::LinsymCmd_Click() { dialogs_.get<LineSymbologyDialog>().show(); }

void MainWindow::PntsymCmd_Click() { dialogs_.get<PointSymbologyDialog>().show(); }

void MainWindow::CentrCmb_Click() {
    // Three independent tests: every pick empties the text options, even a pick of a text type,
    // whose dialog then writes them again on its own "Apply".
    auto clearTextOptions = [this] {
        for (Slot slot : {Slot::Font, Slot::TextSize, Slot::Justification}) options_.ClearOption(slot);
    };
    if (CentrCmb.text() == "Annotation")
        dialogs_.get<TextSymbologyDialog>().show();
    else
        clearTextOptions();
    if (CentrCmb.text() == "Textnode")
        dialogs_.get<TextSymbologyDialog>().show();
    else
        clearTextOptions();
    if (CentrCmb.text() == "Cells") {
        dialogs_.get<CellOptionsDialog>().show();
    } else {
        options_.ClearOption(Slot::CellLibrary);
        options_.ClearOption(Slot::CellName);
    }
}

void MainWindow::RasterChck_Click() {
    if (RasterChck.value() != 0)
        dialogs_.get<RasterInfoDialog>().show();
    else
        options_.ClearOption(Slot::Raster);
}

}  // namespace mapfeed
