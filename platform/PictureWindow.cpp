#include "platform/PictureWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "platform/PictureDrawing.h"

namespace mapfeed {

/// The drawing area: the picture drawn once per change of view into an image, which a paint
/// only copies.
class PictureCanvas : public QWidget {
public:
    std::function<void(const picture::Place&)> onPointer;

    PictureCanvas() {
        setMouseTracking(true);
        setMinimumSize(240, 180);
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(QStringLiteral("Picture"));
    }

    void setPicture(std::shared_ptr<const picture::Picture> picture, bool fit) {
        picture_ = std::move(picture);
        if (fit || !moved_) fitAll();
        else redraw();
    }
    void setHidden(std::set<int> hidden) {
        hidden_ = std::move(hidden);
        redraw();
    }
    void fitAll() {
        moved_ = false;
        view_ = picture::fitAll(picture_ ? picture_->extent : picture::Box{}, width(), height());
        redraw();
    }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (image_.isNull()) painter.fillRect(rect(), Qt::white);
        else painter.drawImage(dragOffset_, image_);
    }
    void resizeEvent(QResizeEvent*) override {
        // A view the user has not zoomed or moved keeps showing everything.
        if (!moved_) fitAll();
        else redraw();
    }
    void wheelEvent(QWheelEvent* event) override {
        const double steps = event->angleDelta().y() / 120.0;
        if (steps == 0) return;
        const QPointF at = event->position();
        view_ = picture::zoomedAt(view_, at.x(), at.y(), std::pow(1.25, steps));
        moved_ = true;
        redraw();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) dragFrom_ = event->position();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (onPointer) onPointer(view_.placeAt(event->position().x(), event->position().y()));
        if (!(event->buttons() & Qt::LeftButton)) return;
        // While dragging only the drawn image moves; the picture is drawn anew at the release.
        dragOffset_ = event->position() - dragFrom_;
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QPointF moved = event->position() - dragFrom_;
        dragOffset_ = {};
        if (moved.manhattanLength() > 0) {
            view_ = picture::dragged(view_, moved.x(), moved.y());
            moved_ = true;
            redraw();
        }
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { fitAll(); }
    void keyPressEvent(QKeyEvent* event) override {
        const QPointF centre(width() / 2.0, height() / 2.0);
        switch (event->key()) {
            case Qt::Key_Plus: case Qt::Key_Equal: view_ = picture::zoomedAt(view_, centre.x(), centre.y(), 1.25); break;
            case Qt::Key_Minus: view_ = picture::zoomedAt(view_, centre.x(), centre.y(), 0.8); break;
            case Qt::Key_Left: view_ = picture::dragged(view_, width() / 8.0, 0); break;
            case Qt::Key_Right: view_ = picture::dragged(view_, -width() / 8.0, 0); break;
            case Qt::Key_Up: view_ = picture::dragged(view_, 0, height() / 8.0); break;
            case Qt::Key_Down: view_ = picture::dragged(view_, 0, -height() / 8.0); break;
            default: QWidget::keyPressEvent(event); return;
        }
        moved_ = true;
        redraw();
    }

private:
    void redraw() {
        view_.width = std::max(1, width());
        view_.height = std::max(1, height());
        image_ = picture_ ? drawPicture(*picture_, view_, hidden_, devicePixelRatioF()) : QImage();
        update();
    }

    std::shared_ptr<const picture::Picture> picture_;
    picture::View view_;
    bool moved_ = false;  // zoomed or moved by the user since the last fit
    std::set<int> hidden_;
    QImage image_;
    QPointF dragFrom_;
    QPointF dragOffset_;
};

PictureWindow::PictureWindow()
    : canvas_(new PictureCanvas), legend_(new QListWidget), note_(new QLabel), pointer_(new QLabel),
      fit_(new QPushButton(QStringLiteral("&Fit all"))) {
    setWindowTitle(QStringLiteral("Picture of the job"));
    setObjectName(QStringLiteral("PictureWindow"));
    legend_->setObjectName(QStringLiteral("Levels"));
    legend_->setAccessibleName(QStringLiteral("Levels"));
    legend_->setMaximumWidth(140);
    note_->setObjectName(QStringLiteral("PictureNote"));
    note_->setWordWrap(true);
    pointer_->setObjectName(QStringLiteral("PointerPlace"));

    auto* key = new QLabel(QStringLiteral("<span style='color:#969696'>\u25a0</span> design file&nbsp; "
                                          "<span style='color:#1f5fbf'>\u25a0</span> input&nbsp; "
                                          "<span style='color:#e05a00'>\u25a0</span> appended by the run"));
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Levels")));
    side->addWidget(legend_, 1);
    side->addWidget(fit_);
    auto* middle = new QHBoxLayout;
    middle->addWidget(canvas_, 1);
    middle->addLayout(side);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(key, 1);
    bottom->addWidget(pointer_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    note_->hide();
    resize(640, 480);

    canvas_->onPointer = [this](const picture::Place& at) {
        pointer_->setText(QStringLiteral("%1, %2").arg(at.x, 0, 'f', 2).arg(at.y, 0, 'f', 2));
    };
    connect(fit_, &QPushButton::clicked, this, [this] { canvas_->fitAll(); });
    connect(legend_, &QListWidget::itemChanged, this, [this] {
        std::set<int> hidden;
        for (int row = 0; row < legend_->count(); ++row)
            if (legend_->item(row)->checkState() != Qt::Checked) hidden.insert(legend_->item(row)->data(Qt::UserRole).toInt());
        canvas_->setHidden(std::move(hidden));
    });
    auto* closeKey = new QShortcut(QKeySequence::Close, this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::hide);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

PictureWindow::~PictureWindow() = default;

void PictureWindow::setPicture(std::shared_ptr<const picture::Picture> picture, bool fit) {
    picture_ = std::move(picture);
    updateLegend();
    canvas_->setPicture(picture_, fit);
}

void PictureWindow::setNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

QImage PictureWindow::drawing() const { return canvas_->image(); }

void PictureWindow::updateLegend() {
    // Levels keep the state the user gave them; new ones come shown.
    std::set<int> hidden;
    for (int row = 0; row < legend_->count(); ++row)
        if (legend_->item(row)->checkState() != Qt::Checked) hidden.insert(legend_->item(row)->data(Qt::UserRole).toInt());
    const QSignalBlocker quiet(legend_);
    legend_->clear();
    if (!picture_) return;
    for (int level : picture_->levels) {
        auto* item = new QListWidgetItem(QStringLiteral("Level %1").arg(level), legend_);
        item->setData(Qt::UserRole, level);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(hidden.count(level) ? Qt::Unchecked : Qt::Checked);
    }
}

}  // namespace mapfeed
