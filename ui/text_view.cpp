#include "ui/text_view.h"

#include <QTextDocument>

#include "ui/cp1252.h"

namespace quilvern {

TextView::TextView(TextArea& model, const QString& name, QWidget* parent)
    : QPlainTextEdit(parent), model_(model) {
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_)
            edited_ = true;
    });
    model_.OnRepaint.Add([this] {
        if (!taking_)
            ShowModel();
    });
    ShowModel();
}

void TextView::ShowModel() {
    showing_ = true;
    setPlainText(ToEditorText(model_.Text()));
    showing_ = false;
    edited_ = false;
}

void TextView::DropEdits() {
    if (edited_)
        ShowModel();
}

void TextView::Take() {
    if (!edited_)
        return;
    // The raw text keeps non-breaking spaces, which the plain-text export turns into blanks.
    const std::string text = FromEditorText(document()->toRawText());
    taking_ = true;
    model_.SetText(text);
    taking_ = false;
    edited_ = false;
}

QString ToEditorText(const std::string& text) {
    QString shown = FromCp1252(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::string FromEditorText(const QString& text) {
    QString plain = text;
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    plain.replace(QChar::LineSeparator, QLatin1Char('\n'));
    std::string bytes;
    const std::string single = ToCp1252(plain);
    bytes.reserve(single.size() + single.size() / 16);
    for (char c : single) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

}  // namespace quilvern
