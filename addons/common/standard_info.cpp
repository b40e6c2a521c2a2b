#include "addons/common/standard_info.h"

BMessage* StandardInfo() {
    static BMessage* info = [] {
        auto* message = new BMessage;
        message->AddString("info", "Standard component");
        message->AddString("developer", "The Velloran developers");
        return message;
    }();
    return info;
}
