// Errors the user must see, shown in the program's alert.
#pragma once

// Any thread. From now on ShowError shows a modal alert titled "Error" with the text and
// one button "Shit!", and returns when it is pressed. With no GUI the alert prints
// "Error: <text>" on standard error instead.
void InstallErrorAlert();
