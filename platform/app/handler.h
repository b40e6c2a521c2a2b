// Something that receives messages on its looper's thread.
#pragma once

#include <string>

#include "message/message.h"

class BLooper;

class BHandler {
  public:
    explicit BHandler(const char* name = nullptr);
    virtual ~BHandler();
    BHandler(const BHandler&) = delete;
    BHandler& operator=(const BHandler&) = delete;

    // The looper's thread. Unhandled messages go to the next handler, if any.
    virtual void MessageReceived(BMessage* message);

    const char* Name() const { return fName.c_str(); }
    void SetName(const char* name) { fName = name ? name : ""; }
    BLooper* Looper() const { return fLooper; }
    BHandler* NextHandler() const { return fNextHandler; }
    void SetNextHandler(BHandler* handler) { fNextHandler = handler; }

  private:
    friend class BLooper;
    std::string fName;
    BLooper* fLooper = nullptr;
    BHandler* fNextHandler = nullptr;
};
