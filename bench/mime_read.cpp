// Reads HTML-only request mails that used to stall the attendant: 2 MB of each hostile shape of
// unclosed markup, timed; and a 30 MB HTML-only mail read in a child process of its own, whose
// peak resident memory (raw message included) is printed.
#include "mail/MimeReader.h"

#include "support/MailSamples.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace Enrolix;

namespace {

constexpr qsizetype kHostileSize = 2 * 1024 * 1024;
constexpr qsizetype kLargeSize = 30 * 1024 * 1024;

// A newsletter: table rows of styled cells, the event number above them.
QByteArray largeNewsletter()
{
    return Testing::htmlRequestMail(Testing::htmlAfterNumber(
        "<table><tr><td class=\"item\" style=\"padding:4px;border:1px solid #ddd\">Course: safety training, "
        "room 4, lunch included</td></tr></table>\r\n",
        kLargeSize));
}

// A picture embedded in the markup: one attribute of many megabytes, the event number above it.
QByteArray largePicture()
{
    QByteArray html = Testing::htmlAfterNumber({}, 0) + "<img src=\"data:image/png;base64,";
    html += QByteArray(kLargeSize * 3 / 4, 'A').toBase64() + "\"></body></html>";
    return Testing::htmlRequestMail(html);
}

// The process's peak resident memory. Not getrusage: its maximum keeps the size of the parent
// that forked the process before it started this program.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// In the child: reads the message file and reports the peak resident memory.
int readInChild(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray raw = file.readAll();
    file.close();
    const double before = peakMegabytes();
    const IncomingMail mail = MimeReader::read(raw);
    std::printf("%.1f MB message: peak RSS %.1f MB (%.1f MB with the message loaded, before reading it); text of "
                "%lld characters beginning \"%s\"\n",
                double(raw.size()) / 1e6, peakMegabytes(), before, static_cast<long long>(mail.text.size()),
                qPrintable(mail.text.left(6)));
    return 0;
}

void measurePeak(const char* name, const QByteArray& raw)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.eml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(raw) != raw.size())
        return;
    file.close();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read"), path});
    child.waitForFinished(-1);
    std::printf("30 MB HTML-only mail, %s: %s", name, child.readAllStandardOutput().constData());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--read") == 0)
        return readInChild(QString::fromLocal8Bit(argv[2]));

    const std::pair<const char*, QByteArray> shapes[] = {
        {"script tags never closed", "<script"},
        {"style tags never closed", "<style"},
        {"one script never ended", "<script>x"},
        {"angle brackets never closed", "<"},
        {"tags never closed", "<a"},
        {"comments never ended", "<!--"},
    };
    for (const auto& [name, unit] : shapes) {
        const QByteArray raw = Testing::htmlRequestMail(Testing::htmlAfterNumber(unit, kHostileSize));
        QElapsedTimer timer;
        timer.start();
        const IncomingMail mail = MimeReader::read(raw);
        std::printf("2 MB HTML-only mail, %s: %.1f ms (text begins \"%s\")\n", name, double(timer.nsecsElapsed()) / 1e6,
                    qPrintable(mail.text.left(6)));
    }
    std::fflush(stdout);
    measurePeak("newsletter", largeNewsletter());
    measurePeak("embedded picture", largePicture());
    return 0;
}
