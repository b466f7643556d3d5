#pragma once

#include <QString>

class Ui;

// The amount due in Chinese capitals, and spoken one wave file per character.
namespace Voice {

// The amount in capitals: 12.5 gives "壹拾贰元伍角整", -3 gives "负叁元整".
QString moneyConvert(double amount);
// count characters of text from character position start (1-based); "ERROR_OVERSTRING" when
// start lies beyond the text's GBK byte length.
QString getStrText(const QString& text, int start, int count);
// ProgramFolder::file("sound")
QString soundFolder();
// Plays "<soundFolder>/<character>.wav" for each character of moneyConvert(amount), each to its
// end, with ui.processEvents() between files; a missing file or no sound device is skipped silently.
void speakAmount(double amount, Ui& ui);

} // namespace Voice
