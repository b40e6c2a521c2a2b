// The program's icon and its songs' icon, in the desktop's icon theme layout.
#pragma once

#include <string>
#include <vector>

#include "tools/artgen/vector_art.h"

// Three modules joined by cables, the one they feed carrying a pair of notes.
VectorPicture ProgramIcon();

// A page with the program's mark: the song file type's icon.
VectorPicture SongFileIcon();

// Writes DIR/hicolor/NxN/{apps,mimetypes}/ PNG files for each size and the scalable SVG files.
bool WriteIcons(const std::string& dir, const std::vector<int>& sizes);
