#pragma once

#include <QGeoCoordinate>
#include <QObject>
#include <QPointer>

class QGeoPositionInfo;
#include <QGeoPositionInfoSource>

// Location updates for the shell. The source is the system's positioning
// by default; demos and tests give a fixed position or a recorded NMEA
// file. Each fix is reported with the previous one.
class LocationService : public QObject
{
    Q_OBJECT
public:
    // Error codes: 0 means the position is momentarily unknown (updates go
    // on); any other code means the source is unusable.
    enum ErrorCode { PositionUnknown = 0, AccessDenied = 1, SourceClosed = 2, SourceFailed = 3 };

    explicit LocationService(QObject *parent = nullptr);
    ~LocationService() override;

    // Takes ownership; null falls back to no source (updates never come).
    void setSource(QGeoPositionInfoSource *source);
    QGeoPositionInfoSource *source() const { return m_source; }
    // A source that reports one fixed position on every start.
    static QGeoPositionInfoSource *fixedSource(const QGeoCoordinate &position, QObject *parent = nullptr);
    // Replays a recorded NMEA file; null when the file cannot be opened.
    static QGeoPositionInfoSource *nmeaFileSource(const QString &path, QObject *parent = nullptr);

    bool servicesEnabled() const { return m_source != nullptr; }
    // Metres; kept for sources that honour it.
    void setDesiredAccuracy(double metres) { m_accuracy = metres; }
    double desiredAccuracy() const { return m_accuracy; }

    void startUpdating();
    void stopUpdating();
    bool isUpdating() const { return m_updating; }
    QGeoCoordinate lastFix() const { return m_last; }

    static double distance(const QGeoCoordinate &a, const QGeoCoordinate &b);

Q_SIGNALS:
    // previous is invalid for the first fix.
    void didUpdate(const QGeoCoordinate &fix, const QGeoCoordinate &previous);
    void didFail(int code);

private:
    void onPosition(const QGeoPositionInfo &info);

    QPointer<QGeoPositionInfoSource> m_source;
    QGeoCoordinate m_last;
    double m_accuracy = 10;
    bool m_updating = false;
};
