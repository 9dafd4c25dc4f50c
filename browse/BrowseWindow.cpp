#include "browse/BrowseWindow.h"

namespace mapfeed {

namespace {

// The join always inserts one separator, so the root folder gives two in a row.
constexpr char kSeparator = '/';

}  // namespace

BrowseWindow::BrowseWindow(WindowHost& host, FolderServices& folders, MessageBoxes& messages, Delivery delivery)
    : Window(host, kName, "Browse", 3855, 3720),
      Drive1(*this, "Drive1"),
      Dir1(*this, "Dir1", folders, messages),
      File1(*this, "File1", folders, messages),
      delivery_(std::move(delivery)) {
    place(Drive1, nullptr, 120, 240, 1695, 315, 5);
    place(Dir1, nullptr, 120, 720, 1695, 2115, 1);
    place(File1, nullptr, 2040, 240, 1695, 2175, 0);
    place(OkCmd, nullptr, 120, 3120, 735, 375, 3);
    place(EndCmd, nullptr, 1080, 3120, 735, 375, 4);
    place(ExtCmbo, nullptr, 2160, 3120, 1335, 315, 2);
    Drive1.accessibleName = "Drives";
    Dir1.accessibleName = "Folders";
    File1.accessibleName = "Files";
    ExtCmbo.accessibleName = "File name pattern";

    // The lists start at the current drive and folder, before any rule is tied to them.
    const std::string here = folders.currentFolder();
    const DriveScan scan = folders.drives();
    if (!scan.silent.empty()) {
        std::string silent;
        for (const std::string& drive : scan.silent) silent += (silent.empty() ? "" : ", ") + drive;
        messages.messageBox("The drive " + silent + kDoesNotAnswer + " and is left out of the list of drives.",
                            MessageButtons::Ok);
    }
    Drive1.setEntries(scan.drives, scan.drives.empty() ? "/" : scan.drives.front());
    Dir1.setPath(here);
    File1.setPath(here);

    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    ExtCmbo.onChange = [this] { ExtCmbo_Change(); };
    ExtCmbo.onClick = [this] { ExtCmbo_Click(); };
    File1.onDblClick = [this] { File1_DblClick(); };
    OkCmd.onClick = [this] { OkCmd_Click(); };
    EndCmd.onClick = [this] { EndCmd_Click(); };
    Form_Load();
}

void BrowseWindow::Form_Load() {
    for (const char* pattern : {"*.gen", "*.dgn", "*.ulf", "*.*"}) ExtCmbo.addItem(pattern);
    ExtCmbo.setText(ExtCmbo.entry(0));
    File1.setPattern(ExtCmbo.entry(0));
}

void BrowseWindow::Drive1_Change() { Dir1.setPath(Drive1.drive()); }

void BrowseWindow::Dir1_Change() { File1.setPath(Dir1.path()); }

void BrowseWindow::ExtCmbo_Change() { File1.setPattern(ExtCmbo.text()); }

void BrowseWindow::ExtCmbo_Click() { File1.setPattern(ExtCmbo.text()); }

void BrowseWindow::deliverSelection() {
    const std::string& name = File1.selected();
    // Exact and case-sensitive, and no dot is looked for: "olddgn" counts, "X.DGN" does not.
    // Cell libraries are told apart the same way.
    const std::string tail = name.size() < 3 ? name : name.substr(name.size() - 3);
    const std::string path = File1.path() + kSeparator + name;
    if (tail == "cel")
        delivery_.toCellLibrary(path);
    else if (tail == "dgn")
        delivery_.toDesignFile(path);
    else
        delivery_.toInputFile(path);
}

void BrowseWindow::File1_DblClick() {
    deliverSelection();
    hide();
}

void BrowseWindow::OkCmd_Click() {
    hide();
    deliverSelection();
}

void BrowseWindow::EndCmd_Click() { hide(); }

}  // namespace mapfeed
