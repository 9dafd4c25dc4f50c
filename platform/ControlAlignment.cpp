#include "platform/ControlAlignment.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

#include "ui/Window.h"

namespace mapfeed {

namespace {

constexpr int kNearlyAligned = 2;

/// Where a line of text is drawn vertically centred in `box` stands: its baseline.
int centredBaseline(const QRect& box, const QFontMetrics& metrics) {
    return box.y() + (box.height() - metrics.height() + 1) / 2 + metrics.ascent();
}

/// The baseline of the text a field, list or button shows, in its parent's coordinates.
std::optional<int> baselineOf(const QWidget& widget) {
    QStyle* style = widget.style();
    QRect text = widget.rect();
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = edit->rect();
        option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        text = style->subElementRect(QStyle::SE_LineEditContents, &option, edit).marginsRemoved(edit->textMargins());
    } else if (const auto* list = qobject_cast<const QComboBox*>(&widget)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.rect = list->rect();
        text = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    } else if (!qobject_cast<const QAbstractButton*>(&widget)) {
        return std::nullopt;
    }
    return widget.y() + centredBaseline(text, widget.fontMetrics());
}

/// Each control moves onto the left edge most controls of its frame share, when it stands
/// within a few pixels of it.
void alignLeftEdges(const Window& window, const WidgetOf& widgetFor) {
    std::map<QWidget*, std::map<int, int>> edges;  // per parent: left edge -> controls there
    std::vector<QWidget*> placed;
    for (Control* control : window.controls()) {
        QWidget* widget = widgetFor(*control);
        if (!widget || control->kind() == ControlKind::Frame) continue;
        if (control->kind() == ControlKind::CheckBox) widget = widget->parentWidget();
        ++edges[widget->parentWidget()][widget->x()];
        placed.push_back(widget);
    }
    for (QWidget* widget : placed) {
        const std::map<int, int>& shared = edges[widget->parentWidget()];
        int best = widget->x();
        for (const auto& [edge, count] : shared)
            if (std::abs(edge - widget->x()) <= kNearlyAligned && count > shared.at(best)) best = edge;
        widget->move(best, widget->y());
    }
}

/// Fields stacked edge to edge (the symbology dialogs' three) would read as one box: the
/// upper one gives up a little of its height for a gap.
void separateStackedFields(const Window& window, const WidgetOf& widgetFor) {
    std::vector<QLineEdit*> fields;
    for (Control* control : window.controls())
        if (auto* field = qobject_cast<QLineEdit*>(widgetFor(*control))) fields.push_back(field);
    for (QLineEdit* upper : fields)
        for (const QLineEdit* lower : fields) {
            const bool touching = lower->parentWidget() == upper->parentWidget() &&
                                  lower->y() == upper->geometry().bottom() + 1 &&
                                  lower->x() < upper->x() + upper->width() && upper->x() < lower->x() + lower->width();
            if (touching) upper->resize(upper->width(), upper->height() - kNearlyAligned);
        }
}

/// A label on the same row as the control it names gets a top margin that puts its baseline
/// on the control's, as far as its place allows; one that would have to move up stays.
void alignBaselines(const Window& window, const WidgetOf& widgetFor) {
    for (Control* control : window.controls()) {
        QWidget* named = widgetFor(*control);
        if (!named || !control->namedBy) continue;
        auto* label = qobject_cast<QLabel*>(widgetFor(*control->namedBy));
        if (!label || label->parentWidget() != named->parentWidget()) continue;
        // Beside it, not above it ("Input file" stands over its field and reaches into it).
        const bool sameRow = std::abs(label->geometry().center().y() - named->geometry().center().y()) <= named->height() / 2;
        const std::optional<int> baseline = baselineOf(*named);
        if (!sameRow || !baseline) continue;
        // As low as its place lets the whole caption be, wrapped as it is drawn.
        const int needed =
            label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 0), Qt::TextWordWrap, label->text()).height();
        const int lower = std::min(*baseline - (label->y() + label->fontMetrics().ascent()), label->height() - needed);
        if (lower > 0) label->setContentsMargins(0, lower, 0, 0);
    }
}

}  // namespace

void alignControls(const Window& window, const WidgetOf& widgetFor) {
    alignLeftEdges(window, widgetFor);
    separateStackedFields(window, widgetFor);
    alignBaselines(window, widgetFor);
}

}  // namespace mapfeed
