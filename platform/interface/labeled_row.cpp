#include "platform/interface/labeled_row.h"

#include <QHBoxLayout>
#include <QLabel>

#include "platform/interface/font.h"

LabeledRow::LabeledRow(QWidget* parent) : fRow(new QWidget(parent)) {
    auto* layout = new QHBoxLayout(fRow);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new QLabel(fRow));
}

void LabeledRow::Add(QWidget* field) {
    static_cast<QHBoxLayout*>(fRow->layout())->addWidget(field, 1);
}

void LabeledRow::SyncLabel(QWidget* row, const char* text, float divider, const BFont& font,
                           bool enabled) {
    auto* label = row->findChild<QLabel*>();
    label->setText(QString::fromUtf8(text));
    label->setFixedWidth(int(divider));
    label->setVisible(divider > 0);
    label->setFont(font.ToQFont());
    label->setEnabled(enabled);
}
