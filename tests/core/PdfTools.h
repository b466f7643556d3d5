#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Reads back what a test printed into a PDF, with poppler's command-line tools.
namespace PdfTools {

inline QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pageCount(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return 0;
}

// Folds what the PDF text layer gives back into the characters that were drawn: NFKC turns
// radical forms and full-width punctuation into their plain characters.
inline QString fold(const QString& text)
{
    return text.normalized(QString::NormalizationForm_KC).replace(QChar(0x2EDA), QChar(0x9875)); // ⻚ -> 页
}

// The text of one page (from 1), laid out roughly as printed, folded.
inline QString pageText(const QString& pdf, int page)
{
    return fold(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                          QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")}));
}

// Each word-run of a page's text, blanks collapsed, for looking up values.
inline QStringList pageWords(const QString& pdf, int page)
{
    return pageText(pdf, page).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

} // namespace PdfTools
