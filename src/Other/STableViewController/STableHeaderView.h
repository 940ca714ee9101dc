#pragma once

#include <QPointer>
#include <QWidget>

#include "ActivityIndicatorView.h"
#include "PhoneLabel.h"

// The pull-to-refresh view above a list's first row: a text and a spinner.
class STableHeaderView : public QWidget
{
    Q_OBJECT
public:
    // Filled from the layout "STableHeaderView"; transparent.
    explicit STableHeaderView(QWidget *parent = nullptr);

    PhoneLabel *title() const { return m_title; }
    ActivityIndicatorView *activityIndicator() const { return m_activityIndicator; }

private:
    QPointer<PhoneLabel> m_title;
    QPointer<ActivityIndicatorView> m_activityIndicator;
};
