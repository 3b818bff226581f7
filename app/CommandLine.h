#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// What the command-line tools share: their exit codes, one way of failing,
// and option values checked against their range. A bad value ends the
// program with BadUsage and a message naming the option.
enum ExitCode { Ok = 0, WritesFailed = 1, BadUsage = 2 };

// The name failures are reported under ("kelvora-export").
void setProgramName(const char *name);
[[noreturn]] void fail(int code, const QString &message);

// --help and --version: added to a parser, and answered (the text on
// standard output, exit status 0) once it has parsed.
void addInfoOptions(QCommandLineParser &p);
void answerInfoOptions(const QCommandLineParser &p);
// The window's own: argv asks only for help or the version (Qt's options
// aside). Returns the exit status after answering, or -1 to go on.
int answerWindowInfoOptions(int argc, char *argv[]);

void addOption(QCommandLineParser &p, const char *name, const char *help, const char *valueName = nullptr,
               const char *defaultValue = nullptr);
int intIn(const QCommandLineParser &p, const QString &name, int low, int high);
// The index of the value among items, whatever its case.
int choice(const QCommandLineParser &p, const QString &name, const QStringList &items);
QColor colour(const QCommandLineParser &p, const QString &name);

// The folder exists (or is made) and takes a file; nothing is left in it.
// Otherwise the program ends with BadUsage.
void checkFolder(const QString &dir);
