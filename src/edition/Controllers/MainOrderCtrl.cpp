#include "MainOrderCtrl.h"

#include "PhoneImageView.h"
#include "Texts.h"

MainOrderCtrl::MainOrderCtrl(QObject *parent) : MainCtrl(parent) {}

void MainOrderCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"order"_qs));
    m_tView = new TableView(view());
    m_tView->setObjectName(u"tView"_qs);
    m_tView->setGeometry(view()->rect());
    m_tView->setDataSource(this);
    m_tView->hide();
    m_image = new PhoneImageView(view());
    m_image->setObjectName(u"releaseImage"_qs);
    m_image->setGeometry(0, 0, 320, 329);
    m_image->setContentMode(PhoneImageView::ContentMode::AspectFit);
    m_image->setImageName(u"release_001.png"_qs);
}

int MainOrderCtrl::numberOfSections(TableView *)
{
    return 0;
}

int MainOrderCtrl::numberOfRows(TableView *, int)
{
    return 0;
}

TableViewCell *MainOrderCtrl::cellForRow(TableView *, const IndexPath &)
{
    return nullptr;
}

void MainOrderCtrl::didSelectRow(TableView *, const IndexPath &) {}
