#include "platform/app/handler.h"

#include "platform/app/looper.h"

BHandler::BHandler(const char* name) : fName(name ? name : "") {}

BHandler::~BHandler() {
    if (fLooper && fLooper != this) fLooper->RemoveHandler(this);
}

void BHandler::MessageReceived(BMessage* message) {
    if (fNextHandler) fNextHandler->MessageReceived(message);
}
