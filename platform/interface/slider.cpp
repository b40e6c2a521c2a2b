#include "platform/interface/slider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BSlider)

namespace {

QLabel* AddLabel(QBoxLayout* layout, QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    layout->addWidget(label);
    return label;
}

void ShowText(QWidget* widget, const char* name, const std::string& text, const QFont& font) {
    auto* label = widget->findChild<QLabel*>(name);
    label->setText(QString::fromUtf8(text.c_str()));
    label->setFont(font);
    label->setVisible(!text.empty());
}

// Label above; limit labels at the ends (the top one only shows when vertical).
QWidget* MakeSliderWidget(QWidget* parent) {
    auto* control = new QWidget(parent);
    auto* column = new QVBoxLayout(control);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    AddLabel(column, control, "label");
    AddLabel(column, control, "top");
    column->addWidget(new QSlider(control), 1);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    AddLabel(row, control, "left");
    row->addStretch(1);
    AddLabel(row, control, "right");
    return control;
}

}  // namespace

BSlider::BSlider(BRect frame, const char* name, const char* label, BMessage* message,
                 int32 minValue, int32 maxValue, thumb_style, uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags),
      fMin(minValue),
      fMax(std::max(minValue, maxValue)) {
    SetValue(Value());
}

BSlider::BSlider(BMessage* archive) : BControl(archive), fMin(0), fMax(100) {
    archive->FindInt32("_min", &fMin);
    archive->FindInt32("_max", &fMax);
    fMax = std::max(fMin, fMax);
    BMessage modification;
    if (archive->FindMessage("_mod_msg", &modification) == B_OK)
        fModMessage = std::make_unique<BMessage>(modification);
    int32 direction = B_HORIZONTAL;
    archive->FindInt32("_orient", &direction);
    fOrientation = direction == B_VERTICAL ? B_VERTICAL : B_HORIZONTAL;
    int32 hashMarks = B_HASH_MARKS_NONE;
    archive->FindInt32("_hashl", &hashMarks);
    fHashMarks = hash_mark_location(std::clamp(hashMarks, 0, int32(B_HASH_MARKS_BOTH)));
    archive->FindInt32("_hashc", &fHashMarkCount);
    archive->FindString("_minlbl", &fMinLabel);
    archive->FindString("_maxlbl", &fMaxLabel);
    SetValue(Value());
}

BSlider::~BSlider() = default;

BArchivable* BSlider::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BSlider") ? new BSlider(archive) : nullptr;
}

status_t BSlider::Archive(BMessage* archive, bool deep) const {
    BControl::Archive(archive, deep);
    archive_class_name(archive, "BSlider");
    archive->AddInt32("_min", fMin);
    archive->AddInt32("_max", fMax);
    if (fModMessage) archive->AddMessage("_mod_msg", fModMessage.get());
    archive->AddInt32("_orient", fOrientation);
    archive->AddInt32("_hashl", fHashMarks);
    archive->AddInt32("_hashc", fHashMarkCount);
    if (!fMinLabel.empty()) archive->AddString("_minlbl", fMinLabel);
    if (!fMaxLabel.empty()) archive->AddString("_maxlbl", fMaxLabel);
    return B_OK;
}

void BSlider::SetValue(int32 value) {
    BControl::SetValue(std::clamp(value, fMin, fMax));
}

void BSlider::SetLimits(int32 minimum, int32 maximum) {
    fMin = minimum;
    fMax = std::max(minimum, maximum);
    WidgetStateChanged();
    SetValue(Value());
}

void BSlider::GetLimits(int32* minimum, int32* maximum) const {
    if (minimum) *minimum = fMin;
    if (maximum) *maximum = fMax;
}

void BSlider::SetModificationMessage(BMessage* message) {
    fModMessage.reset(message);
}

void BSlider::SetOrientation(orientation direction) {
    fOrientation = direction == B_VERTICAL ? B_VERTICAL : B_HORIZONTAL;
    WidgetStateChanged();
}

void BSlider::SetHashMarks(hash_mark_location where) {
    fHashMarks = where;
    WidgetStateChanged();
}

void BSlider::SetHashMarkCount(int32 count) {
    fHashMarkCount = std::max(count, 0);
    WidgetStateChanged();
}

void BSlider::SetLimitLabels(const char* minLabel, const char* maxLabel) {
    fMinLabel = minLabel ? minLabel : "";
    fMaxLabel = maxLabel ? maxLabel : "";
    WidgetStateChanged();
}

void BSlider::UserMoved(int32 value, BMessage* message) {
    SetValue(value);
    if (message) Invoke(message);
}

QWidget* BSlider::CreateWidget(QWidget* parent) {
    QWidget* control = MakeSliderWidget(parent);
    auto* slider = control->findChild<QSlider*>();
    const int32 token = Window()->Token();
    QObject::connect(slider, &QSlider::sliderMoved, slider, [this, token](int value) {
        WhenLocked(token, [this, value] { UserMoved(value, fModMessage.get()); });
    });
    QObject::connect(slider, &QSlider::sliderReleased, slider, [this, token, slider] {
        WhenLocked(token, [this, value = slider->value()] { UserMoved(value, Message()); });
    });
    // Steps from the keyboard, the wheel or a click beside the thumb.
    QObject::connect(slider, &QSlider::valueChanged, slider, [this, token, slider](int value) {
        if (slider->isSliderDown()) return;
        WhenLocked(token, [this, value] { UserMoved(value, Message()); });
    });
    return control;
}

void BSlider::SyncWidget() {
    BFont font;
    GetFont(&font);
    const QFont qfont = font.ToQFont();
    const bool vertical = fOrientation == B_VERTICAL;
    ShowText(Widget(), "label", Label(), qfont);
    ShowText(Widget(), "top", vertical ? fMaxLabel : std::string(), qfont);
    ShowText(Widget(), "left", fMinLabel, qfont);
    ShowText(Widget(), "right", vertical ? std::string() : fMaxLabel, qfont);
    auto* slider = Widget()->findChild<QSlider*>();
    const QSignalBlocker blocker(slider);
    slider->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    slider->setRange(fMin, fMax);
    slider->setValue(Value());
    slider->setTickPosition(QSlider::TickPosition(fHashMarks));
    const int32 gaps = std::max(fHashMarkCount - 1, 1);
    slider->setTickInterval(std::max((fMax - fMin) / gaps, 1));
    slider->setEnabled(IsEnabled());
}
