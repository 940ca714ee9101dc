#include "MyUIImageView.h"

#include <QPainter>
#include <QTimer>

// A small spinner of twelve gray strokes, hidden while stopped.
class MyUIImageView::ActivityIndicator : public QWidget
{
public:
    explicit ActivityIndicator(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(20, 20);
        hide();
        m_timer.setInterval(80);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            m_step = (m_step + 1) % kStrokes;
            update();
        });
    }

    void start()
    {
        m_timer.start();
        show();
        raise();
    }
    void stop()
    {
        m_timer.stop();
        hide();
    }
    bool running() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(width() / 2.0, height() / 2.0);
        const double radius = std::min(width(), height()) / 2.0;
        for (int i = 0; i < kStrokes; ++i) {
            QColor gray(128, 128, 128);
            gray.setAlphaF(static_cast<float>(1.0 - ((i + kStrokes - m_step) % kStrokes) / double(kStrokes)));
            painter.setPen(QPen(gray, 2.0, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, radius * 0.45), QPointF(0, radius * 0.9));
            painter.rotate(360.0 / kStrokes);
        }
    }

private:
    static constexpr int kStrokes = 12;
    QTimer m_timer;
    int m_step = 0;
};

MyUIImageView::MyUIImageView(QWidget *parent) : QWidget(parent) {}

MyUIImageView::~MyUIImageView() = default;

void MyUIImageView::setImage(const std::optional<QImage> &image)
{
    m_image = image;
    update();
}

void MyUIImageView::startAnimating()
{
    if (!m_indicator)
        m_indicator = new ActivityIndicator(this);
    centreIndicator();
    m_loadingBackground = true;
    m_indicator->start();
    update();
}

void MyUIImageView::stopAnimating()
{
    m_loadingBackground = false;
    if (m_indicator)
        m_indicator->stop();
    update();
}

bool MyUIImageView::isAnimating() const
{
    return m_indicator && m_indicator->running();
}

QWidget *MyUIImageView::activityIndicator() const
{
    return m_indicator;
}

void MyUIImageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_loadingBackground)
        painter.fillRect(rect(), QColor(255, 255, 255, 51));
    if (m_image && !m_image->isNull())
        painter.drawImage(rect(), *m_image);
}

void MyUIImageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    centreIndicator();
}

void MyUIImageView::centreIndicator()
{
    if (m_indicator)
        m_indicator->move(width() / 2 - m_indicator->width() / 2, height() / 2 - m_indicator->height() / 2);
}
