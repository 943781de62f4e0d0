#pragma once
// The formula help window: "The Link Budget.txt" in a text box, loaded once
// at creation, shown and hidden by the user.
#include <QWidget>

class QPlainTextEdit;

class TQuillstoneHelpForm : public QWidget {
    Q_OBJECT
  public:
    explicit TQuillstoneHelpForm(QWidget* parent = nullptr); // runs FormCreate
    ~TQuillstoneHelpForm() override;
    void FormCreate();
    void ShowAndRaise(); // "Help": visible and to the front, never reloaded

    QPlainTextEdit* Memo1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override; // hides only
};

// The one help window of the process (created after the main window).
extern TQuillstoneHelpForm* QuillstoneHelpForm;
