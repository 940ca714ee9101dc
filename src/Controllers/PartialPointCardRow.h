#pragma once

#include <QWidget>

#include <optional>

// A text row, with a points strip under the text when the points are given.
class PartialPointCardRow : public QWidget
{
    Q_OBJECT
public:
    // Filled from the layout "PartialPointCardRow".
    explicit PartialPointCardRow(QWidget *parent = nullptr);

    void setValue(const QString &text, std::optional<int> collectPoint, std::optional<int> totalPoint,
                  std::optional<int> isUsed);
};
