// The main window's transport buttons: flat keys for the grey side panel, off and lit.
#pragma once

#include <QImage>

enum class TransportSymbol { kPlay, kRecord, kLoop, kSolo, kDetails };

// Play is 39 x 23, the others 25 x 23. Opaque: the corners take the panel grey.
QImage TransportButton(TransportSymbol symbol, bool lit);
