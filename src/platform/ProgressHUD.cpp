#include "ProgressHUD.h"

#include "Animations.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int FadeMs = 300;
constexpr int WheelSize = 37;
} // namespace

ProgressHUD::ProgressHUD(QWidget *view) : QWidget(view), m_opacity(new QGraphicsOpacityEffect(this))
{
    setGraphicsEffect(m_opacity);
    m_opacity->setOpacity(0);
    QWidget::hide();
    if (view) {
        setGeometry(view->rect());
        view->installEventFilter(this);
    }
    m_spin.setInterval(80);
    connect(&m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, [this] { hide(true); });
}

void ProgressHUD::setMode(Mode mode)
{
    m_mode = mode;
    // A notice lets touches through to what lies under it.
    setAttribute(Qt::WA_TransparentForMouseEvents, mode == Mode::Text);
    update();
}

void ProgressHUD::setLabelText(const QString &text)
{
    m_label = text;
    update();
}

void ProgressHUD::setMargin(int margin)
{
    m_margin = margin;
    update();
}

void ProgressHUD::setYOffset(int offset)
{
    m_yOffset = offset;
    update();
}

QRect ProgressHUD::boxRect() const
{
    QFont f = font();
    f.setBold(true);
    const QFontMetrics metrics(f);
    const int textWidth = std::min(metrics.horizontalAdvance(m_label), width() - 4 * m_margin);
    const bool wheel = m_mode == Mode::Indeterminate;
    int w = std::max(textWidth, wheel ? WheelSize : 0) + 2 * m_margin;
    int h = 2 * m_margin + (wheel ? WheelSize : 0) + (m_label.isEmpty() ? 0 : metrics.height())
            + (wheel && !m_label.isEmpty() ? 4 : 0);
    if (wheel)
        w = std::max(w, h);
    const QPoint centre = rect().center() + QPoint(0, m_yOffset);
    return QRect(centre.x() - w / 2, centre.y() - h / 2, w, h);
}

void ProgressHUD::show(bool animated)
{
    m_hideTimer.stop();
    m_showing = true;
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    QWidget::show();
    raise();
    if (m_mode == Mode::Indeterminate)
        m_spin.start();
    Animations::animate(m_opacity, "opacity", 1.0, animated ? FadeMs : 0);
}

void ProgressHUD::hide(bool animated)
{
    m_hideTimer.stop();
    if (!m_showing)
        return;
    m_showing = false;
    Animations::animate(m_opacity, "opacity", 0.0, animated ? FadeMs : 0, [this] {
        // A show during the fade keeps the indicator.
        if (!m_showing)
            done();
    });
}

void ProgressHUD::hide(bool animated, double delaySeconds)
{
    m_hideTimer.start(int(delaySeconds * 1000));
    Q_UNUSED(animated);
}

void ProgressHUD::done()
{
    m_spin.stop();
    QWidget::hide();
    Q_EMIT wasHidden(this);
    if (m_removeOnHide)
        deleteLater();
}

bool ProgressHUD::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void ProgressHUD::mousePressEvent(QMouseEvent *event)
{
    // Touches under a spinning indicator wait.
    event->accept();
}

void ProgressHUD::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect box = boxRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 200));
    painter.drawRoundedRect(box, 10, 10);
    int y = box.top() + m_margin;
    if (m_mode == Mode::Indeterminate) {
        const QPointF c(box.center().x(), y + WheelSize / 2.0);
        for (int i = 0; i < 12; ++i) {
            const int age = ((i * 30) - m_angle + 720) % 360;
            painter.save();
            painter.translate(c);
            painter.rotate(i * 30);
            painter.setBrush(QColor(255, 255, 255, 255 - age * 200 / 360));
            painter.drawRoundedRect(QRectF(-1.5, -WheelSize / 2.0, 3, 10), 1.5, 1.5);
            painter.restore();
        }
        y += WheelSize + 4;
    }
    if (!m_label.isEmpty()) {
        QFont f = font();
        f.setBold(true);
        painter.setFont(f);
        painter.setPen(Qt::white);
        const QFontMetrics metrics(f);
        const QRect line(box.left() + m_margin, y, box.width() - 2 * m_margin, metrics.height());
        painter.drawText(line, Qt::AlignCenter, metrics.elidedText(m_label, Qt::ElideRight, line.width()));
    }
}
