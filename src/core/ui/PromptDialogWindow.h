#pragma once

#include "core/Ui.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// One prompt dialog for the whole family; its PromptSpec gives the question, the default
// answer and the name of the answer field.
class PromptDialogWindow : public QDialog {
    Q_OBJECT
public:
    enum class Outcome {
        None,      // closed by the close box or Esc: the caller's answer stays
        Confirmed, // "确认": the field's text
        Quit,      // "退出": "~"
    };

    PromptDialogWindow(const PromptSpec& spec, QWidget* parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    // Writes the answer the way the opening screen expects it: the field's text on "确认",
    // "~" on "退出", nothing when the dialog was closed otherwise.
    void writeAnswer(QString& answer) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void confirm();
    void quit();

    PromptSpec m_spec;
    QLabel* m_question = nullptr;
    QLineEdit* m_field = nullptr;
    QPushButton* m_confirm = nullptr;
    QPushButton* m_quit = nullptr;
    Outcome m_outcome = Outcome::None;
    QString m_answer;
};
