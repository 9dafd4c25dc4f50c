#pragma once

class QLineEdit;

namespace mapfeed {

class TextField;

/// Shows a text field's offers in its line edit: as completions while typing (any case) and,
/// on the down arrow, as the whole list. Focus, the down arrow and typing tell the field that
/// its offers are wanted; offers that arrive while the list is asked for open it.
void bindOffers(TextField& field, QLineEdit* widget);

}  // namespace mapfeed
