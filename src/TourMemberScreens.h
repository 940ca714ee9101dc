#pragma once

#include <QString>

#include <functional>

class AppDelegate;

// The screenshot tour's member screens over the sample data: the wallet's
// three lists, a point card in each state, the scanning view and the login
// and registration forms. shoot takes
// a picture under a name and answers whether it was written.
namespace TourMemberScreens {

bool run(AppDelegate &delegate, const std::function<bool(const QString &name)> &shoot);

} // namespace TourMemberScreens
