#include "export/PostTemplate.h"

#include "export/BbcodeExport.h"
#include "export/OutputFile.h"
#include "text/OutputText.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace korvane::exporter {
namespace {

constexpr QStringView kBlockNames[PostTemplate::BlockCount] = {
    u"header", u"category", u"categoryend", u"letter", u"letterend", u"row", u"footer"};

// "{{#name}}" or "{{/name}}" alone on a line: the name and whether it opens.
struct BlockMarker {
    QString name;
    bool opens;
};

std::optional<BlockMarker> blockMarker(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1String("{{")) || !trimmed.endsWith(QLatin1String("}}")) ||
        trimmed.size() < 5)
        return std::nullopt;
    const QChar kind = trimmed[2];
    if (kind != u'#' && kind != u'/')
        return std::nullopt;
    return BlockMarker{trimmed.mid(3, trimmed.size() - 5), kind == u'#'};
}

int blockIndex(const QString& name) {
    for (int i = 0; i < PostTemplate::BlockCount; ++i)
        if (name == kBlockNames[i])
            return i;
    return -1;
}

// The pieces of one line of a block; false with `error` set for a placeholder that is unknown
// or not closed.
bool parseLine(const QString& line, const QStringList& placeholders, PostTemplate::Line& pieces,
               QString& error) {
    bool insideTag = false;
    qsizetype at = 0;
    while (at < line.size()) {
        const qsizetype open = line.indexOf(QLatin1String("{{"), at);
        const QString literal = line.mid(at, open < 0 ? -1 : open - at);
        for (const QChar c : literal) {
            if (c == u'[')
                insideTag = true;
            else if (c == u']')
                insideTag = false;
        }
        if (!literal.isEmpty())
            pieces.push_back({literal, {}, false});
        if (open < 0)
            break;
        const qsizetype close = line.indexOf(QLatin1String("}}"), open + 2);
        if (close < 0) {
            error =
                QCoreApplication::translate("PostTemplate", "метка \"%1\" не закрыта знаками }}")
                    .arg(line.mid(open));
            return false;
        }
        const QString name = line.mid(open + 2, close - open - 2);
        if (!placeholders.contains(name)) {
            error =
                QCoreApplication::translate("PostTemplate", "неизвестная метка {{%1}}").arg(name);
            return false;
        }
        pieces.push_back({{}, name, insideTag});
        at = close + 2;
    }
    return true;
}

// A name in a tag's value cannot be escaped with an empty element (most forums show the value
// as it stands): brackets and quotes that would end the tag become their look-alikes.
QString tagValueText(QString text) {
    text.replace(u'[', u'(').replace(u']', u')').replace(u'"', u'\'');
    return text;
}

QString escaped(const QString& value, PostMarkup markup, bool insideTag) {
    const QString line = text::singleLine(value);
    if (markup == PostMarkup::Plain)
        return line;
    return insideTag ? tagValueText(line) : bbcodeEscape(line);
}

// The Folder text, its group in bold where the list has one.
QString folderText(const QString& value, const PostContent& content, PostMarkup markup,
                   bool insideTag) {
    const QString folder = text::singleLine(value);
    const qsizetype at =
        content.groupSeparator.isEmpty() ? -1 : folder.indexOf(content.groupSeparator);
    // Without a group there is nothing to set in bold: an empty [b][/b] would only clutter the
    // post.
    if (markup != PostMarkup::Bbcode || insideTag || !content.boldGroups || at <= 0)
        return escaped(folder, markup, insideTag);
    return QStringLiteral("[b]") + bbcodeEscape(folder.left(at)) + QStringLiteral("[/b]") +
           bbcodeEscape(folder.mid(at));
}

// The section a row falls in when the rows are grouped by letter: the first letter of its
// caption in capitals, "#" for a digit or a sign.
QString letterOf(const QString& caption) {
    const QString trimmed = caption.trimmed();
    if (trimmed.isEmpty() || !trimmed[0].isLetter())
        return QStringLiteral("#");
    return trimmed.left(1).toUpper();
}

class Renderer {
public:
    Renderer(const PostTemplate& postTemplate, const PostContent& content, PostMarkup markup)
        : m_template(postTemplate), m_content(content), m_markup(markup),
          m_byCategory(std::any_of(
              content.entries.begin(), content.entries.end(),
              [](const PostContent::Entry& e) { return e.kind == PostContent::Entry::Category; })),
          m_byLetter(!m_byCategory && postTemplate.has(PostTemplate::Letter)) {}

    std::vector<PostChunk> run() {
        const auto& entries = m_content.entries;
        const qsizetype total =
            m_content.count >= 0 ? m_content.count
                                 : std::count_if(entries.begin(), entries.end(), [](const auto& e) {
                                       return e.kind == PostContent::Entry::Row;
                                   });
        const QHash<QString, QString> none;
        block(PostTemplate::Header, PostChunk::Header, none, total);
        std::optional<QString> section; // the open section's category or letter
        QHash<QString, QString> sectionValues;
        const auto closeSection = [&] {
            if (section)
                block(m_byCategory ? PostTemplate::CategoryEnd : PostTemplate::LetterEnd,
                      PostChunk::SectionEnd, sectionValues, rowsFrom(m_sectionStart));
            section.reset();
        };
        for (size_t i = 0; i < entries.size(); ++i) {
            const PostContent::Entry& entry = entries[i];
            switch (entry.kind) {
            case PostContent::Entry::Category:
                closeSection();
                section = entry.values.value(QStringLiteral("category"));
                sectionValues = entry.values;
                m_sectionStart = i + 1;
                block(PostTemplate::Category, PostChunk::SectionStart, sectionValues,
                      rowsFrom(m_sectionStart));
                break;
            case PostContent::Entry::LooseHeading:
                add(PostChunk::SectionStart,
                    {QString(),
                     escaped(entry.values.value(QStringLiteral("category")), m_markup, false)});
                break;
            case PostContent::Entry::Row:
                if (m_byLetter) {
                    const QString letter = letterOf(entry.values.value(QStringLiteral("folder")));
                    if (section != letter) {
                        closeSection();
                        section = letter;
                        sectionValues = {{QStringLiteral("letter"), letter}};
                        m_sectionStart = i;
                        block(PostTemplate::Letter, PostChunk::SectionStart, sectionValues,
                              rowsFrom(i));
                    }
                }
                block(PostTemplate::Row, PostChunk::Row, entry.values, total);
                break;
            }
        }
        closeSection();
        block(PostTemplate::Footer, PostChunk::Footer, none, total);
        return std::move(m_chunks);
    }

private:
    // The rows of the section that starts at `first`: up to the next category, or, grouped by
    // letter, while the letter stays the same.
    qsizetype rowsFrom(size_t first) const {
        const auto& entries = m_content.entries;
        qsizetype count = 0;
        std::optional<QString> letter;
        for (size_t i = first; i < entries.size(); ++i) {
            const PostContent::Entry& entry = entries[i];
            if (entry.kind == PostContent::Entry::Category)
                break;
            if (entry.kind != PostContent::Entry::Row)
                continue;
            if (m_byLetter) {
                const QString own = letterOf(entry.values.value(QStringLiteral("folder")));
                if (letter && *letter != own)
                    break;
                letter = own;
            }
            ++count;
        }
        return count;
    }

    QString value(const PostTemplate::Piece& piece, const QHash<QString, QString>& values,
                  qsizetype count) const {
        if (piece.name == QLatin1String("folder"))
            return folderText(values.value(piece.name), m_content, m_markup, piece.insideTag);
        if (piece.name == QLatin1String("count"))
            return QString::number(count);
        if (piece.name == QLatin1String("title"))
            return escaped(m_content.title, m_markup, piece.insideTag);
        if (piece.name == QLatin1String("date"))
            return escaped(m_content.date, m_markup, piece.insideTag);
        if (piece.name == QLatin1String("sep"))
            return escaped(m_content.fieldSeparator, m_markup, piece.insideTag);
        return escaped(values.value(piece.name), m_markup, piece.insideTag);
    }

    void block(PostTemplate::Block which, PostChunk::Kind kind,
               const QHash<QString, QString>& values, qsizetype count) {
        if (!m_template.has(which))
            return;
        QStringList lines;
        for (const PostTemplate::Line& line : m_template.lines(which)) {
            QString text;
            for (const PostTemplate::Piece& piece : line)
                text += piece.name.isEmpty() ? piece.text : value(piece, values, count);
            lines << text;
        }
        add(kind, lines);
    }

    // Blank lines never double where blocks meet, nor open the post: a block's leading blank
    // lines are left out after a blank line.
    void add(PostChunk::Kind kind, const QStringList& lines) {
        qsizetype first = 0;
        while (m_atBlank && first < lines.size() && lines[first].isEmpty())
            ++first;
        QString text;
        for (qsizetype i = first; i < lines.size(); ++i)
            text += lines[i] + QStringLiteral("\r\n");
        if (first < lines.size())
            m_atBlank = lines.last().isEmpty();
        if (!text.isEmpty() || kind == PostChunk::Row)
            m_chunks.push_back({kind, text});
    }

    const PostTemplate& m_template;
    const PostContent& m_content;
    const PostMarkup m_markup;
    const bool m_byCategory; // the rows fall in categories
    const bool m_byLetter;   // no categories: the rows fall in letters, if the template asks
    std::vector<PostChunk> m_chunks;
    bool m_atBlank = true;
    size_t m_sectionStart = 0;
};

QString tagName(const QString& openTag) {
    qsizetype end = openTag.indexOf(u'=');
    if (end < 0)
        end = openTag.size() - 1;
    return openTag.mid(1, end - 1).toLower();
}

QString closingTags(const QStringList& open) {
    QString text;
    for (qsizetype i = open.size() - 1; i >= 0; --i)
        text += QStringLiteral("[/") + tagName(open[i]) + u']';
    return text.isEmpty() ? text : text + QStringLiteral("\r\n");
}

QString reopeningTags(const QStringList& open) {
    return open.isEmpty() ? QString() : open.join(QString()) + QStringLiteral("\r\n");
}

// The bodies of the parts, each at most `room` characters.
QStringList cutParts(const std::vector<PostChunk>& chunks, qsizetype room, PostMarkup markup,
                     qsizetype limit) {
    QStringList parts;
    QStringList open;
    size_t next = 0;
    while (next < chunks.size()) {
        QString body = reopeningTags(open);
        QStringList stack = open;
        qsizetype rows = 0;
        // The last place where this part may end: after a row, before the next row or section.
        // Never between a heading and its first row: the heading would end a part alone.
        struct Cut {
            size_t next;
            qsizetype length;
            QStringList stack;
        };
        std::optional<Cut> cut;
        while (next < chunks.size()) {
            const PostChunk& chunk = chunks[next];
            const bool afterRow = next > 0 && chunks[next - 1].kind == PostChunk::Row;
            if (rows > 0 && ((chunk.kind == PostChunk::Row && afterRow) ||
                             chunk.kind == PostChunk::SectionStart))
                cut = Cut{next, body.size(), stack};
            const QStringList after =
                markup == PostMarkup::Bbcode ? openBbcodeTags(chunk.text, stack) : stack;
            if (body.size() + chunk.text.size() + closingTags(after).size() <= room) {
                body += chunk.text;
                stack = after;
                rows += chunk.kind == PostChunk::Row ? 1 : 0;
                ++next;
                continue;
            }
            if (!cut)
                throw ReportedError(QCoreApplication::translate(
                                        "PostTemplate",
                                        "Строка \"%1\" с тем, что её окружает, не помещается в "
                                        "сообщение из %2 символов; файлы не созданы.")
                                        .arg(chunk.text.trimmed().left(80))
                                        .arg(limit));
            next = cut->next;
            body.truncate(cut->length);
            stack = cut->stack;
            break;
        }
        parts << body + closingTags(stack);
        open = stack;
    }
    return parts;
}

qsizetype digits(qsizetype number) {
    return QString::number(number).size();
}

} // namespace

std::optional<PostTemplate>
PostTemplate::parse(const QString& text, const QStringList& placeholders, TemplateError& error) {
    PostTemplate result;
    const QStringList lines = text.split(u'\n');
    int current = -1;
    int openedAt = 0;
    const auto fail = [&error](int line, const QString& message) {
        error = {line, message};
        return std::nullopt;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(QLatin1String("##")))
            continue;
        const std::optional<BlockMarker> marker = blockMarker(line);
        if (current < 0) {
            if (line.trimmed().isEmpty())
                continue;
            if (!marker)
                return fail(number, QCoreApplication::translate(
                                        "PostTemplate", "текст вне блока; блоки начинаются строкой "
                                                        "{{#имя}} и кончаются строкой {{/имя}}"));
            const int index = blockIndex(marker->name);
            if (!marker->opens)
                return fail(number,
                            QCoreApplication::translate("PostTemplate", "{{/%1}} без {{#%1}}")
                                .arg(marker->name));
            if (index < 0)
                return fail(number,
                            QCoreApplication::translate("PostTemplate", "неизвестный блок {{#%1}}")
                                .arg(marker->name));
            if (result.m_blocks[index])
                return fail(number,
                            QCoreApplication::translate("PostTemplate", "блок {{#%1}} второй раз")
                                .arg(marker->name));
            current = index;
            openedAt = number;
            result.m_blocks[index].emplace();
            continue;
        }
        if (marker) {
            if (!marker->opens && marker->name == kBlockNames[current]) {
                current = -1;
                continue;
            }
            return fail(number, QCoreApplication::translate("PostTemplate",
                                                            "блок {{#%1}} из строки %2 не закрыт")
                                    .arg(kBlockNames[current])
                                    .arg(openedAt));
        }
        Line pieces;
        QString message;
        if (!parseLine(line, placeholders, pieces, message))
            return fail(number, message);
        result.m_blocks[current]->push_back(std::move(pieces));
    }
    if (current >= 0)
        return fail(openedAt, QCoreApplication::translate("PostTemplate",
                                                          "блок {{#%1}} не закрыт до конца файла")
                                  .arg(kBlockNames[current]));
    if (!result.has(Row))
        return fail(0, QCoreApplication::translate("PostTemplate", "нет блока {{#row}}"));
    return result;
}

const std::vector<PostTemplate::Line>& PostTemplate::lines(Block block) const {
    return *m_blocks[block];
}

QStringList musicPostPlaceholders() {
    return {QStringLiteral("title"),    QStringLiteral("count"),   QStringLiteral("date"),
            QStringLiteral("category"), QStringLiteral("letter"),  QStringLiteral("folder"),
            QStringLiteral("group"),    QStringLiteral("album"),   QStringLiteral("year"),
            QStringLiteral("size"),     QStringLiteral("bitrate"), QStringLiteral("style"),
            QStringLiteral("country"),  QStringLiteral("sep"),     QStringLiteral("tracks"),
            QStringLiteral("time"),     QStringLiteral("totals")};
}

QStringList videoPostPlaceholders() {
    return {QStringLiteral("title"),      QStringLiteral("count"),    QStringLiteral("date"),
            QStringLiteral("letter"),     QStringLiteral("file"),     QStringLiteral("size"),
            QStringLiteral("resolution"), QStringLiteral("duration"), QStringLiteral("fps"),
            QStringLiteral("codec")};
}

std::vector<PostChunk> renderPost(const PostTemplate& postTemplate, const PostContent& content,
                                  PostMarkup markup) {
    return Renderer(postTemplate, content, markup).run();
}

QString joinPost(const std::vector<PostChunk>& chunks) {
    QString text;
    for (const PostChunk& chunk : chunks)
        text += chunk.text;
    return text;
}

QString postPartHeading(qsizetype part, qsizetype count) {
    return QStringLiteral("(часть %1 из %2)").arg(part).arg(count);
}

QStringList splitPost(const std::vector<PostChunk>& chunks, qsizetype limit, PostMarkup markup) {
    const QString whole = joinPost(chunks);
    if (limit <= 0 || whole.size() <= limit)
        return {whole};
    // Room for the heading line of the widest part number; the count is known only afterwards,
    // so a count with more digits than assumed runs the cut again.
    qsizetype assumed = 2;
    while (true) {
        const qsizetype heading = postPartHeading(assumed, assumed).size() + 2;
        QStringList parts = cutParts(chunks, limit - heading, markup, limit);
        if (digits(parts.size()) <= digits(assumed)) {
            for (qsizetype i = 0; i < parts.size(); ++i)
                parts[i].prepend(postPartHeading(i + 1, parts.size()) + QStringLiteral("\r\n"));
            return parts;
        }
        assumed = parts.size();
    }
}

QStringList openBbcodeTags(const QString& text, QStringList open) {
    static const QRegularExpression tag(
        QStringLiteral("\\[(/?)([A-Za-z][A-Za-z0-9]*|\\*)(=[^\\]]*)?\\]"));
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(2).toLower();
        if (name == QLatin1String("*") || name == QLatin1String("hr") ||
            name == QLatin1String("br"))
            continue;
        if (match.capturedLength(1) == 0) {
            open << match.captured(0);
            continue;
        }
        for (qsizetype i = open.size() - 1; i >= 0; --i) {
            if (tagName(open[i]) == name) {
                open.erase(open.begin() + i, open.end());
                break;
            }
        }
    }
    return open;
}

} // namespace korvane::exporter
