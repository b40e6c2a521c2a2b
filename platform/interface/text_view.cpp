#include "platform/interface/text_view.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "platform/interface/undo_pass_through.h"
#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BTextView)

namespace {

int32 ByteOffset(const QString& text, int position) {
    return int32(text.left(position).toUtf8().size());
}

int QtPosition(const std::string& text, int32 offset) {
    return int(QString::fromUtf8(text.data(), offset).size());
}

bool IsContinuationByte(char c) {
    return (uint8(c) & 0xc0) == 0x80;
}

}  // namespace

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags), fTextRect(textRect) {}

BTextView::BTextView(BMessage* archive) : BView(archive) {
    archive->FindString("_text", &fText);
    archive->FindBool("_editable", &fEditable);
    archive->FindBool("_wrap", &fWrap);
    fTextRect = Bounds();
    fSelStart = fSelEnd = TextLength();
}

BArchivable* BTextView::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BTextView") ? new BTextView(archive) : nullptr;
}

status_t BTextView::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BTextView");
    archive->AddString("_text", fText);
    archive->AddBool("_editable", fEditable);
    archive->AddBool("_wrap", fWrap);
    return B_OK;
}

void BTextView::SetText(const char* text) {
    fText = text ? text : "";
    fSelStart = fSelEnd = TextLength();
    WidgetStateChanged();
}

void BTextView::Insert(const char* text) {
    if (!text || !*text) return;
    const std::string inserted(text);
    fText.insert(size_t(fSelStart), inserted);
    fSelStart = fSelEnd = fSelStart + int32(inserted.size());
    WidgetStateChanged();
}

void BTextView::MakeEditable(bool editable) {
    fEditable = editable;
    WidgetStateChanged();
}

void BTextView::MakeSelectable(bool selectable) {
    fSelectable = selectable;
    WidgetStateChanged();
}

void BTextView::SetWordWrap(bool wrap) {
    fWrap = wrap;
    WidgetStateChanged();
}

int32 BTextView::ClampedOffset(int32 offset) const {
    offset = std::clamp(offset, 0, TextLength());
    while (offset > 0 && offset < TextLength() && IsContinuationByte(fText[size_t(offset)]))
        --offset;
    return offset;
}

void BTextView::Select(int32 start, int32 end) {
    fSelStart = ClampedOffset(std::min(start, end));
    fSelEnd = ClampedOffset(std::max(start, end));
    WidgetStateChanged();
}

void BTextView::GetSelection(int32* start, int32* end) const {
    if (start) *start = fSelStart;
    if (end) *end = fSelEnd;
}

void BTextView::UserChanged(const std::string& text, int32 start, int32 end) {
    fText = text;
    fSelStart = start;
    fSelEnd = end;
}

void BTextView::PostFromWidget(int32 token) {
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const QString text = edit->toPlainText();
    const QTextCursor cursor = edit->textCursor();
    const int32 start = ByteOffset(text, cursor.selectionStart());
    const int32 end = ByteOffset(text, cursor.selectionEnd());
    WhenLocked(token,
               [this, text = text.toStdString(), start, end] { UserChanged(text, start, end); });
}

QWidget* BTextView::CreateWidget(QWidget* parent) {
    auto* edit = new QPlainTextEdit(parent);
    UndoPassThrough::Install(edit, [edit](bool redo) {
        return redo ? edit->document()->isRedoAvailable() : edit->document()->isUndoAvailable();
    });
    const int32 token = Window()->Token();
    // The state travels with each signal: the widget may change again before the work runs.
    // Moving the caret or the selection end reports the selection too.
    auto post = [this, token] { PostFromWidget(token); };
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, post);
    QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, edit, post);
    return edit;
}

void BTextView::SyncWidget() {
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const QSignalBlocker blocker(edit);
    const QString text = QString::fromUtf8(fText.c_str());
    if (edit->toPlainText() != text) edit->setPlainText(text);
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(QtPosition(fText, fSelStart));
    cursor.setPosition(QtPosition(fText, fSelEnd), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    edit->setReadOnly(!fEditable);
    Qt::TextInteractionFlags flags = Qt::NoTextInteraction;
    if (fSelectable) flags = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    if (fEditable) flags |= Qt::TextEditable | Qt::TextSelectableByKeyboard;
    edit->setTextInteractionFlags(flags);
    edit->setLineWrapMode(fWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    BFont font;
    GetFont(&font);
    edit->setFont(font.ToQFont());
}
