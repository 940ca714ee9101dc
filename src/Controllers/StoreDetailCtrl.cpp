#include "StoreDetailCtrl.h"

StoreDetailCtrl::StoreDetailCtrl(QObject *parent) : PlainRecordCtrl(parent) {}

void StoreDetailCtrl::setStore(const Store &store)
{
    m_store = store;
    setRecordName(store.storeName.text());
}
