#include "LocationService.h"

#include <QFile>
#include <QGeoPositionInfoSource>
#include <QNmeaPositionInfoSource>
#include <QTimer>

namespace {

class FixedPositionSource : public QGeoPositionInfoSource
{
public:
    FixedPositionSource(const QGeoCoordinate &position, QObject *parent)
        : QGeoPositionInfoSource(parent), m_position(position)
    {
    }
    void setUpdateInterval(int msec) override { QGeoPositionInfoSource::setUpdateInterval(msec); }
    QGeoPositionInfo lastKnownPosition(bool) const override { return info(); }
    PositioningMethods supportedPositioningMethods() const override { return AllPositioningMethods; }
    int minimumUpdateInterval() const override { return 0; }
    Error error() const override { return NoError; }
    void startUpdates() override
    {
        m_running = true;
        QTimer::singleShot(0, this, [this] {
            if (m_running)
                Q_EMIT positionUpdated(info());
        });
    }
    void stopUpdates() override { m_running = false; }
    void requestUpdate(int) override
    {
        QTimer::singleShot(0, this, [this] { Q_EMIT positionUpdated(info()); });
    }

private:
    QGeoPositionInfo info() const { return QGeoPositionInfo(m_position, QDateTime::currentDateTimeUtc()); }
    QGeoCoordinate m_position;
    bool m_running = false;
};

int codeOf(QGeoPositionInfoSource::Error error)
{
    switch (error) {
    case QGeoPositionInfoSource::UpdateTimeoutError:
    case QGeoPositionInfoSource::NoError:
        return LocationService::PositionUnknown;
    case QGeoPositionInfoSource::AccessError:
        return LocationService::AccessDenied;
    case QGeoPositionInfoSource::ClosedError:
        return LocationService::SourceClosed;
    case QGeoPositionInfoSource::UnknownSourceError:
        break;
    }
    return LocationService::SourceFailed;
}

} // namespace

LocationService::LocationService(QObject *parent) : QObject(parent)
{
    setSource(QGeoPositionInfoSource::createDefaultSource(nullptr));
}

LocationService::~LocationService()
{
    delete m_source.data();
}

void LocationService::setSource(QGeoPositionInfoSource *source)
{
    if (source == m_source)
        return;
    stopUpdating();
    delete m_source.data();
    m_source = source;
    if (!source)
        return;
    source->setParent(this);
    connect(source, &QGeoPositionInfoSource::positionUpdated, this, &LocationService::onPosition);
    connect(source, &QGeoPositionInfoSource::errorOccurred, this,
            [this](QGeoPositionInfoSource::Error error) {
                if (m_updating)
                    Q_EMIT didFail(codeOf(error));
            });
}

QGeoPositionInfoSource *LocationService::fixedSource(const QGeoCoordinate &position, QObject *parent)
{
    return new FixedPositionSource(position, parent);
}

QGeoPositionInfoSource *LocationService::nmeaFileSource(const QString &path, QObject *parent)
{
    auto *file = new QFile(path);
    if (!file->open(QIODevice::ReadOnly)) {
        delete file;
        return nullptr;
    }
    auto *source = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode, parent);
    file->setParent(source);
    source->setDevice(file);
    // Replay as fast as the recording allows: demos and tests need no real time.
    source->setUpdateInterval(0);
    return source;
}

void LocationService::startUpdating()
{
    if (!m_source || m_updating)
        return;
    m_updating = true;
    m_source->startUpdates();
}

void LocationService::stopUpdating()
{
    if (!m_updating)
        return;
    m_updating = false;
    if (m_source)
        m_source->stopUpdates();
}

void LocationService::onPosition(const QGeoPositionInfo &info)
{
    if (!m_updating || !info.isValid())
        return;
    const QGeoCoordinate previous = m_last;
    m_last = info.coordinate();
    Q_EMIT didUpdate(m_last, previous);
}

double LocationService::distance(const QGeoCoordinate &a, const QGeoCoordinate &b)
{
    if (!a.isValid() || !b.isValid())
        return 0;
    return a.distanceTo(b);
}
