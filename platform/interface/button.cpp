#include "platform/interface/button.h"

#include <QPushButton>
#include <QSignalBlocker>

#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BButton)

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {}

BButton::BButton(BMessage* archive) : BControl(archive) {
    archive->FindBool("_default", &fDefault);
}

BArchivable* BButton::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BButton") ? new BButton(archive) : nullptr;
}

status_t BButton::Archive(BMessage* archive, bool deep) const {
    BControl::Archive(archive, deep);
    archive_class_name(archive, "BButton");
    if (fDefault) archive->AddBool("_default", true);
    return B_OK;
}

void BButton::MakeDefault(bool isDefault) {
    fDefault = isDefault;
    WidgetStateChanged();
}

QWidget* BButton::CreateWidget(QWidget* parent) {
    auto* button = new QPushButton(parent);
    const int32 token = Window()->Token();
    QObject::connect(button, &QPushButton::clicked, button,
                     [this, token] { WhenLocked(token, [this] { Invoke(); }); });
    return button;
}

void BButton::SyncWidget() {
    auto* button = static_cast<QPushButton*>(Widget());
    const QSignalBlocker blocker(button);
    button->setText(QString::fromUtf8(Label()));
    button->setEnabled(IsEnabled());
    button->setDefault(fDefault);
    BFont font;
    GetFont(&font);
    button->setFont(font.ToQFont());
}
