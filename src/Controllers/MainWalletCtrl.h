#pragma once

#include "MainCtrl.h"

// The "wallet" tab's root. For now only its title; the screen's content comes later.
class MainWalletCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit MainWalletCtrl(QObject *parent = nullptr);

protected:
    void viewDidLoad() override;
};
