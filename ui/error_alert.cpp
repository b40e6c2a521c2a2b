#include "ui/error_alert.h"

#include "engine/show_error.h"
#include "platform/interface/alert.h"

namespace {

void PresentInAlert(const char* text) {
    (new BAlert("Error", text, "Shit!", nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT))->Go();
}

}  // namespace

void InstallErrorAlert() {
    SetErrorPresenter(PresentInAlert);
}
