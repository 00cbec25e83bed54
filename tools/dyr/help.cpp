// dyr's help text and the usage it lists.
#include "help.h"

#include <QFile>

namespace dyr {

QString helpText() {
    QFile file(QStringLiteral(":/dyr/help.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QList<UsageEntry> usageOf(const QString& help) {
    QList<UsageEntry> entries;
    const QStringList lines = help.split(QLatin1Char('\n'));
    qsizetype at = lines.indexOf(QStringLiteral("Upotreba:"));
    if (at < 0)
        return entries;
    for (++at; at < lines.size() && !lines[at].isEmpty(); ++at) {
        const QString& line = lines[at];
        if (line.startsWith(QLatin1String("  dyr "))) {
            const qsizetype gap = line.indexOf(QLatin1String("  "), 2);
            entries.append({line.mid(2, gap < 0 ? -1 : gap - 2),
                            gap < 0 ? QString() : line.mid(gap).trimmed()});
        } else if (!entries.isEmpty()) {
            entries.last().description += QLatin1Char(' ') + line.trimmed();
        }
    }
    for (UsageEntry& entry : entries)
        entry.description = entry.description.trimmed();
    return entries;
}

QStringList synopsis() {
    QStringList commands;
    for (const UsageEntry& entry : usageOf(helpText()))
        commands << entry.command;
    return commands;
}

} // namespace dyr
