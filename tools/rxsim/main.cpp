// rxsim: the stand-in receiver as a program. Prints the line
// "rxsim listening on 127.0.0.1:PORT", then one line per command a client
// sends: CHANNEL TIMESTAMP COMMAND ("OWRX - MESSAGE" for OpenWebRX).

#include "RxSimServer.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <variant>

namespace {

// A client's text goes to a line-oriented log: control characters could
// forge or split lines, so they are shown as '?'.
QString loggable(const QString& text)
{
    constexpr qsizetype maxLogged = 4096;
    QString line = text.left(maxLogged);
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u'?';
    }
    if (text.size() > maxLogged)
        line += QStringLiteral("...");
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rxsim"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto parsed = parseRxSimCommandLine(QCoreApplication::arguments());
    if (const auto* usage = std::get_if<RxSimUsage>(&parsed)) {
        (usage->isError ? err : out) << usage->text << Qt::endl;
        return usage->isError ? 2 : 0;
    }
    const RxSimOptions& options = std::get<RxSimOptions>(parsed);

    RxSimServer server(options);
    const quint16 port = server.listen(QHostAddress::LocalHost, options.port);
    if (port == 0) {
        err << "rxsim: cannot listen on 127.0.0.1:" << options.port << Qt::endl;
        return 1;
    }
    out << "rxsim listening on 127.0.0.1:" << port << Qt::endl;
    QObject::connect(&server, &RxSimServer::commandReceived,
                     [&out](const QString& channel, const QString& text, const QString& timestamp) {
                         out << channel << ' ' << timestamp << ' ' << loggable(text) << Qt::endl;
                     });
    return QCoreApplication::exec();
}
