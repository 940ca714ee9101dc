#include "STableFooterView.h"

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

STableFooterView::STableFooterView(QWidget *parent) : QWidget(parent)
{
    LayoutLoader::loadInto(u"STableFooterView"_qs, this);
    m_activityIndicator = Views::withTag<ActivityIndicatorView>(this, 1);
    m_infoLabel = Views::withTag<PhoneLabel>(this, 2);
    makeTransparent(this);
}
