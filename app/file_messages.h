#pragma once

#include <QString>

#include "model/design_file.h"

namespace kiro::app {

// What the boxes say when a design file is refused, read only in part, or not written:
// the file, then why.

// A refused file (any status that is not accepted).
QString readFailureText(const QString& path, const DesignReadResult& result);
// A file of a known layout that ends before the design does (ReadEndsEarly).
QString readEndsEarlyText(const QString& path, const DesignReadResult& result);
// A write that did not happen.
QString writeFailureText(const QString& path, const DesignWriteResult& result);

// The system's words for an errno value, in the user's language where the C library
// has them; empty for 0 (no reason known).
QString systemErrorText(int error);

} // namespace kiro::app
