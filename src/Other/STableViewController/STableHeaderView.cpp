#include "STableHeaderView.h"

#include "ActivityIndicatorView.h"
#include "LayoutLoader.h"
#include "PhoneLabel.h"
#include "Views.h"

STableHeaderView::STableHeaderView(QWidget *parent) : QWidget(parent)
{
    LayoutLoader::loadInto(u"STableHeaderView"_qs, this);
    m_activityIndicator = Views::withTag<ActivityIndicatorView>(this, 1);
    m_title = Views::withTag<PhoneLabel>(this, 2);
    Views::makeTransparent(this);
}
