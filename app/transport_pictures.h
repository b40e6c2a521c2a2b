// The faces of the main window's picture buttons, drawn by the art tool and stored as images.
#pragma once

class BView;

// The window's thread. Gives "btnPlay", "btnRec", "btnLoop", "btnSolo" and "btnSongDetails"
// under root their off and on pictures; a button whose images are missing keeps its own.
void DressTransportButtons(BView* root);
