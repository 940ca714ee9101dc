#include "StyledViews.h"

#include "Fonts.h"
#include "Images.h"
#include "LayoutLoader.h"
#include "MyUIImageView.h"
#include "Tools.h"
#include "UILabelStyle.h"

#include <QEvent>
#include <QPainter>

namespace {
void paintTiled(QWidget *widget)
{
    QPainter painter(widget);
    const QPixmap tile = Images::named(u"main_bg.png"_qs);
    if (tile.isNull())
        painter.fillRect(widget->rect(), QColor(0xf2, 0xef, 0xe8));
    else
        painter.drawTiledPixmap(widget->rect(), tile);
}
} // namespace

MainUIView::MainUIView(QWidget *parent) : QWidget(parent) {}

void MainUIView::paintEvent(QPaintEvent *)
{
    paintTiled(this);
}

MainUIControl::MainUIControl(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void MainUIControl::paintEvent(QPaintEvent *)
{
    paintTiled(this);
}

#define LOYALTY_SELF_STYLING_LABEL(Class, Style)                                                   \
    Class::Class(QWidget *parent) : PhoneLabel(parent) { UILabelStyle::Style(this); }             \
    bool Class::event(QEvent *e)                                                                  \
    {                                                                                             \
        if (e->type() == QEvent::ParentChange)                                                    \
            UILabelStyle::Style(this);                                                            \
        return PhoneLabel::event(e);                                                              \
    }

LOYALTY_SELF_STYLING_LABEL(LargeUILabel, CommStyleLarge)
LOYALTY_SELF_STYLING_LABEL(MIddleUILabel, CommStyleMiddle)
LOYALTY_SELF_STYLING_LABEL(SmallUILabel, CommStyleSmall)

#undef LOYALTY_SELF_STYLING_LABEL

CommTextView::CommTextView(QWidget *parent) : QPlainTextEdit(parent)
{
    applyLook();
}

void CommTextView::applyLook()
{
    const QColor colour = Tools::colorForHex(u"#435662"_qs);
    const QFont font = Fonts::system(12);
    if (this->font() != font)
        setFont(font);
    if (palette().color(QPalette::Text) != colour) {
        QPalette p = palette();
        p.setColor(QPalette::Text, colour);
        setPalette(p);
    }
}

void CommTextView::paintEvent(QPaintEvent *event)
{
    applyLook();
    QPlainTextEdit::paintEvent(event);
}

void StyledViews::registerLayoutClasses()
{
    auto add = [](const char *name, LayoutLoader::Factory make) {
        LayoutLoader::registerClass(QLatin1String(name), std::move(make));
    };
    add("MainUIView", [](QWidget *p) -> QWidget * { return new MainUIView(p); });
    add("MainUIControl", [](QWidget *p) -> QWidget * { return new MainUIControl(p); });
    add("LargeUILabel", [](QWidget *p) -> QWidget * { return new LargeUILabel(p); });
    add("MIddleUILabel", [](QWidget *p) -> QWidget * { return new MIddleUILabel(p); });
    add("SmallUILabel", [](QWidget *p) -> QWidget * { return new SmallUILabel(p); });
    add("CommTextView", [](QWidget *p) -> QWidget * { return new CommTextView(p); });
    add("MyUIImageView", [](QWidget *p) -> QWidget * { return new MyUIImageView(p); });
}
