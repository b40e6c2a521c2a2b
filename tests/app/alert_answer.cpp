#include "tests/app/alert_answer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

constexpr int kTries = 200;
int gGeneration = 0;

void Try(const QString& label, std::vector<std::string>* seen, int left) {
    QTimer::singleShot(10, [label, seen, left, generation = gGeneration] {
        if (generation != gGeneration) return;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (left > 0) Try(label, seen, left - 1);
            return;
        }
        if (seen != nullptr) seen->push_back(box->text().toStdString());
        for (QAbstractButton* button : box->buttons())
            if (button->text() == label) return button->click();
        ADD_FAILURE() << "no button " << label.toStdString();
        box->reject();
    });
}

}  // namespace

void AnswerWhenOpen(const QString& label, std::vector<std::string>* seen) {
    Try(label, seen, kTries);
}

void StopAnswering() {
    gGeneration++;
}
