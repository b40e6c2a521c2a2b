// The kit: the widget of a control with a label left of a divider and a field taking the rest
// (text controls, menu fields).
#pragma once

class QLabel;
class QWidget;
class BFont;

class LabeledRow {
  public:
    // Builds the row under parent with an empty label; Add puts the field right of it.
    explicit LabeledRow(QWidget* parent);
    void Add(QWidget* field);
    QWidget* Row() const { return fRow; }

    // The label of a row LabeledRow built: its text, width and font.
    static void SyncLabel(QWidget* row, const char* text, float divider, const BFont& font,
                          bool enabled);

  private:
    QWidget* fRow;
};
