#include "app/window_title.h"

#include <QFileInfo>
#include <QStringList>

namespace kiro::app {

QString windowTitleFor(const QString& description, const QString& filePath) {
    static const QString kModifiedMark = QStringLiteral("[*]");
    QStringList parts;
    if (!description.isEmpty()) {
        parts << description;
    }
    if (!filePath.isEmpty()) {
        parts << QFileInfo(filePath).fileName();
    }
    parts << QStringLiteral("KIRO");
    // The mark goes with the part that names the design; Qt shows it as "*" when modified.
    const qsizetype marked = parts.size() > 1 ? parts.size() - 2 : 0;
    parts[marked] += kModifiedMark;
    return parts.join(QStringLiteral(" \u2014 "));
}

} // namespace kiro::app
