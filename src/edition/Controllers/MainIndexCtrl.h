#pragma once

#include "MainCtrl.h"

// The "home" tab's root. For now only its title; the screen's content comes later.
class MainIndexCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit MainIndexCtrl(QObject *parent = nullptr);

protected:
    void viewDidLoad() override;
};
