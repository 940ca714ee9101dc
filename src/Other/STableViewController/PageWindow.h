#pragma once

#include <QList>

#include <optional>

// The paging rules every list screen shares with its service requests: a
// page asks for 16 positions from the start index, which moves on by 16 as
// the request goes out; a short page (fewer than 15) or a list past 999999
// rows ends paging. No widgets: the screens apply the outcome.
class PageWindow
{
public:
    static constexpr int PageSize = 16;
    static constexpr int FullPage = 15;
    static constexpr int MaxRows = 999999;

    struct Request
    {
        int startIndex = 0;
        int endIndex = 0;        // inclusive: startIndex + 15
        bool showLoading = false; // the first page only
    };

    struct Outcome
    {
        bool canLoadMore = false;
        bool showNoData = false; // a failed answer with nothing on screen
    };

    int start() const { return m_start; }
    void reset() { m_start = 0; }

    // The window of the next request; moves the start on at once.
    Request next();

    // received: the records of the answer, none when the request failed;
    // held: the rows shown before it.
    static Outcome outcome(std::optional<qsizetype> received, qsizetype held);

    // Appends a successful answer to rows and answers the outcome.
    template <typename T>
    static Outcome apply(QList<T> &rows, const std::optional<QList<T>> &answer)
    {
        const qsizetype held = rows.size();
        if (answer)
            rows.append(*answer);
        return outcome(answer ? std::optional<qsizetype>(answer->size()) : std::nullopt, held);
    }

private:
    int m_start = 0;
};
