#pragma once

#include <string>

#include "app/DialogTable.h"
#include "ui/Services.h"
#include "ui/Window.h"
#include "job/CommandComposition.h"

namespace mapfeed {

/// The job window " Orlith Mapfeed": input and design file, data source and theme in the INPUT
/// frame, output options in the OUTPUT frame, and "Apply", "Close", "Clear" below.
class MainWindow : public Window {
public:
    MainWindow(WindowHost& host, OptionTable& options, Services& services, DialogTable& dialogs);

    void Form_Load();
    void ClearCmd_Click();
    void CloseCmd_Click();
    void ApplyCmd_Click();

    void SrcCmb_Click();
    void ThemeCmb_Click();
    void TblnmTxt_Change();

    void BrwCmd_Click();
    void Brw2Cmd_Click();
    void BrwCmd_MouseMove();
    void Brw2Cmd_MouseMove();
    void InputFrm_MouseMove();

    void LinsymCmd_Click();
    void PntsymCmd_Click();
    void CentrCmb_Click();
    void RasterChck_Click();

    /// What "Apply" reads from the window right now.
    JobFields jobFields() const;
    /// The command line "Apply" would start now, composed on a copy of the option table.
    std::string previewCommandLine() const;

    Frame InputFrm{*this, "InputFrm", " INPUT"};
    Label Label1{*this, "Label1", "Input file"};
    TextField InfileTxt{*this, "InfileTxt"};
    Button BrwCmd{*this, "BrwCmd", "browse"};
    Label Label2{*this, "Label2", "Design file"};
    TextField DgnFileTxt{*this, "DgnFileTxt"};
    Button Brw2Cmd{*this, "Brw2Cmd", "browse"};
    Label Label5{*this, "Label5", "Data Source "};
    ListBox SrcCmb{*this, "SrcCmb"};
    Label Label6{*this, "Label6", "Data Theme"};
    ListBox ThemeCmb{*this, "ThemeCmb"};
    OpenFileDialog CommonDialog1 = namedDialog("CommonDialog1", "Input file");
    OpenFileDialog CommonDialog2 = namedDialog("CommonDialog2", "Design file");

    Frame OutputFrm{*this, "OutputFrm", "OUTPUT"};
    Label Label12{*this, "Label12", "Output Linework"};
    OptionButton LineOpt{*this, "LineOpt", "Linestrings"};
    OptionButton CrvOpt{*this, "CrvOpt", "Curves"};
    Label Label9{*this, "Label9", "Output level for linework"};
    TextField Outlevtxt{*this, "Outlevtxt"};
    Label Label11{*this, "Label11", "Output line symbology"};
    Button LinsymCmd{*this, "LinsymCmd", "set"};
    Label Label13{*this, "Label13", "Output Points/Centroids"};
    Label Label10{*this, "Label10", "Point/Centroid type"};
    ListBox CentrCmb{*this, "CentrCmb"};
    Label Label3{*this, "Label3", "Output level for points/ centroids"};
    TextField CentrTxt{*this, "CentrTxt"};
    Label Label8{*this, "Label8", "Output point symbology"};
    Button PntsymCmd{*this, "PntsymCmd", "set"};
    CheckBox RasterChck{*this, "RasterChck", "base location on center of grid cell "};
    Label Label4{*this, "Label4", "Table Name:"};
    TextField TblnmTxt{*this, "TblnmTxt"};
    Label Label7{*this, "Label7", "Initial Mslink number"};
    TextField Mslinktxt{*this, "Mslinktxt"};

    Frame Frame3{*this, "Frame3", ""};
    Button ApplyCmd{*this, "ApplyCmd", "Apply"};
    Button CloseCmd{*this, "CloseCmd", "Close"};
    Button ClearCmd{*this, "ClearCmd", "Clear"};

private:
    static OpenFileDialog namedDialog(const char* name, const char* title) {
        OpenFileDialog dialog;
        dialog.name = name;
        dialog.title = title;
        return dialog;
    }
    void layOut();
    void connectRules();
    void pickFile(Button& button, OpenFileDialog& dialog, const std::string& filter, int filterIndex, TextField& target);
    void setLineworkEnabled(bool enabled);
    void setPointControlsEnabled(bool enabled);
    void runConverter(const ConverterCommand& command);
    /// Refuses "Apply" when a text that would reach the command line holds a character it
    /// cannot carry: the user is told which field, and the focus goes there, in its dialog.
    bool refuseUncarriedText(const OptionTable& trial);

    OptionTable& options_;
    Services& services_;
    DialogTable& dialogs_;
    // The paths "Apply" tested last, without their suffix marker.
    std::string testedInputPath_;
    std::string testedDesignPath_;
};

}  // namespace mapfeed
