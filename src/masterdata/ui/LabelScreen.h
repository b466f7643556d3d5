#pragma once

#include <QDialog>

#include <functional>

class FormBuilder;
class LabelQueue;
class ListWindow;

// The label screen 商品条码: modal, on top of the other windows, centred on the desktop. The queue
// is a list window (its grid and tool bar) inside the dialog, with the product number and the
// number of labels as entries in the tool bar.
class LabelScreen : public QDialog {
    Q_OBJECT
public:
    explicit LabelScreen(QWidget* parent = nullptr);
    ~LabelScreen() override;

    LabelQueue& queue();
    ListWindow* list() const { return m_list; }

    static void exec(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Runs an action of the queue and shows the rows, entries and focus after it.
    void run(const std::function<void()>& action);

    ListWindow* m_list = nullptr;
    FormBuilder* m_form = nullptr;
};
