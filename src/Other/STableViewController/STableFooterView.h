#pragma once

#include <QPointer>
#include <QWidget>

#include "ActivityIndicatorView.h"
#include "PhoneLabel.h"

// The footer a list shows while its next page loads: a spinner and a text.
class STableFooterView : public QWidget
{
    Q_OBJECT
public:
    // Filled from the layout "STableFooterView"; transparent.
    explicit STableFooterView(QWidget *parent = nullptr);

    ActivityIndicatorView *activityIndicator() const { return m_activityIndicator; }
    PhoneLabel *infoLabel() const { return m_infoLabel; }

private:
    QPointer<ActivityIndicatorView> m_activityIndicator;
    QPointer<PhoneLabel> m_infoLabel;
};
