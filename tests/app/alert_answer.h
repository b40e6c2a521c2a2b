// Alerts run in a nested loop on the GUI thread, so tests answer them from a timer.
#pragma once

#include <QString>
#include <string>
#include <vector>

// The GUI thread: once an alert is open, records its text into *seen (when given) and presses
// the button with this label. Gives up after about two seconds.
void AnswerWhenOpen(const QString& label, std::vector<std::string>* seen = nullptr);
// The GUI thread: answers still waiting for an alert give up.
void StopAnswering();
