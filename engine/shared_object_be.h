// A library loaded through the platform's add-on loader.
#pragma once

#include "engine/shared_object.h"

class SharedObjectBe : public SharedObject {
  public:
    explicit SharedObjectBe(const char* libraryPath);
    ~SharedObjectBe() override;
    SharedObjectBe(const SharedObjectBe&) = delete;
    SharedObjectBe& operator=(const SharedObjectBe&) = delete;

    bool GetObject(const char* symbol, void** out) override;

    int32 image = 0;
};
