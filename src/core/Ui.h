#pragma once

#include "core/GridColumn.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPageLayout;
class QPagedPaintDevice;

// How screen logic talks to the person. The widgets layer answers with real dialogs;
// tests answer from a script. Logic never includes a widget header.

// A prompt dialog asking for one value (Txtts1_form … Txtts4_form).
struct PromptSpec {
    QString formName;  // "Txtts2_form"
    QString caption;   // window title
    QString question;  // Label1
    QString defaultText;
    QString fieldName; // object name of the answer field: "pshoujia" or "phyxx"
};

// A lookup picker showing a query in a grid (Tsphelp2_form … Tsphelp16_form).
struct PickerSpec {
    QString formName;
    QString caption;
    QString query;
    GridColumns columns;
    QStringList answerFields; // the columns of the chosen row handed back, in order
    // Product pickers get a filter field that narrows the rows as the person types.
    bool filterable = false;
};

class Ui {
public:
    enum class Icon { None, Information, Warning, Question, Error };

    virtual ~Ui() = default;

    // The plain message box: the application title as caption, an OK button.
    virtual void showMessage(const QString& text) = 0;
    // A box with its own title and icon, OK button.
    virtual void messageBox(const QString& title, const QString& text, Icon icon) = 0;
    // A database or file error the action could not get past.
    virtual void showError(const QString& text) = 0;
    // OK / Cancel; true for OK.
    virtual bool confirm(const QString& title, const QString& text, Icon icon) = 0;

    // The prompt writes its answer into `answer` when "确认" (the field's text) or "退出" ("~")
    // is pressed; closing it by its close box writes nothing, so the caller's value stays.
    virtual void prompt(const PromptSpec& spec, QString& answer) = 0;
    // The picker writes the answer fields of the chosen row into `answers` on "确认选择" or a
    // double click, "~" into each on "关闭", and nothing when closed by its close box.
    virtual void pick(const PickerSpec& spec, QStringList& answers) = 0;

    // File dialogs; an empty text when the person cancels.
    virtual QString saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString openFileName(const QString& title, const QString& filter) = 0;

    // A print preview window with this title (maximised when asked) over pages laid out as
    // `layout`; `paint` draws every page onto the device it is given, again whenever the person
    // changes the page set-up. Printing, printer set-up and PDF are offered from the window; the
    // printer and page set-up windows opened from it carry `setupTitle`.
    virtual void showPrintPreview(const QString& title, const QString& setupTitle, bool maximised,
                                  const QPageLayout& layout, const std::function<void(QPagedPaintDevice*)>& paint)
    {
        showError(QStringLiteral("这里不能显示打印预览：") + title);
    }

    enum class PrintOutcome { Printed, Cancelled, Failed };
    // Prints straight away on the system's default printer or, where the system has none, into a
    // PDF file the person names (cancelling that dialog prints nothing). `paint` draws the pages
    // and answers an error text, empty when all went well. A failure's words go to `error`.
    virtual PrintOutcome printDirect(const QString& docName, const std::function<QString(QPagedPaintDevice*)>& paint,
                                     QString* error)
    {
        if (error)
            *error = QStringLiteral("这里没有打印机：") + docName;
        return PrintOutcome::Failed;
    }

    // Lets the windows repaint during a long synchronous action (the spoken amount).
    virtual void processEvents() {}
};
