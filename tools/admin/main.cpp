// thalvane-admin: the database file of Thalvane from the command line. Makes a new file
// (empty or with demo rows), adds the rows of a CSV file, writes rows to one, copies the
// file while the program may have it open, and checks it.
//
// Exit codes: 0 done, 1 the work failed (or check found a fault), 2 bad arguments.

#include "admin.h"

#include "platform/console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIODevice>
#include <QLocale>
#include <QTextStream>
#include <cstdio>
#include <functional>

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

// Standard output or error as a device for QTextStream (UTF-8), written through the
// platform so that a Windows console shows Chinese text as it is.
class StandardStream final : public QIODevice {
public:
    explicit StandardStream(bool error) : error_(error) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        // A character cut at the end waits for the rest.
        pending_.append(data, size);
        qsizetype whole = pending_.size();
        qsizetype start = whole;
        while (start > 0 && (uchar(pending_.at(start - 1)) & 0xC0) == 0x80)
            --start;
        if (start > 0) {
            const uchar lead = uchar(pending_.at(start - 1));
            const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (whole - (start - 1) < length)
                whole = start - 1;
        }
        platform::WriteStandard(error_, std::string_view(pending_.constData(), size_t(whole)));
        pending_.remove(0, whole);
        return size;
    }

private:
    bool error_;
    QByteArray pending_;
};

QTextStream& Out() {
    static StandardStream device(false);
    static QTextStream out(&device);
    return out;
}

QTextStream& Err() {
    static StandardStream device(true);
    static QTextStream err(&device);
    return err;
}

int Usage(const QString& message) {
    Err() << "thalvane-admin: " << message << "\n"
          << "Try 'thalvane-admin --help'.\n";
    return kBadArguments;
}

// A line on stderr that rewrites itself, when stderr is a terminal; nothing otherwise.
admin::Progress ProgressLine(const QString& what) {
    if (!platform::StandardErrorIsTerminal())
        return {};
    return [what](qint64 done, qint64 total) {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        Err() << "\r" << what << ": " << done << " / " << total << " (" << percent << "%)";
        if (done >= total)
            Err() << "\n";
        Err().flush();
    };
}

struct Command {
    QString name;
    QString summary;
    QString syntax;
    // Sets up the parser's options and arguments; the handler then runs with the parsed
    // parser and the arguments after the command's name.
    std::function<void(QCommandLineParser&)> setUp;
    std::function<int(const QCommandLineParser&, const QStringList&)> run;
};

const QCommandLineOption kDatabase({QStringLiteral("d"), QStringLiteral("database")},
                                   QStringLiteral("The database file (default: %1)."),
                                   QStringLiteral("path"));
const QCommandLineOption kForce(QStringLiteral("force"),
                                QStringLiteral("Replace the file if it exists."));

QCommandLineOption DatabaseOption() {
    QCommandLineOption option = kDatabase;
    option.setDescription(option.description().arg(admin::DefaultDatabasePath()));
    return option;
}

// The database a command works on: --database, or the one positional argument that
// commands taking no other file accept, or the program's own file.
QString DatabasePath(const QCommandLineParser& parser, const QStringList& positional) {
    if (parser.isSet(kDatabase))
        return parser.value(kDatabase);
    if (!positional.isEmpty())
        return positional.front();
    return admin::DefaultDatabasePath();
}

QList<Command> Commands() {
    QList<Command> commands;
    commands << Command{
        QStringLiteral("init"), QStringLiteral("Creates a new, empty database with the table."),
        QStringLiteral("[database]"),
        [](QCommandLineParser& p) {
            p.addOption(kForce);
            p.addPositionalArgument(QStringLiteral("database"),
                                    QStringLiteral("The file to create (or use --database)."),
                                    QStringLiteral("[database]"));
        },
        [](const QCommandLineParser& p, const QStringList& args) {
            if (args.size() > 1 || (p.isSet(kDatabase) && !args.isEmpty()))
                return Usage(QStringLiteral("init takes one database file"));
            const QString path = DatabasePath(p, args);
            admin::Init(path, p.isSet(kForce));
            Out() << "created " << path << " with an empty table\n";
            return kDone;
        }};
    commands << Command{
        QStringLiteral("demo"),
        QStringLiteral("Creates a new database holding the sample shipowners, or synthetic ones."),
        QStringLiteral("[database]"),
        [](QCommandLineParser& p) {
            p.addOption(kForce);
            p.addOption(QCommandLineOption(
                QStringLiteral("synthetic"),
                QStringLiteral("Fill the table with N synthetic rows instead of the samples."),
                QStringLiteral("N")));
            p.addPositionalArgument(QStringLiteral("database"),
                                    QStringLiteral("The file to create (or use --database)."),
                                    QStringLiteral("[database]"));
        },
        [](const QCommandLineParser& p, const QStringList& args) {
            if (args.size() > 1 || (p.isSet(kDatabase) && !args.isEmpty()))
                return Usage(QStringLiteral("demo takes one database file"));
            std::optional<qint32> count;
            if (p.isSet(QStringLiteral("synthetic"))) {
                bool ok = false;
                const int n = p.value(QStringLiteral("synthetic")).toInt(&ok);
                if (!ok || n < 0)
                    return Usage(QStringLiteral("--synthetic needs a whole number of rows, 0 or "
                                                "more"));
                count = n;
            }
            const QString path = DatabasePath(p, args);
            admin::Demo(path, count, p.isSet(kForce));
            Out() << "created " << path << "\n";
            return kDone;
        }};
    commands << Command{
        QStringLiteral("import"),
        QStringLiteral("Adds the rows of a CSV file whose first line names the columns; every "
                       "row or none."),
        QStringLiteral("FILE.csv"),
        [](QCommandLineParser& p) {
            p.addOption(QCommandLineOption(
                QStringLiteral("encoding"),
                QStringLiteral("utf-8 or gb18030 (default: UTF-8 when the file is valid UTF-8 "
                               "or starts with its byte-order mark, GB18030 otherwise)."),
                QStringLiteral("name")));
            p.addOption(QCommandLineOption(QStringLiteral("dry-run"),
                                           QStringLiteral("Check the file; write nothing.")));
            p.addOption(QCommandLineOption(
                QStringLiteral("keep-ids"),
                QStringLiteral("Give the rows the ids of the file's id column (ignored "
                               "otherwise).")));
            p.addPositionalArgument(QStringLiteral("FILE.csv"),
                                    QStringLiteral("The CSV file to read."));
        },
        [](const QCommandLineParser& p, const QStringList& args) {
            if (args.size() != 1)
                return Usage(QStringLiteral("import takes one CSV file"));
            admin::ImportOptions options;
            if (p.isSet(QStringLiteral("encoding"))) {
                const QString name = p.value(QStringLiteral("encoding")).toLower();
                if (name == QLatin1String("utf-8") || name == QLatin1String("utf8"))
                    options.encoding = csv::Encoding::Utf8;
                else if (name == QLatin1String("gb18030"))
                    options.encoding = csv::Encoding::Gb18030;
                else
                    return Usage(QStringLiteral("--encoding is utf-8 or gb18030"));
            }
            options.dryRun = p.isSet(QStringLiteral("dry-run"));
            options.keepIds = p.isSet(QStringLiteral("keep-ids"));
            options.progress = ProgressLine(QStringLiteral("import"));
            const QString path = DatabasePath(p, {});
            const admin::ImportResult result = admin::Import(path, args.front(), options);
            Out() << (options.dryRun ? "checked " : "imported ") << result.rows << " rows ("
                  << csv::EncodingName(result.encoding) << ")"
                  << (options.dryRun ? "; nothing was written to " : " into ") << path << "\n";
            return kDone;
        }};
    commands << Command{
        QStringLiteral("export"),
        QStringLiteral("Writes all rows, or those the search finds for --name and --country, "
                       "to a CSV file (UTF-8 with byte-order mark)."),
        QStringLiteral("FILE.csv"),
        [](QCommandLineParser& p) {
            p.addOption(QCommandLineOption(
                QStringLiteral("name"),
                QStringLiteral("Only shipowners whose name contains this, as the search finds "
                               "them."),
                QStringLiteral("text")));
            p.addOption(QCommandLineOption(
                QStringLiteral("country"),
                QStringLiteral("Only shipowners whose country contains this, as the search finds "
                               "them."),
                QStringLiteral("text")));
            p.addPositionalArgument(QStringLiteral("FILE.csv"),
                                    QStringLiteral("The CSV file to write."));
        },
        [](const QCommandLineParser& p, const QStringList& args) {
            if (args.size() != 1)
                return Usage(QStringLiteral("export takes one CSV file"));
            admin::ExportOptions options;
            options.nameFilter = p.value(QStringLiteral("name"));
            options.countryFilter = p.value(QStringLiteral("country"));
            options.progress = ProgressLine(QStringLiteral("export"));
            const qint64 rows = admin::Export(DatabasePath(p, {}), args.front(), options);
            Out() << "exported " << rows << " rows to " << args.front() << "\n";
            return kDone;
        }};
    commands << Command{
        QStringLiteral("backup"),
        QStringLiteral("Copies the database, even while the program has it open, checks the "
                       "copy and only then gives it its name."),
        QStringLiteral("DEST"),
        [](QCommandLineParser& p) {
            p.addOption(kForce);
            p.addPositionalArgument(QStringLiteral("DEST"), QStringLiteral("The copy to write."));
        },
        [](const QCommandLineParser& p, const QStringList& args) {
            if (args.size() != 1)
                return Usage(QStringLiteral("backup takes one destination file"));
            const qint64 rows = admin::Backup(DatabasePath(p, {}), args.front(), p.isSet(kForce),
                                              ProgressLine(QStringLiteral("backup (pages)")));
            Out() << "backed up " << rows << " rows to " << args.front() << "; the copy checks\n";
            return kDone;
        }};
    commands << Command{
        QStringLiteral("check"),
        QStringLiteral("Checks the file: integrity, the table and its ten columns, the rows."),
        QStringLiteral("[database]"),
        [](QCommandLineParser& p) {
            p.addPositionalArgument(QStringLiteral("database"),
                                    QStringLiteral("The file to check (or use --database)."),
                                    QStringLiteral("[database]"));
        },
        [](const QCommandLineParser& p, const QStringList& args) {
            if (args.size() > 1 || (p.isSet(kDatabase) && !args.isEmpty()))
                return Usage(QStringLiteral("check takes one database file"));
            const QString path = DatabasePath(p, args);
            const admin::CheckReport report = admin::Check(path);
            Out() << path << "\n";
            Out() << "integrity: " << report.integrity.join(QStringLiteral("\n  ")) << "\n";
            if (!report.hasTable) {
                Out() << "table Thalvane: missing\n";
            } else {
                Out() << "table Thalvane: "
                      << (report.missingColumns.isEmpty()
                              ? QStringLiteral("all ten columns")
                              : QStringLiteral("missing columns ") +
                                    report.missingColumns.join(QStringLiteral(", ")))
                      << "\n";
                Out() << "rows: " << report.rows << "\n";
            }
            Out() << (report.sound() ? "sound\n" : "FAULTY\n");
            return report.sound() ? kDone : kFailed;
        }};
    return commands;
}

QString ToolHelp(const QList<Command>& commands) {
    QString text =
        QStringLiteral(
            "Usage: thalvane-admin <command> [options] [arguments]\n"
            "Works on the Thalvane database file with the program's engine, password and cipher "
            "settings.\n"
            "Every command takes the database file as --database path (default: "
            "%1).\n\nCommands:\n")
            .arg(admin::DefaultDatabasePath());
    for (const Command& command : commands)
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(command.name, command.syntax, command.summary);
    text += QStringLiteral("\n'thalvane-admin <command> --help' shows a command's options.\n"
                           "Exit codes: 0 done, 1 failed, 2 bad arguments.\n");
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("thalvane-admin"));
    const QList<Command> commands = Commands();
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return Usage(QStringLiteral("no command given"));
    const QString name = arguments.at(1);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        Out() << ToolHelp(commands);
        return kDone;
    }
    const auto command = std::find_if(commands.cbegin(), commands.cend(),
                                      [&](const Command& c) { return c.name == name; });
    if (command == commands.cend())
        return Usage(QStringLiteral("unknown command \"%1\"").arg(name));

    QCommandLineParser parser;
    parser.setApplicationDescription(command->summary);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    parser.addOption(help);
    parser.addOption(DatabaseOption());
    // The command's name stands first in the usage line.
    parser.addPositionalArgument(command->name, command->summary, command->name);
    command->setUp(parser);
    if (!parser.parse(arguments))
        return Usage(parser.errorText());
    if (parser.isSet(help)) {
        // Qt names the program by the path it was started with; the usage line names it.
        QString text = parser.helpText();
        text.replace(text.indexOf(arguments.front()), arguments.front().size(),
                     QStringLiteral("thalvane-admin"));
        Out() << text;
        return kDone;
    }
    const QStringList positional = parser.positionalArguments().mid(1);
    try {
        return command->run(parser, positional);
    } catch (const admin::Failure& e) {
        Out().flush();
        Err() << "thalvane-admin " << name << ": " << e.message() << "\n";
        return kFailed;
    }
}
