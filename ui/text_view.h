#pragma once
// The view of a text area: a plain-text editor with a vertical scroll bar that wraps
// long lines on screen only. It shows the model's text with its CR LF breaks; the
// user's edits go back to the model when Take() is called, not at every keystroke,
// so typing stays fast however long the text is.
#include <QPlainTextEdit>

#include "storage/text_area.h"

namespace quilvern {

class TextView : public QPlainTextEdit {
    Q_OBJECT
  public:
    TextView(TextArea& model, const QString& name, QWidget* parent);
    // Hands the user's edits to the model.
    void Take();
    // Shows the model's text again if the user has edited it since it was shown or
    // taken: the edits are lost.
    void DropEdits();

  private:
    void ShowModel();

    TextArea& model_;
    bool showing_ = false;
    bool taking_ = false;
    bool edited_ = false;
};

// Between the model's CR LF breaks and the editor's paragraphs.
QString ToEditorText(const std::string& text);
std::string FromEditorText(const QString& text);

}  // namespace quilvern
