// Picture boxes and drawing boards: decoded pictures fitted into the control, animated
// pictures, and a board's background that follows the board's size.
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QPixmap>

#include "platform/ui/controls.h"
#include "platform/ui/image_decoder.h"

namespace ui {

namespace {

// Keeps the decoded picture beside its label so that it can be fitted again when the
// label changes size.
class PictureHolder : public QObject {
public:
    explicit PictureHolder(QLabel* label) : QObject(label), label_(label) {
        setObjectName(QStringLiteral("qt_lookup_picture"));
        label->installEventFilter(this);
    }

    static PictureHolder* of(QLabel* label) {
        if (auto* h = label->findChild<PictureHolder*>(QStringLiteral("qt_lookup_picture"),
                                                       Qt::FindDirectChildrenOnly))
            return h;
        return new PictureHolder(label);
    }

    void set(QImage image) {
        stopMovie();
        image_ = std::move(image);
        refit();
    }

    void setFit(PictureBox::Fit fit) {
        fit_ = fit;
        refit();
    }

    void setMovie(QMovie* movie) {
        stopMovie();
        image_ = {};
        label_->clear();
        label_->setAlignment(Qt::AlignCenter);
        label_->setMovie(movie);
        movie->start();
    }

    bool hasPicture() const { return !image_.isNull() || label_->movie(); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) refit();
        return false;
    }

private:
    void stopMovie() {
        if (QMovie* movie = label_->movie()) {
            label_->setMovie(nullptr);
            movie->deleteLater();
        }
    }

    void refit() {
        if (image_.isNull()) {
            if (!label_->movie()) label_->setPixmap(QPixmap());
            return;
        }
        const QSize box = label_->size();
        if (box.isEmpty()) {
            label_->setPixmap(QPixmap());
            return;
        }
        const Qt::AspectRatioMode mode =
            fit_ == PictureBox::Fit::Stretch ? Qt::IgnoreAspectRatio : Qt::KeepAspectRatio;
        label_->setAlignment(Qt::AlignCenter);
        label_->setPixmap(QPixmap::fromImage(image_.scaled(box, mode, Qt::SmoothTransformation)));
    }

    QLabel* label_;
    QImage image_;
    PictureBox::Fit fit_ = PictureBox::Fit::KeepAspect;
};

std::string readFile(const std::string& utf8Path) {
    QFile file(QString::fromUtf8(utf8Path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

// A board's background is a label of its own under the board's other children.
QLabel* backgroundOf(QWidget* board) {
    if (auto* label = qobject_cast<QLabel*>(board)) return label;
    const QString name = QStringLiteral("qt_lookup_board_background");
    auto* bg = board->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
    if (!bg) {
        bg = new QLabel(board);
        bg->setObjectName(name);
        bg->setGeometry(board->rect());
        bg->lower();
        bg->show();
        struct Follow : QObject {
            QLabel* bg;
            Follow(QWidget* board, QLabel* l) : QObject(l), bg(l) { board->installEventFilter(this); }
            bool eventFilter(QObject* o, QEvent* e) override {
                if (e->type() == QEvent::Resize) bg->setGeometry(static_cast<QWidget*>(o)->rect());
                return false;
            }
        };
        new Follow(board, bg);
        PictureHolder::of(bg)->setFit(PictureBox::Fit::Stretch);
    }
    return bg;
}

}  // namespace

bool PictureBox::setPicture(const std::string& bytes) {
    auto* label = qobject_cast<QLabel*>(widget_.data());
    if (!label) return false;
    QImage image = decodeImage(bytes);
    const bool ok = !image.isNull();
    PictureHolder::of(label)->set(std::move(image));
    return ok;
}

bool PictureBox::setPictureFile(const std::string& path) { return setPicture(readFile(path)); }

bool PictureBox::setAnimation(const std::string& path) {
    auto* label = qobject_cast<QLabel*>(widget_.data());
    if (!label) return false;
    auto* movie = new QMovie(QString::fromUtf8(path), QByteArray(), label);
    if (!movie->isValid()) {
        delete movie;
        PictureHolder::of(label)->set({});
        return false;
    }
    movie->setCacheMode(QMovie::CacheAll);
    PictureHolder::of(label)->setMovie(movie);
    return true;
}

void PictureBox::clear() {
    if (auto* label = qobject_cast<QLabel*>(widget_.data())) PictureHolder::of(label)->set({});
}

bool PictureBox::hasPicture() const {
    auto* label = qobject_cast<QLabel*>(widget_.data());
    return label && PictureHolder::of(label)->hasPicture();
}

void PictureBox::setFit(Fit fit) {
    if (auto* label = qobject_cast<QLabel*>(widget_.data())) PictureHolder::of(label)->setFit(fit);
}

bool DrawingBoard::setPicture(const std::string& bytes) {
    if (!widget_) return false;
    QLabel* bg = backgroundOf(widget_);
    QImage image = decodeImage(bytes);
    const bool ok = !image.isNull();
    PictureHolder::of(bg)->setFit(PictureBox::Fit::Stretch);
    PictureHolder::of(bg)->set(std::move(image));
    return ok;
}

bool DrawingBoard::setPictureFile(const std::string& path) { return setPicture(readFile(path)); }

}  // namespace ui
