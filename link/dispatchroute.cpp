#include "dispatchroute.h"

Route routeFor(const QByteArray& payload, int shownTab, bool pairSelected)
{
    if (payload.isEmpty())
        return Route::Ignore;
    auto onTab = [&](int tab, Route r) { return shownTab == tab && pairSelected ? r : Route::Ignore; };
    switch (payload.at(0)) {
    case '#':
        return Route::KeepAlive;
    case 'S':
        return Route::Status;
    case 'B':
        return Route::Battery;
    case 'D':
        return Route::Firmware;
    case 'P':
        return shownTab == Tab::Nljd || shownTab == Tab::Refl ? Route::Progress : Route::Ignore;
    case 'C':
        return onTab(Tab::Wrx, Route::Wrx);
    case 'M':
        return onTab(Tab::Lfa, Route::Lfa);
    case 'V':
        return onTab(Tab::Lfa, Route::LfaVoltage);
    case 'N':
        return onTab(Tab::Nljd, Route::Nljd);
    case 'T':
        return onTab(Tab::Refl, Route::Refl);
    default:
        return Route::Ignore;
    }
}
