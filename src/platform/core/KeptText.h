#pragma once

#include <QString>

// A text shown in a control that rewrites some of its characters: a rich-text box turns "\r\n", "\r", "\n"
// and U+2029 alike into its own paragraph breaks. What was read is written back as it was read, except the
// part she edited, so a save never changes what she did not touch.
class KeptText {
  public:
    KeptText() = default;
    // original: the text as read; shown: the control's raw text right after showing it (breaks as U+2029).
    KeptText(QString original, QString shown);

    // The text to store, given the control's raw text now: the original around the span she changed.
    QString current(const QString& shownNow) const;

  private:
    QString original_;
    QString shown_;
};
