// Files dropped on a window from a file manager or the desktop.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

namespace rt {

// Lets a window (its controls included) take drops. Every drag that may copy is let in,
// and is only ever copied, so the place it came from keeps its files. After the drop,
// once the drag is over, the handler runs at the handler boundary with the local files
// it carried as the system names them; none for a drop of anything else (text, a web
// address), so that the window can tell the user what it takes.
void acceptFileDrops(QWidget* window, std::function<void(const QStringList& files)> handler);

} // namespace rt
