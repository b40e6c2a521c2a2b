// The program's windows are tested on the offscreen display over the one song, made of the
// real add-ons of the build tree, playing on the null output.
#pragma once

#include <string>
#include <vector>

class BMessage;
class BWindow;

// Texts ShowError was asked to show since the last Clear.
std::vector<std::string>& ShownErrors();
// The GUI thread: the window handles the message under its lock, then events run.
void SendTo(BWindow* window, const BMessage& message);
// The GUI thread: makes the main window once.
void OpenPlaylistWindow();
// The GUI thread: a new song in the main window, dropping the changes of the one before.
void FreshSong();
// The GUI thread: the window shown with that title; null when there is none.
BWindow* ShownWindowTitled(const char* title);
