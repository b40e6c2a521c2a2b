// The description the shipped add-ons give through GetInfo.
#pragma once

#include "message/message.h"

// Any thread. Built on the first call; the add-on image keeps it.
BMessage* StandardInfo();
