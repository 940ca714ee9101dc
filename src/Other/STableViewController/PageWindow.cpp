#include "PageWindow.h"

PageWindow::Request PageWindow::next()
{
    Request request;
    request.startIndex = m_start;
    request.endIndex = m_start + PageSize - 1;
    request.showLoading = m_start <= 0;
    m_start += PageSize;
    return request;
}

PageWindow::Outcome PageWindow::outcome(std::optional<qsizetype> received, qsizetype held)
{
    const qsizetype n = received.value_or(0);
    Outcome result;
    result.canLoadMore = !(n < FullPage || n + held > MaxRows);
    result.showNoData = !received && held == 0;
    return result;
}
