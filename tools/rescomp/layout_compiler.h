// Turns a JSON layout into the message it describes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "message/message.h"

// A fault in a layout and the field it lies in, e.g. "_views[1].frame" ("" for the whole).
class LayoutError : public std::runtime_error {
  public:
    // Any thread.
    LayoutError(std::string field, const std::string& problem)
        : std::runtime_error(problem), fField(std::move(field)) {}

    // Any thread.
    const std::string& Field() const { return fField; }

  private:
    std::string fField;
};

// Any thread. Throws LayoutError for bad JSON, unknown kinds, wrong shapes and values out of
// range.
BMessage CompileLayout(std::string_view text);
