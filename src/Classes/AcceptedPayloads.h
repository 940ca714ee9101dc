#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

// The QR payloads (add points, exchange) this phone has already accepted, so
// that showing the same code again cannot add the points twice. A payload is
// known by its merchant and the millisecond it was made, whatever its kind:
// a code accepted as one kind cannot be replayed as the other.
//
// Entries are kept only while the payload's time window could still accept
// it, in a small file of its own in the documents folder (never in the
// synchronised tables, never uploaded). When an entry is dropped its time is
// kept as a watermark: with a clock that only moves forward nothing at or
// before it can pass the time window any more, so refusing it costs nothing
// and a clock set back cannot revive a dropped code.
class AcceptedPayloads
{
public:
    // A payload is accepted when its time is at most this far from now.
    static constexpr qint64 kWindowMs = 599999;

    static AcceptedPayloads &getInstance();
    // Forgets the shared instance; the next getInstance reads AppPaths' current folder.
    static void resetInstance();

    static QString filePath();

    // True when the payload was accepted before (and may still be within its window).
    bool isAccepted(const QString &merchantId, qint64 madeAtMs) const;
    // Records the payload as accepted at nowMs. False when it was accepted
    // before, or when the record could not be written durably: a payload
    // that cannot be remembered is refused rather than left open to replay.
    bool tryAccept(const QString &merchantId, qint64 madeAtMs, qint64 nowMs);

    int size() const { return int(m_entries.size()); }

    AcceptedPayloads(const AcceptedPayloads &) = delete;
    AcceptedPayloads &operator=(const AcceptedPayloads &) = delete;

private:
    AcceptedPayloads();
    void load();
    bool save() const;
    // Drops entries whose window has closed at nowMs; true when any was dropped.
    bool dropExpired(qint64 nowMs);
    static QString keyOf(const QString &merchantId, qint64 madeAtMs);

    QHash<QString, qint64> m_entries; // key -> time the payload was made
    qint64 m_watermark; // newest time of a dropped entry
    bool m_hasWatermark = false;
};
