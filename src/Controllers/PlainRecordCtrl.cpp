#include "PlainRecordCtrl.h"

#include "PhoneLabel.h"
#include "UILabelStyle.h"

PlainRecordCtrl::PlainRecordCtrl(QObject *parent) : MainCtrl(parent)
{
    setHidesBottomBarWhenPushed(true);
}

void PlainRecordCtrl::setRecordName(const QString &name)
{
    m_name = name;
    setTitle(name);
    if (m_label)
        m_label->setText(name);
}

void PlainRecordCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    m_label = new PhoneLabel(view());
    m_label->setObjectName(u"nameLabel"_qs);
    m_label->setGeometry(20, 40, 280, 60);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignCenter);
    UILabelStyle::CommStyleLarge(m_label);
    m_label->setText(m_name);
}
