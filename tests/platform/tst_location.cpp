#include "LocationService.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray withChecksum(const QByteArray &body)
{
    quint8 sum = 0;
    for (char c : body)
        sum ^= quint8(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

// A fix as a GPRMC sentence: latitude and longitude in degrees and minutes.
QByteArray rmc(const char *time, const char *lat, const char *lon)
{
    return withChecksum(QByteArray("GPRMC,") + time + ",A," + lat + ",N," + lon + ",E,0.0,0.0,081112,,,A");
}

} // namespace

class TestLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordedFixesArriveWithTheirPredecessor()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"walk.nmea"_qs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rmc("100000.00", "3954.0000", "11624.2400"));
        file.write(rmc("100001.00", "3954.0060", "11624.2400"));
        file.write(rmc("100002.00", "3954.0120", "11624.2400"));
        file.close();

        LocationService service;
        QGeoPositionInfoSource *source = LocationService::nmeaFileSource(path);
        QVERIFY(source);
        service.setSource(source);
        QVERIFY(service.servicesEnabled());
        QSignalSpy fixes(&service, &LocationService::didUpdate);
        service.startUpdating();
        QTRY_COMPARE(fixes.size(), 3);

        const auto first = fixes.at(0).at(0).value<QGeoCoordinate>();
        QCOMPARE(first.latitude(), 39.9);
        QCOMPARE(first.longitude(), 116.404);
        QVERIFY(!fixes.at(0).at(1).value<QGeoCoordinate>().isValid());
        const auto second = fixes.at(1).at(0).value<QGeoCoordinate>();
        QCOMPARE(fixes.at(1).at(1).value<QGeoCoordinate>(), first);
        // 0.006 minutes of latitude is about 11.1 metres.
        QVERIFY(qAbs(LocationService::distance(first, second) - 11.1) < 0.2);
        QCOMPARE(service.lastFix(), fixes.at(2).at(0).value<QGeoCoordinate>());
    }

    void missingRecordingGivesNoSource()
    {
        QCOMPARE(LocationService::nmeaFileSource(u"/nonexistent/walk.nmea"_qs), nullptr);
    }

    void fixedSourceReportsOnEveryStartOnly()
    {
        LocationService service;
        service.setSource(LocationService::fixedSource(QGeoCoordinate(31.23, 121.47)));
        QSignalSpy fixes(&service, &LocationService::didUpdate);
        service.startUpdating();
        QVERIFY(service.isUpdating());
        QTRY_COMPARE(fixes.size(), 1);
        QCOMPARE(fixes.at(0).at(0).value<QGeoCoordinate>(), QGeoCoordinate(31.23, 121.47));
        service.stopUpdating();
        service.startUpdating();
        QTRY_COMPARE(fixes.size(), 2);
        QCOMPARE(fixes.at(1).at(1).value<QGeoCoordinate>(), QGeoCoordinate(31.23, 121.47));
        // Stopped before the fix is delivered: nothing arrives.
        service.stopUpdating();
        service.startUpdating();
        service.stopUpdating();
        QSignalSpy after(&service, &LocationService::didUpdate);
        QVERIFY(!after.wait(50));
    }

    void noSourceMeansNoServices()
    {
        LocationService service;
        service.setSource(nullptr);
        QVERIFY(!service.servicesEnabled());
        service.startUpdating();
        QVERIFY(!service.isUpdating());
    }
};

QTEST_GUILESS_MAIN(TestLocation)
#include "tst_location.moc"
