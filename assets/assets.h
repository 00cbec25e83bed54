// The pictures and pointers the windows show, embedded in the programs.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace assets {

// The faces of the icon animation, 0 to qo::FaceCount - 1 (shared/faces.h; the first
// qo::SmallFaceCount also carry a 16 x 16 size).
QIcon face(int index);
// What a face shows, in words, for a screen reader.
QString faceName(int index);
// The credits window's corner logo: the face with a straight mouth.
QIcon cornerLogo();
// The splash banner, 525 x 60.
QPixmap banner();
// The menu's author picture, 80 x 80.
QPixmap authorPicture();
// The menu's exit picture, 80 x 25.
QPixmap exitPicture();
// The menu's credits picture, 100 x 33.
QPixmap creditsPicture();

// The programs' own icons, 16 to 256 pixels: the quiz's smiling face, the editor's
// face with a pencil. The same pictures are installed for the desktop's menus.
enum class ProgramIcon { Quiz, Editor };
QIcon programIcon(ProgramIcon which);
// The sizes of it a window carries (16, 32 and 48), for its title bar and the task list:
// every window hands its icon to the desktop at each size it holds, and menus and
// launchers take the installed pictures anyway.
QIcon windowIcon(ProgramIcon which);

enum class Pointer { RedArrow, WhiteArrow, UpArrow, NoEntry, Magnifier };
struct PointerImage {
    QPixmap image; // 32 x 32
    int hotX = 0;
    int hotY = 0;
};
PointerImage pointer(Pointer which);

} // namespace assets
