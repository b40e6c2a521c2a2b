#include "platform/interface/check_box.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BCheckBox)

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
                     uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {}

BCheckBox::BCheckBox(BMessage* archive) : BControl(archive) {}

BArchivable* BCheckBox::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BCheckBox") ? new BCheckBox(archive) : nullptr;
}

status_t BCheckBox::Archive(BMessage* archive, bool deep) const {
    BControl::Archive(archive, deep);
    return archive_class_name(archive, "BCheckBox");
}

QWidget* BCheckBox::CreateWidget(QWidget* parent) {
    auto* box = new QCheckBox(parent);
    const int32 token = Window()->Token();
    // clicked reports only what the user did, not what SyncWidget set.
    QObject::connect(box, &QCheckBox::clicked, box, [this, token](bool checked) {
        WhenLocked(token, [this, checked] {
            SetValue(checked ? B_CONTROL_ON : B_CONTROL_OFF);
            Invoke();
        });
    });
    return box;
}

void BCheckBox::SyncWidget() {
    auto* box = static_cast<QCheckBox*>(Widget());
    const QSignalBlocker blocker(box);
    box->setText(QString::fromUtf8(Label()));
    box->setChecked(Value() != B_CONTROL_OFF);
    box->setEnabled(IsEnabled());
}
