#pragma once

#include <QFileDialog>
#include <QString>

namespace mapfeed {

/// Qt's own open-file dialog, taking what the user types as the name of one file: Qt would
/// read a name holding `"` as its list of several quoted names (`q"uote.gen` as `uote.gen`),
/// which names another file. Its file list sizes its columns to what they show.
class FilePicker : public QFileDialog {
public:
    explicit FilePicker(QWidget* parent);

    /// The file chosen: the typed name taken whole, else Qt's choice; empty when none.
    QString chosen() const;

    void accept() override;

private:
    QString typed_;
};

}  // namespace mapfeed
