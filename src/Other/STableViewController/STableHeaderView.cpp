#include "STableHeaderView.h"

#include "ActivityIndicatorView.h"
#include "LayoutLoader.h"
#include "PhoneLabel.h"
#include "Views.h"

namespace {
void makeTransparent(QWidget *view)
{
    view->setAutoFillBackground(false);
    view->setAttribute(Qt::WA_TranslucentBackground);
    view->setStyleSheet(QString());
}
} // namespace

STableHeaderView::STableHeaderView(QWidget *parent) : QWidget(parent)
{
    LayoutLoader::loadInto(u"STableHeaderView"_qs, this);
    m_activityIndicator = Views::withTag<ActivityIndicatorView>(this, 1);
    m_title = Views::withTag<PhoneLabel>(this, 2);
    makeTransparent(this);
}
