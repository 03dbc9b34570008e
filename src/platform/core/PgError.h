#pragma once

#include <QString>
#include <exception>

// A failure as the program reports it: the runtime's error number and a description of its own.
// Data-engine failures carry no standard text of the runtime and show the generic one instead.
class PgError : public std::exception {
  public:
    enum Number : int {
        InvalidCall = 5,
        Overflow = 6,
        TypeMismatch = 13,
        PermissionDenied = 70,
        PathAccess = 75,
        InvalidNull = 94,
        Engine = 3146,     // any failure of the data engine
        NewerFile = 3343,  // a data file of a newer version than this program knows
    };

    PgError(int number, QString description);
    static PgError engine(const QString& description);

    int number() const { return number_; }
    const QString& description() const { return description_; }
    // The standard text kept for the number, as the "PG-Error" boxes show it.
    QString standardText() const;
    const char* what() const noexcept override { return utf8_.constData(); }
    // A failure whose words she was already shown in a box of their own: a handler's trap shows no second
    // one.
    PgError& markShown() {
        shown_ = true;
        return *this;
    }
    bool shown() const { return shown_; }
    // A failure of the data file itself (moved, deleted, replaced, read-only): a save says so in words.
    PgError& markAboutTheFile() {
        aboutTheFile_ = true;
        return *this;
    }
    bool aboutTheFile() const { return aboutTheFile_; }

  private:
    int number_;
    QString description_;
    QByteArray utf8_;
    bool shown_ = false;
    bool aboutTheFile_ = false;
};

// The standard message text that the runtime keeps for an error number.
QString standardErrorText(int number);
