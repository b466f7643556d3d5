#pragma once

#include <QString>

// The receipt printer and the cash drawer behind it. The device is opened and closed for
// every receipt and every drawer command; a spool file is appended to, never truncated.
namespace ReceiptPrinter {

// POS_RECEIPT_DEVICE; else /dev/usb/lp0 or /dev/lp0 when present; else ProgramFolder::file("LPT1").
QString deviceName();
// "文件打开错误": the device cannot be opened.
QString openErrorText();
// Copies the file to the device line by line; *error = "文件打开错误" when the device cannot be opened.
bool printFile(const QString& file, QString* error);
// The same for a receipt held in memory (a reprint), which leaves bill.txt as it is.
bool printText(const QByteArray& text, QString* error);
// Sends the drawer kick 1B 70 00 3C FF; the same error text when the device cannot be opened.
bool openMoneyBox(QString* error);

// Added: how long one receipt or drawer command may wait for a busy printer before it is
// reported as not answering (10 s; tests shorten it).
int writeTimeoutMs();
void setWriteTimeoutMs(int ms);

} // namespace ReceiptPrinter
