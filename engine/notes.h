// Note numbers: their frequency ratio to note 69 and the names of their pitch classes.
#pragma once

// Any thread. 2^((note - 69) / 12), with note limited to 0..127.
float NoteToPitch(int note);
// Any thread. "C" .. "B"; negative notes name the pitch class they fall in.
const char* NoteToString(int note);
