#pragma once

#include "LoadImageRequest.h"

#include <QImage>
#include <QWidget>

#include <optional>

// The image view of list cells: keeps the URL it should show, draws its
// picture scaled into its rectangle, and shows a gray activity indicator
// centred in it while the picture loads.
class MyUIImageView : public QWidget, public LoadingImageView
{
    Q_OBJECT
public:
    explicit MyUIImageView(QWidget *parent = nullptr);
    ~MyUIImageView() override;

    QString imageUrl() const override { return m_imageUrl; }
    void setImageUrl(const QString &url) { m_imageUrl = url; }

    std::optional<QImage> image() const { return m_image; }
    void setImage(const std::optional<QImage> &image) override;

    // The loading state: a white background at 20 % and the running indicator.
    void startAnimating() override;
    void stopAnimating() override;
    bool isAnimating() const override;

    // Made by the first startAnimating; null before.
    QWidget *activityIndicator() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void centreIndicator();

    QString m_imageUrl;
    std::optional<QImage> m_image;
    class ActivityIndicator;
    ActivityIndicator *m_indicator = nullptr;
    bool m_loadingBackground = false;
};
