#include "STableFooterView.h"

#include "ActivityIndicatorView.h"
#include "LayoutLoader.h"
#include "PhoneLabel.h"
#include "Views.h"

STableFooterView::STableFooterView(QWidget *parent) : QWidget(parent)
{
    LayoutLoader::loadInto(u"STableFooterView"_qs, this);
    m_activityIndicator = Views::withTag<ActivityIndicatorView>(this, 1);
    m_infoLabel = Views::withTag<PhoneLabel>(this, 2);
    Views::makeTransparent(this);
}
