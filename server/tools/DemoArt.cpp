// Draws the demo pictures of loyalty-server from its seed files:
//   loyalty-demo-art server/demo
// Store pictures, banners and event pictures, small flat drawings with a
// caption, so the demo shows something recognisable without any download.
#include <nlohmann/json.hpp>

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>

#include <fstream>
#include <iostream>

using Json = nlohmann::json;

namespace {

Json readJson(const QString &path)
{
    std::ifstream in(path.toStdString());
    Json value = Json::parse(in, nullptr, false);
    return value.is_discarded() ? Json::array() : value;
}

QColor hue(int seed, int saturation = 150, int value = 210)
{
    return QColor::fromHsv((seed * 47) % 360, saturation, value);
}

bool drawCard(const QString &file, QSize size, const QColor &colour, const QString &title,
              const QString &caption, int dots)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, colour.lighter(130));
    gradient.setColorAt(1, colour.darker(130));
    p.fillRect(image.rect(), gradient);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    for (int i = 0; i < dots; ++i)
        p.drawEllipse(QPoint(size.width() * (i + 1) / (dots + 1), size.height() * 3 / 4),
                      size.height() / 12, size.height() / 12);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(std::max(10, size.height() / 7));
    p.setFont(font);
    p.drawText(QRect(8, 4, size.width() - 16, size.height() / 2), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               title);
    font.setBold(false);
    font.setPixelSize(std::max(9, size.height() / 11));
    p.setFont(font);
    p.drawText(QRect(8, size.height() / 2, size.width() - 16, size.height() / 4),
               Qt::AlignLeft | Qt::AlignVCenter, caption);
    p.end();
    // Few colours compress well: keep the committed pictures small.
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither).save(file, "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: loyalty-demo-art DEMO_DIR\n";
        return 2;
    }
    const QDir demo(QString::fromLocal8Bit(argv[1]));
    demo.mkpath(QStringLiteral("img"));
    demo.mkpath(QStringLiteral("salesEventImgs"));
    bool ok = true;
    for (const Json &store : readJson(demo.filePath(QStringLiteral("stores.json")))) {
        const int id = store.value("storeID", 0);
        ok &= drawCard(demo.filePath(QStringLiteral("img/store-%1.png").arg(id)), QSize(160, 120), hue(id),
                       QString::fromStdString(store.value("storeName", std::string())),
                       QString::fromStdString(store.value("cost", std::string())), 0);
    }
    int index = 0;
    for (const Json &banner : readJson(demo.filePath(QStringLiteral("banners.json")))) {
        ++index;
        const QString target = banner.value("storeID", 0) > 0
            ? QStringLiteral("Visit store %1").arg(banner.value("storeID", 0))
            : QStringLiteral("Read the news");
        ok &= drawCard(demo.filePath(QStringLiteral("img/banner-%1.png").arg(index)), QSize(640, 200),
                       hue(index * 5, 120, 190), QStringLiteral("Demo Merchant Group"), target, 0);
    }
    for (const Json &event : readJson(demo.filePath(QStringLiteral("events.json")))) {
        const int id = event.value("eventId", 0);
        const QString name = QString::fromStdString(event.value("name", std::string()));
        const QString brief = QString::fromStdString(event.value("brief", std::string()));
        ok &= drawCard(demo.filePath(QStringLiteral("salesEventImgs/event-%1.png").arg(id)), QSize(300, 180),
                       hue(id * 3, 170, 200), name, brief, 0);
        ok &= drawCard(demo.filePath(QStringLiteral("salesEventImgs/event-%1-detail.png").arg(id)), QSize(300, 120),
                       hue(id * 3, 90, 230), name, brief, std::min(6, event.value("totalPoints", 0)));
    }
    std::cout << (ok ? "pictures written\n" : "some pictures could not be written\n");
    return ok ? 0 : 1;
}
