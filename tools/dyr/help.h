// dyr's help text, kept once: --help prints it, and the usage message and the manual
// page are made from it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace dyr {

// The usage and format description printed by --help.
QString helpText();

// A command of the help's usage, "dyr dump DATOTEKA", and what it does.
struct UsageEntry {
    QString command;
    QString description;
};

// The usage of a help text: each line under "Upotreba:" that starts with "  dyr ", up to
// the gap before its description, which goes on in the lines below it, further in.
QList<UsageEntry> usageOf(const QString& help);

// The commands of the help's usage, one a line: "dyr dump DATOTEKA", ...
QStringList synopsis();

} // namespace dyr
