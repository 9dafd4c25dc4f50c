// Loaded into a program with LD_PRELOAD by the start-up benchmark: ends the process right after
// the first top-level window has painted and shown its first frame. The program itself carries
// no hook for it.

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <cstdlib>

namespace {

class ExitAfterFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !ending_ && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            ending_ = true;
            // Queued, so the rest of the frame is painted and flushed to the screen first.
            QMetaObject::invokeMethod(this, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool ending_ = false;
};

void watchFirstPaint() { QCoreApplication::instance()->installEventFilter(new ExitAfterFirstPaint); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)
