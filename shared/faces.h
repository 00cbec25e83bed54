// The faces of the quiz's icon animation (assets/images/face0.png onward): the windows,
// the web page and the painter of the pictures count them here, and CMake reads both
// numbers from this file for the pictures it embeds.
#pragma once

namespace qo {

// The faces, 0 to FaceCount - 1, each 32 x 32.
constexpr int FaceCount = 8;
// Faces 0 to SmallFaceCount - 1 also come at 16 x 16, drawn as pixel art.
constexpr int SmallFaceCount = 6;

} // namespace qo
