#pragma once

#include "MainCtrl.h"

#include <QPointer>

#include "PhoneLabel.h"

// A detail screen that for now shows only its record's name: the store and
// coupon screens open from lists before their full content exists.
class PlainRecordCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit PlainRecordCtrl(QObject *parent = nullptr);

    QString recordName() const { return m_name; }
    PhoneLabel *nameLabel() const { return m_label; }

protected:
    void setRecordName(const QString &name);
    void viewDidLoad() override;

private:
    QString m_name;
    QPointer<PhoneLabel> m_label;
};
