#pragma once

#include <QPointer>
#include <QWidget>

class NavigationItem;
class QLabel;

// The bar above a navigation stack: the top screen's title in the middle,
// its left and right widgets at the sides. Subclasses may draw their own
// background (paintEvent) and build their own buttons.
class NavigationBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Height = 44;

    explicit NavigationBar(QWidget *parent = nullptr);

    // The item shown; null shows nothing. The bar reparents the item's
    // widgets while it shows them.
    void setItem(NavigationItem *item);
    NavigationItem *topItem() const { return m_item; }
    QString title() const;
    QLabel *titleLabel() const { return m_title; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // The platform's own look: a plain blue-grey gradient.
    void paintStandard(QPainter &painter);

private:
    void refresh();
    void layoutItems();

    QPointer<NavigationItem> m_item;
    QPointer<QWidget> m_shownLeft;
    QPointer<QWidget> m_shownRight;
    QLabel *m_title;
};
