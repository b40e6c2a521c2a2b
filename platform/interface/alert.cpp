#include "platform/interface/alert.h"

#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "platform/app/gui_thread.h"
#include "platform/interface/interface_defs.h"

namespace {

QMessageBox::Icon IconOf(alert_type type) {
    switch (type) {
        case B_INFO_ALERT:
            return QMessageBox::Information;
        case B_IDEA_ALERT:
            return QMessageBox::Question;
        case B_WARNING_ALERT:
            return QMessageBox::Warning;
        case B_STOP_ALERT:
            return QMessageBox::Critical;
        default:
            return QMessageBox::NoIcon;
    }
}

// Every button has the same width, that of the widest label.
void EqualizeWidths(const std::vector<QPushButton*>& buttons) {
    int widest = 0;
    for (QPushButton* button : buttons) widest = std::max(widest, button->sizeHint().width());
    for (QPushButton* button : buttons) button->setMinimumWidth(widest);
}

}  // namespace

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
               const char* button2, button_width width, alert_type type)
    : fTitle(title ? title : ""), fText(text ? text : ""), fWidth(width), fType(type) {
    for (const char* label : {button0, button1, button2})
        if (label) fButtons.push_back({label});
    if (fButtons.empty()) fButtons.push_back({"OK"});
}

void BAlert::SetShortcut(int32 index, char key) {
    if (index >= 0 && index < CountButtons()) fButtons[size_t(index)].shortcut = key;
}

char BAlert::Shortcut(int32 index) const {
    return index >= 0 && index < CountButtons() ? fButtons[size_t(index)].shortcut : 0;
}

int32 BAlert::Go() {
    int32 answer = 0;
    if (!gui_thread::Started()) {
        std::fprintf(stderr, "%s: %s\n", fTitle.c_str(), fText.c_str());
    } else {
        gui_thread::RunAndWait([this, &answer] { answer = RunModal(); });
    }
    delete this;
    return answer;
}

int32 BAlert::RunModal() const {
    QMessageBox box(IconOf(fType), QString::fromStdString(fTitle), QString::fromStdString(fText));
    std::vector<QPushButton*> buttons;
    for (const Button& b : fButtons) {
        QPushButton* button =
            box.addButton(QString::fromStdString(b.label), QMessageBox::ActionRole);
        if (b.shortcut == B_ESCAPE)
            box.setEscapeButton(button);
        else if (b.shortcut)
            button->setShortcut(QKeySequence(QChar(b.shortcut)));
        buttons.push_back(button);
    }
    box.setDefaultButton(buttons.back());
    if (fWidth == B_WIDTH_FROM_WIDEST) EqualizeWidths(buttons);
    box.exec();
    const auto found = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return found == buttons.end() ? -1 : int32(found - buttons.begin());
}
