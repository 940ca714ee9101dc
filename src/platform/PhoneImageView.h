#pragma once

#include <QPixmap>
#include <QWidget>

// Shows one picture, scaled by its content mode.
class PhoneImageView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
public:
    enum class ContentMode { ScaleToFill, AspectFit, AspectFill, Center };

    explicit PhoneImageView(QWidget *parent = nullptr);

    QPixmap image() const { return m_image; }
    void setImage(const QPixmap &image);
    // A named picture of the resources.
    QString imageName() const { return m_name; }
    void setImageName(const QString &name);
    ContentMode contentMode() const { return m_mode; }
    void setContentMode(ContentMode mode);

    // The rectangle the picture is drawn in.
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_image;
    QString m_name;
    ContentMode m_mode = ContentMode::ScaleToFill;
};
