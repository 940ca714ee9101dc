#pragma once

#include "PlainRecordCtrl.h"
#include "Store.h"

// A store's screen; for now its name only.
class StoreDetailCtrl : public PlainRecordCtrl
{
    Q_OBJECT
public:
    explicit StoreDetailCtrl(QObject *parent = nullptr);

    Field storeId() const { return m_storeId; }
    void setStoreId(const Field &storeId) { m_storeId = storeId; }
    const Store &store() const { return m_store; }
    void setStore(const Store &store);

private:
    Field m_storeId;
    Store m_store;
};
