#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// Forum posts from a template: the text file names a header, the blocks around a category (or a
// letter of the alphabet), a row and a footer, with {{name}} placeholders. The post is rendered
// as pieces that the splitter may cut between rows.
namespace korvane::exporter {

enum class PostMarkup {
    Bbcode, // names are escaped so that none opens or closes a tag
    Plain,  // plain text: names as they are
};

// A template that cannot be used: the 1-based line it concerns (0 when none) and what is wrong.
struct TemplateError {
    int line = 0;
    QString message;
};

class PostTemplate {
public:
    enum Block { Header, Category, CategoryEnd, Letter, LetterEnd, Row, Footer, BlockCount };

    // One piece of a line: literal text, or a placeholder to fill (`name` not empty).
    struct Piece {
        QString text;
        QString name;
        bool insideTag = false; // within a tag's brackets, as in [spoiler="{{category}}"]
    };
    using Line = std::vector<Piece>;

    // Parses the template text. Lines of a block lie between a line "{{#name}}" and a line
    // "{{/name}}"; lines starting with "##" are comments; blank lines outside blocks are ignored.
    // `placeholders` are the names the list knows. The row block is required.
    static std::optional<PostTemplate> parse(const QString& text, const QStringList& placeholders,
                                             TemplateError& error);

    bool has(Block block) const { return m_blocks[block].has_value(); }
    const std::vector<Line>& lines(Block block) const;

private:
    std::array<std::optional<std::vector<Line>>, BlockCount> m_blocks;
};

// One row, heading or block of a rendered post, with its line breaks (CR LF).
struct PostChunk {
    enum Kind { Header, SectionStart, SectionEnd, Row, Footer } kind;
    QString text;
};

// What a post shows: the texts for the header and footer, and the entries in list order.
struct PostContent {
    struct Entry {
        enum Kind {
            Row,
            Category,    // a category header row, a section of its own with categories on
            LooseHeading // a category header row with categories off: a line of its name
        } kind = Row;
        QHash<QString, QString> values; // the row's placeholders, as plain texts
    };
    QString title;
    QString date;
    qsizetype count = -1;    // {{count}} of the header and footer; -1: every row
    bool categories = false; // category entries open sections
    bool boldGroups = false; // {{folder}} sets its group in bold
    QString groupSeparator;  // ends the group inside {{folder}}
    QString fieldSeparator;  // {{sep}}
    std::vector<Entry> entries;
};

// The placeholders of the music and the video list.
QStringList musicPostPlaceholders();
QStringList videoPostPlaceholders();

// The post in pieces. With a letter block and categories off, the rows are grouped by the first
// letter of their caption.
std::vector<PostChunk> renderPost(const PostTemplate& postTemplate, const PostContent& content,
                                  PostMarkup markup);

// The pieces joined into one text.
QString joinPost(const std::vector<PostChunk>& chunks);

// The post cut into parts of at most `limit` characters (UTF-16 units, as a browser's text box
// counts them; CR LF counts two), only before a row or a section. Each part starts with the line
// "(часть i из n)"; in BBCode each part closes the tags still open at its end and the next one
// opens them again. One part, without the heading line, when the whole post fits. Throws
// ReportedError when a row with what must go around it does not fit in a part.
QStringList splitPost(const std::vector<PostChunk>& chunks, qsizetype limit, PostMarkup markup);

// "(часть i из n)".
QString postPartHeading(qsizetype part, qsizetype count);

// The tags a BBCode text leaves open, outermost first, as they were written.
QStringList openBbcodeTags(const QString& text, QStringList open = {});

} // namespace korvane::exporter
