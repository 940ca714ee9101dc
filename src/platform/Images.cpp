#include "Images.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace {
constexpr qreal RenderScale = 2.0;

QString svgPath(const QString &name)
{
    QString base = name;
    if (base.endsWith(QLatin1String(".png")) || base.endsWith(QLatin1String(".jpg")))
        base.chop(4);
    return QStringLiteral(":/images/%1.svg").arg(base);
}
} // namespace

QPixmap Images::named(const QString &name)
{
    static QHash<QString, QPixmap> cache;
    if (auto it = cache.constFind(name); it != cache.constEnd())
        return *it;
    QPixmap pixmap;
    if (!QFile::exists(svgPath(name))) {
        cache.insert(name, pixmap);
        return pixmap;
    }
    QSvgRenderer renderer(svgPath(name));
    if (renderer.isValid()) {
        const QSize size = renderer.defaultSize();
        QImage image(size * RenderScale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(RenderScale);
    }
    cache.insert(name, pixmap);
    return pixmap;
}

bool Images::exists(const QString &name)
{
    return QFile::exists(svgPath(name));
}

QSize Images::pointSize(const QString &name)
{
    const QPixmap pixmap = named(name);
    return (pixmap.deviceIndependentSize()).toSize();
}

int StretchableImage::height() const
{
    return int(pixmap.deviceIndependentSize().height());
}

void StretchableImage::draw(QPainter &painter, const QRectF &target) const
{
    if (pixmap.isNull())
        return;
    const qreal ratio = pixmap.devicePixelRatio();
    const QSizeF size = pixmap.deviceIndependentSize();
    // Source and target edges per axis: cap, one stretched unit, rest.
    auto cuts = [](qreal cap, qreal source, qreal dest, bool stretchAll) {
        struct Cuts { qreal s[4]; qreal d[4]; };
        if (stretchAll)
            return Cuts{{0, 0, source, source}, {0, 0, dest, dest}};
        const qreal c = std::min(cap, source - 1);
        const qreal rest = source - c - 1;
        return Cuts{{0, c, c + 1, source}, {0, c, std::max(c, dest - rest), dest}};
    };
    const auto h = cuts(leftCap, size.width(), target.width(), leftCap <= 0);
    const auto v = cuts(topCap, size.height(), target.height(), topCap <= 0);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const QRectF d(target.x() + h.d[i], target.y() + v.d[j], h.d[i + 1] - h.d[i],
                           v.d[j + 1] - v.d[j]);
            const QRectF s(h.s[i] * ratio, v.s[j] * ratio, (h.s[i + 1] - h.s[i]) * ratio,
                           (v.s[j + 1] - v.s[j]) * ratio);
            if (d.width() > 0 && d.height() > 0 && s.width() > 0 && s.height() > 0)
                painter.drawPixmap(d, pixmap, s);
        }
    }
}
