#include "AcceptedPayloads.h"

#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QSaveFile>

#include <memory>
#include <optional>

namespace {

QMutex instanceLock;
std::unique_ptr<AcceptedPayloads> &instance()
{
    static std::unique_ptr<AcceptedPayloads> shared;
    return shared;
}

// A made time as JSON: decimal text, so all 64 bits survive.
QJsonValue timeToJson(qint64 ms)
{
    return QString::number(ms);
}

std::optional<qint64> timeFromJson(const QJsonValue &value)
{
    bool ok = false;
    const qint64 ms = value.toString().toLongLong(&ok);
    return ok ? std::optional<qint64>(ms) : std::nullopt;
}

} // namespace

AcceptedPayloads &AcceptedPayloads::getInstance()
{
    QMutexLocker locker(&instanceLock);
    auto &shared = instance();
    if (!shared)
        shared.reset(new AcceptedPayloads());
    return *shared;
}

void AcceptedPayloads::resetInstance()
{
    QMutexLocker locker(&instanceLock);
    instance().reset();
}

QString AcceptedPayloads::filePath()
{
    return QDir(AppPaths::documentsDir()).filePath(QStringLiteral("acceptedPayloads.json"));
}

AcceptedPayloads::AcceptedPayloads() : m_watermark(0)
{
    load();
}

QString AcceptedPayloads::keyOf(const QString &merchantId, qint64 madeAtMs)
{
    // Merchant ids are decimal texts, so "," cannot occur in them.
    return merchantId + QLatin1Char(',') + QString::number(madeAtMs);
}

void AcceptedPayloads::load()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return; // none yet
    // A damaged file only costs the memory of the last few minutes' codes.
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (const auto mark = timeFromJson(root.value(QLatin1String("watermark")))) {
        m_watermark = *mark;
        m_hasWatermark = true;
    }
    const QJsonArray entries = root.value(QLatin1String("accepted")).toArray();
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        const QJsonValue merchant = object.value(QLatin1String("merchantId"));
        const auto madeAt = timeFromJson(object.value(QLatin1String("madeAt")));
        if (merchant.isString() && madeAt)
            m_entries.insert(keyOf(merchant.toString(), *madeAt), *madeAt);
    }
}

bool AcceptedPayloads::save() const
{
    QJsonArray entries;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        const QString merchant = it.key().section(QLatin1Char(','), 0, 0);
        entries.append(QJsonObject{{QStringLiteral("merchantId"), merchant},
                                   {QStringLiteral("madeAt"), timeToJson(it.value())}});
    }
    QJsonObject root{{QStringLiteral("accepted"), entries}};
    if (m_hasWatermark)
        root.insert(QStringLiteral("watermark"), timeToJson(m_watermark));

    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Compact);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool AcceptedPayloads::dropExpired(qint64 nowMs)
{
    bool dropped = false;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        // The window of a payload made at t closes after t + kWindowMs;
        // compared without overflow for times near the 64-bit limits.
        const qint64 madeAt = it.value();
        const bool closed = madeAt <= nowMs && quint64(nowMs) - quint64(madeAt) > quint64(kWindowMs);
        if (closed) {
            if (!m_hasWatermark || madeAt > m_watermark) {
                m_watermark = madeAt;
                m_hasWatermark = true;
            }
            it = m_entries.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    return dropped;
}

bool AcceptedPayloads::isAccepted(const QString &merchantId, qint64 madeAtMs) const
{
    if (m_hasWatermark && madeAtMs <= m_watermark)
        return true;
    return m_entries.contains(keyOf(merchantId, madeAtMs));
}

bool AcceptedPayloads::tryAccept(const QString &merchantId, qint64 madeAtMs, qint64 nowMs)
{
    dropExpired(nowMs);
    if (isAccepted(merchantId, madeAtMs))
        return false;
    const QString key = keyOf(merchantId, madeAtMs);
    m_entries.insert(key, madeAtMs);
    if (!save()) {
        m_entries.remove(key);
        return false;
    }
    return true;
}
