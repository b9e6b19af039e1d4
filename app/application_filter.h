#pragma once

#include <QApplication>

namespace kiro::app {

// Watches every widget's events for the rest of the run: the filter is made once, owned by
// the application, and installed on it; later calls do nothing.
template <class Filter> void installApplicationFilterOnce() {
    static Filter* filter = nullptr;
    if (filter == nullptr) {
        filter = new Filter(qApp);
        qApp->installEventFilter(filter);
    }
}

} // namespace kiro::app
