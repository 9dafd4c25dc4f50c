#include "platform/OfferBinding.h"

#include <QCompleter>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStringListModel>

#include <functional>
#include <memory>
#include <utility>

#include "platform/ControlLifetime.h"
#include "ui/Controls.h"

namespace mapfeed {
namespace {

/// Hears a line edit's focus and keys before the line edit does.
class KeyWatch : public QObject {
public:
    KeyWatch(QObject* parent, std::function<void(QEvent*)> heard) : QObject(parent), heard_(std::move(heard)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        heard_(event);
        return false;
    }

private:
    std::function<void(QEvent*)> heard_;
};

QStringList qtList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const auto& t : texts) list << QString::fromStdString(t);
    return list;
}

}  // namespace

void bindOffers(TextField& field, QLineEdit* widget) {
    auto* names = new QStringListModel(widget);
    auto* completer = new QCompleter(names, widget);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    widget->setCompleter(completer);
    QPointer<QLineEdit> guard(widget);
    auto listAsked = std::make_shared<bool>(false);

    const auto showList = [guard, completer] {
        if (!guard || !guard->hasFocus() || completer->model()->rowCount() == 0) return;
        completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        completer->setCompletionPrefix(QString());
        completer->complete();
    };
    auto previous = std::move(field.onStateChanged);
    field.onStateChanged = whileAlive(field, [&field, previous, names, listAsked, showList] {
        if (previous) previous();
        const QStringList offered = qtList(field.offers());
        if (names->stringList() == offered) return;
        names->setStringList(offered);
        if (*listAsked) showList();
    });
    field.onStateChanged();
    // A name taken from the list is the user's typing, whether or not the line edit reports it.
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), widget,
                     whileAlive(field, [&field](const QString& text) { field.userTypes(text.toStdString()); }));
    widget->installEventFilter(new KeyWatch(widget, whileAlive(field, [&field, completer, listAsked, showList](QEvent* event) {
        if (event->type() == QEvent::FocusIn) {
            field.userWantsOffers();
        } else if (event->type() == QEvent::FocusOut) {
            *listAsked = false;
        } else if (event->type() == QEvent::KeyPress) {
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
                *listAsked = true;
                field.userWantsOffers();
                showList();
            } else {
                *listAsked = false;
                completer->setCompletionMode(QCompleter::PopupCompletion);
            }
        }
    })));
}

}  // namespace mapfeed
