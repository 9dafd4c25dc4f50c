#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace mapfeed {

class Button;
class CheckBox;
class Frame;
class Label;
class ListBox;
class OptionButton;
class TextField;

/// One binder per control kind. Each syncs the widget from the model once, forwards the
/// widget's user signals to the model's user events, and pushes every later model change to
/// the widget without echo. After a user event the widget is synced again, so a refused or
/// unchanged event never leaves the widget showing something the model does not hold.
void bindTextField(TextField& model, QLineEdit* widget);
void bindList(ListBox& model, QComboBox* widget);
void bindButton(Button& model, QPushButton* widget);
/// `container` holds the box and its wrapping caption; it is enabled and disabled with them.
void bindCheckBox(CheckBox& model, QCheckBox* widget, QWidget* container);
void bindOptionButton(OptionButton& model, QRadioButton* widget);
void bindLabel(Label& model, QLabel* widget);
void bindFrame(Frame& model, QGroupBox* widget);

}  // namespace mapfeed
