#include "CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>

namespace {
const char *g_program = "kelvora";
}

void setProgramName(const char *name)
{
    g_program = name;
}

void fail(int code, const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", g_program, qPrintable(message));
    if (code == BadUsage)
        std::fprintf(stderr, "Try '%s --help'.\n", g_program);
    std::exit(code);
}

void addInfoOptions(QCommandLineParser &p)
{
    p.addHelpOption();
    p.addVersionOption();
}

static void printVersion()
{
    std::printf("%s %s\n", g_program, KELVORA_VERSION);
}

void answerInfoOptions(const QCommandLineParser &p)
{
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(p.helpText()), stdout);
        std::exit(Ok);
    }
    if (p.isSet(QStringLiteral("version"))) {
        printVersion();
        std::exit(Ok);
    }
}

int answerWindowInfoOptions(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "-h" || a == "--help" || a == "-?") {
            std::printf("Usage: %s [Qt options]\n"
                        "Opens Kelvora's window: stroke-order sheets of the 6763 GB 2312 characters, the\n"
                        "writing animation, stroke-by-stroke display, writing practice, full screen,\n"
                        "A4 copybooks of Chinese characters, letters and digits, and the pinyin sound\n"
                        "board. kelvora-export, kelvora-copybook and kelvora-strokecheck do the same\n"
                        "work without a window.\n"
                        "\n"
                        "Options:\n"
                        "  -h, --help     Displays help on commandline options.\n"
                        "  -v, --version  Displays version information.\n"
                        "\n"
                        "Qt's own options (-platform NAME, -style NAME, -reverse, ...) go to Qt.\n",
                        g_program);
            return Ok;
        }
        if (a == "-v" || a == "--version") {
            printVersion();
            return Ok;
        }
    }
    return -1;
}

void addOption(QCommandLineParser &p, const char *name, const char *help, const char *valueName,
               const char *defaultValue)
{
    QCommandLineOption o(QLatin1String(name), QString::fromUtf8(help));
    if (valueName)
        o.setValueName(QLatin1String(valueName));
    if (defaultValue)
        o.setDefaultValue(QLatin1String(defaultValue));
    p.addOption(o);
}

int intIn(const QCommandLineParser &p, const QString &name, int low, int high)
{
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < low || v > high)
        fail(BadUsage, QStringLiteral("--%1 must be a whole number from %2 to %3, not '%4'")
                           .arg(name).arg(low).arg(high).arg(p.value(name)));
    return v;
}

int choice(const QCommandLineParser &p, const QString &name, const QStringList &items)
{
    const int i = int(items.indexOf(p.value(name).toLower()));
    if (i < 0)
        fail(BadUsage, QStringLiteral("--%1 must be one of %2, not '%3'")
                           .arg(name, items.join(QLatin1Char('|')), p.value(name)));
    return i;
}

QColor colour(const QCommandLineParser &p, const QString &name)
{
    static const QRegularExpression rgb(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!rgb.match(p.value(name)).hasMatch())
        fail(BadUsage, QStringLiteral("--%1 must be a colour #RRGGBB, not '%2'").arg(name, p.value(name)));
    return QColor(p.value(name));
}

void checkFolder(const QString &dir)
{
    if (!QDir().mkpath(dir))
        fail(BadUsage, QStringLiteral("cannot create the folder %1").arg(dir));
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".%1-XXXXXX").arg(QLatin1String(g_program))));
    if (!probe.open())
        fail(BadUsage, QStringLiteral("cannot write to the folder %1: %2").arg(dir, probe.errorString()));
}
