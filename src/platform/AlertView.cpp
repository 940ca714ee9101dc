#include "AlertView.h"

#include "PhoneButton.h"
#include "PhoneWindow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>

namespace {
QList<QPointer<AlertView>> &shownAlerts()
{
    static QList<QPointer<AlertView>> list;
    return list;
}
constexpr int BoxWidth = 270;
constexpr int ButtonHeight = 40;
} // namespace

AlertView::AlertView(const QString &title, const QString &message, QWidget *parent)
    : QWidget(parent), m_box(new QWidget(this)), m_title(new QLabel(title, m_box)),
      m_message(new QLabel(message, m_box))
{
    setFocusPolicy(Qt::StrongFocus);
    hide();
    m_title->setObjectName(QStringLiteral("alertTitle"));
    m_message->setObjectName(QStringLiteral("alertMessage"));
    for (QLabel *label : {m_title, m_message}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
    }
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setVisible(!title.isEmpty());
    m_message->setVisible(!message.isEmpty());
}

int AlertView::addButton(const QString &title)
{
    auto *button = new PhoneButton(m_box);
    const int index = int(m_buttons.size());
    button->setObjectName(QStringLiteral("alertButton%1").arg(index));
    button->setTitle(title);
    button->setTitleColor(Qt::white);
    connect(button, &PhoneButton::clicked, this, [this, index] {
        Q_EMIT clicked(this, index);
        dismissWithClickedButtonIndex(index, true);
    });
    m_buttons.append(button);
    return index;
}

QString AlertView::buttonTitle(int index) const
{
    PhoneButton *b = button(index);
    return b ? b->title(PhoneButton::Normal) : QString();
}

PhoneButton *AlertView::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

QString AlertView::title() const
{
    return m_title->text();
}

QString AlertView::message() const
{
    return m_message->text();
}

void AlertView::show()
{
    if (m_shown || m_dismissed)
        return;
    Q_EMIT willPresent(this);
    m_shown = true;
    shownAlerts().append(this);
    if (PhoneWindow *host = PhoneWindow::current()) {
        setParent(host);
        setGeometry(host->rect());
        host->addOverlay(this);
    } else {
        resize(PhoneWindow::Width, PhoneWindow::Height);
        QWidget::show();
    }
    layoutBox();
    setFocus();
    Q_EMIT didPresent(this);
}

void AlertView::layoutBox()
{
    const int inner = BoxWidth - 24;
    int y = 14;
    for (QLabel *label : {m_title, m_message}) {
        if (label->isHidden())
            continue;
        const int h = label->heightForWidth(inner);
        label->setGeometry(12, y, inner, std::max(h, 18));
        y += std::max(h, 18) + 8;
    }
    const bool sideBySide = m_style == Style::Alert && m_buttons.size() == 2;
    if (sideBySide) {
        const int w = (inner - 8) / 2;
        for (int i = 0; i < 2; ++i)
            m_buttons.at(i)->setGeometry(12 + i * (w + 8), y, w, ButtonHeight);
        y += ButtonHeight + 12;
    } else {
        for (PhoneButton *b : std::as_const(m_buttons)) {
            b->setGeometry(12, y, inner, ButtonHeight);
            y += ButtonHeight + 8;
        }
        y += 4;
    }
    if (m_style == Style::ActionSheet)
        m_box->setGeometry(0, height() - y, width(), y);
    else
        m_box->setGeometry((width() - BoxWidth) / 2, (height() - y) / 2, BoxWidth, y);
}

void AlertView::dismissWithClickedButtonIndex(int index, bool)
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    Q_EMIT willDismiss(this, index);
    hide();
    shownAlerts().removeAll(this);
    m_shown = false;
    Q_EMIT didDismiss(this, index);
    deleteLater();
}

void AlertView::cancelAlert()
{
    if (!m_dismissed)
        Q_EMIT cancelled(this);
}

QList<AlertView *> AlertView::visibleAlerts()
{
    QList<AlertView *> list;
    for (const auto &alert : std::as_const(shownAlerts())) {
        if (alert && alert->m_shown)
            list.append(alert);
    }
    return list;
}

void AlertView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        cancelAlert();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AlertView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, 110));
    painter.setPen(QColor(255, 255, 255, 150));
    painter.setBrush(QColor(0x1b, 0x2a, 0x4a, 235));
    painter.drawRoundedRect(QRectF(m_box->geometry()).adjusted(0.5, 0.5, -0.5, -0.5),
                            m_style == Style::Alert ? 8 : 0, m_style == Style::Alert ? 8 : 0);
    for (PhoneButton *b : m_buttons) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 45));
        painter.drawRoundedRect(QRectF(b->geometry().translated(m_box->pos())), 5, 5);
    }
}

ActionSheet::ActionSheet(const QString &title, QWidget *parent) : AlertView(title, QString(), parent)
{
    setStyle(Style::ActionSheet);
}
