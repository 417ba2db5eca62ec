#pragma once
// The images of the explorer rows: the expand and collapse squares and the
// label frame.

inline constexpr const char* kExplorerPlusImage = "Resources//Textures//Icons//Plus.png";
inline constexpr const char* kExplorerMinusImage = "Resources//Textures//Icons//Minus.png";
inline constexpr const char* kExplorerFrameImage = "Frames/MainWindow.png";
