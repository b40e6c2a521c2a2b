#include "addons/common/controller_window.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/interface/text_control.h"
#include "platform/interface/view.h"

ControllerWindow::ControllerWindow(const ControllerField& field)
    : BWindow(BRect(150, 350, 350, 430), field.title, B_TITLED_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE),
      fField(field) {
    auto* view = new BView(Bounds(), "view", B_FOLLOW_ALL, B_WILL_DRAW);
    view->SetViewColor(216, 216, 216);
    AddChild(view);
    fText =
        new BTextControl(BRect(5, 5, 195, 25), "text", field.label, "", new BMessage(kCommitted));
    view->AddChild(fText);
}

void ControllerWindow::Update(Machine* controller) {
    Lock();
    if (IsHidden()) Show();
    fController = controller;
    Unlock();
    Refresh(controller);
}

void ControllerWindow::Refresh(Machine* controller) {
    Lock();
    if (fController == controller)
        fText->SetText(std::to_string(fField.field(controller)->load()).c_str());
    Unlock();
}

void ControllerWindow::Forget(Machine* controller) {
    Lock();
    if (fController == controller) {
        fController = nullptr;
        if (!IsHidden()) Hide();
    }
    Unlock();
}

void ControllerWindow::MessageReceived(BMessage* message) {
    if (message->what == kCommitted) {
        if (fController != nullptr) Commit();
        return;
    }
    BWindow::MessageReceived(message);
}

// Parsed like atoi, leading digits only, but held to the field's limits even when the digits
// overflow.
void ControllerWindow::Commit() {
    const long long typed = std::strtoll(fText->Text(), nullptr, 10);
    *fField.field(fController) = int32(std::clamp<long long>(typed, fField.min, fField.max));
    Update(fController);
    if (fController->view != nullptr) fController->view->Invalidate();
}

bool ControllerWindow::QuitRequested() {
    Hide();
    return false;
}
