#include "app/file_names.h"

namespace kiro::app {
namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kFolderSeparator = u'/';
constexpr QChar kDot = u'.';

// The text after the last "/".
QString fileName(const QString& path) {
    return path.mid(path.lastIndexOf(kFolderSeparator) + 1);
}

// Up to the first "." of the text.
QString stem(const QString& name) {
    const qsizetype dot = name.indexOf(kDot);
    return dot < 0 ? name : name.left(dot);
}

} // namespace

QString commandLinePath(const QString& commandLine) {
    if (!commandLine.startsWith(kQuote)) {
        return commandLine;
    }
    const qsizetype closing = commandLine.indexOf(kQuote, 1);
    return closing < 0 ? commandLine.mid(1) : commandLine.mid(1, closing - 1);
}

QString saveNameForCommandLine(const QString& path) {
    return stem(fileName(path)) + QLatin1String(kDesignExtension);
}

QString nameOfferedBySave(const QString& proposedName) {
    const QString name = fileName(proposedName);
    return proposedName.left(proposedName.size() - name.size()) + stem(name) +
           QLatin1String(kDesignExtension);
}

QString withDesignExtension(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(kDesignExtension), Qt::CaseInsensitive)) {
        return chosen;
    }
    return chosen + QLatin1String(kDesignExtension);
}

} // namespace kiro::app
