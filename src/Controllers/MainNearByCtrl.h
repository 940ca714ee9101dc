#pragma once

#include "MainCtrl.h"

// The "nearby" tab's root. For now only its title; the screen's content comes later.
class MainNearByCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit MainNearByCtrl(QObject *parent = nullptr);

protected:
    void viewDidLoad() override;
};
