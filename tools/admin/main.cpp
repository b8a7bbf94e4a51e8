// thalvane-demodb: writes a demo shipman.bcd, keyed with the program's password, holding
// the fictional sample shipowners or a number of synthetic rows for benchmarks.

#include "dbbuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("thalvane-demodb"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Creates the demo database shipman.bcd with the table Thalvane."));
    parser.addHelpOption();
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Replace the file if it exists."));
    const QCommandLineOption synthetic(
        QStringLiteral("synthetic"),
        QStringLiteral("Fill the table with N synthetic rows instead of the samples."),
        QStringLiteral("N"));
    parser.addOption(force);
    parser.addOption(synthetic);
    parser.addPositionalArgument(QStringLiteral("path"),
                                 QStringLiteral("The database file to create."));
    parser.process(app);

    QTextStream err(stderr);
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 1) {
        err << "usage: thalvane-demodb [--force] [--synthetic N] <path>\n";
        return 2;
    }
    std::optional<qint32> count;
    if (parser.isSet(synthetic)) {
        bool ok = false;
        const int n = parser.value(synthetic).toInt(&ok);
        if (!ok || n < 0) {
            err << "--synthetic needs a whole number of rows, 0 or more\n";
            return 2;
        }
        count = n;
    }
    try {
        dbbuilder::BuildDatabaseFile(paths.front(), count, parser.isSet(force));
    } catch (const dbbuilder::BuildError& e) {
        err << "thalvane-demodb: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
