#include "platform/mail/HtmlText.h"

#include <QRegularExpression>
#include <QStringList>

namespace Enrolix::HtmlText {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString decodeEntity(const QString& name)
{
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                    : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF)
            return {};
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    static const QList<QPair<QString, QString>> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},  {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},   {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")}, {QStringLiteral("nbsp"), QStringLiteral(" ")},
    };
    for (const auto& [entity, text] : named) {
        if (name.compare(entity, Qt::CaseInsensitive) == 0)
            return text;
    }
    return QLatin1Char('&') + name + QLatin1Char(';');
}

QString decodeEntities(const QString& text)
{
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    QString result;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += text.mid(last, match.capturedStart() - last) + decodeEntity(match.captured(1));
        last = match.capturedEnd();
    }
    return result + text.mid(last);
}

bool isLineBreakTag(const QString& name)
{
    static const QStringList blocks = {
        QStringLiteral("br"),    QStringLiteral("p"),   QStringLiteral("div"), QStringLiteral("tr"),
        QStringLiteral("li"),    QStringLiteral("h1"),  QStringLiteral("h2"),  QStringLiteral("h3"),
        QStringLiteral("h4"),    QStringLiteral("h5"),  QStringLiteral("h6"),  QStringLiteral("blockquote"),
        QStringLiteral("table"), QStringLiteral("pre"), QStringLiteral("hr"),
    };
    return blocks.contains(name);
}

} // namespace

QString toPlainText(const QString& html)
{
    static const QRegularExpression hidden(QStringLiteral("<!--.*?-->|<(head|script|style|title)\\b.*?</\\1\\s*>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*([a-zA-Z0-9]*)[^>]*>"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));

    QString source = html;
    source.remove(hidden);

    QString text;
    qsizetype last = 0;
    const auto appendRun = [&text](const QString& run) { text += QString(run).replace(blanks, QStringLiteral(" ")); };
    for (auto it = tag.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        appendRun(source.mid(last, match.capturedStart() - last));
        if (isLineBreakTag(match.captured(1).toLower()))
            text += QLatin1Char('\n');
        last = match.capturedEnd();
    }
    appendRun(source.mid(last));

    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.append(decodeEntities(line.trimmed()));
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(kLineEnd);
}

} // namespace Enrolix::HtmlText
