// dyr check: the faults of a set file.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace dyr {

// What is wrong with a set file's bytes, one line per problem; empty when sound.
QStringList check(const QByteArray& content);

} // namespace dyr
