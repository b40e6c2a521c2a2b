// What the about window shows: the program's name, version and purpose.
#pragma once

#include "platform/interface/view.h"

class MyView : public BView {
  public:
    explicit MyView(BRect frame);

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    // A click or Escape closes the window.
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

  private:
    void DrawCentred(const char* text, float baseline);
    void DrawSteps(float top);
    void Close();
};
