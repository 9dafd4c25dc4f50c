#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <set>

#include "picture/Picture.h"
#include "picture/View.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace mapfeed {

class PictureCanvas;

/// "Picture of the job": the design file's elements dimmed, the input as the job would convert
/// it in colour, and what a run appended highlighted, in one view that fits all, zooms with
/// the wheel about the pointer and pans by dragging; a scale bar, the pointer's coordinates,
/// and a legend of levels each of which can be hidden. What cannot be read is told here.
class PictureWindow : public QWidget {
public:
    PictureWindow();
    ~PictureWindow() override;

    /// A new picture; the view fits it when `fit`, else stays where the user left it.
    void setPicture(std::shared_ptr<const picture::Picture> picture, bool fit);
    /// What stands in the way of the picture, or what is still being read; empty for nothing.
    void setNote(const QString& note);
    /// The drawing area as it is drawn now.
    QImage drawing() const;

private:
    void updateLegend();

    PictureCanvas* canvas_;
    QListWidget* legend_;
    QLabel* note_;
    QLabel* pointer_;
    QPushButton* fit_;
    std::shared_ptr<const picture::Picture> picture_;
};

}  // namespace mapfeed
