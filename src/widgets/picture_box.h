#pragma once

#include <QImage>
#include <QWidget>

namespace quorlix {

// A picture control: draws its picture at its top-left corner, shrunk without distortion when
// it is larger than the control, and reports a click on it.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    // The rectangle the picture takes inside the control.
    QRect PictureRect() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool pressed_ = false;
};

}  // namespace quorlix
