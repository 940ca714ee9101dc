#pragma once

#include <QColor>
#include <QWidget>

// A row of dots, one per page, the current one lit.
class PageControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int numberOfPages READ numberOfPages WRITE setNumberOfPages)
    Q_PROPERTY(int currentPage READ currentPage WRITE setCurrentPage NOTIFY currentPageChanged)
public:
    explicit PageControl(QWidget *parent = nullptr);

    int numberOfPages() const { return m_pages; }
    void setNumberOfPages(int pages);
    int currentPage() const { return m_current; }
    // Kept within 0 .. pages - 1.
    void setCurrentPage(int page);
    bool hidesForSinglePage() const { return m_hidesSingle; }
    void setHidesForSinglePage(bool hides);

Q_SIGNALS:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_pages = 0;
    int m_current = 0;
    bool m_hidesSingle = false;
};
