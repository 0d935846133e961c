#include "store/ui/TQuaxoRichEdit.h"

#include "platform/Cp932.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Keeps the user's modified mark and undo history out of programmatic changes: the view
// starts a fresh undo history whenever the program rewrites it.
class ProgrammaticEdit
{
public:
    explicit ProgrammaticEdit(TQuaxoRichEdit& view) : m_view(view), m_modified(view.isModified())
    {
        m_view.document()->setUndoRedoEnabled(false);
    }
    ~ProgrammaticEdit()
    {
        m_view.document()->setUndoRedoEnabled(true);
        m_view.setModified(m_modified);
    }
    ProgrammaticEdit(const ProgrammaticEdit&) = delete;
    ProgrammaticEdit& operator=(const ProgrammaticEdit&) = delete;

private:
    TQuaxoRichEdit& m_view;
    bool m_modified;
};

// The characters of `text` that the shared files cannot hold (CP932 has no form for them).
QString unmappableIn(const QString& text)
{
    QString plain = text;
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    plain.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const Cp932::Encoded encoded = Cp932::fromUnicode(plain);
    return encoded.ok ? QString() : encoded.unmappable;
}

QString withoutCharacters(const QString& text, const QString& refused)
{
    QString kept;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!refused.contains(ch))
            kept += ch;
        i += len;
    }
    return kept;
}

} // namespace

TQuaxoRichEdit::TQuaxoRichEdit(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    setPalette(pal);
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    setFont(memoFont(m_pointSize));
    document()->setDefaultFont(memoFont(m_pointSize));
}

QFont TQuaxoRichEdit::memoFont(int pointSize)
{
    // "ＭＳ ゴシック" where Windows fonts are installed; IPAGothic has the same metrics.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setBold(true);
    font.setPointSize(pointSize);
    return font;
}

void TQuaxoRichEdit::insertAt(int blockIndex, const QString& line)
{
    ProgrammaticEdit edit(*this);
    QTextCharFormat format;
    format.setFont(memoFont(m_pointSize), QTextCharFormat::FontPropertiesAll);
    format.setForeground(m_colour);

    QTextDocument* doc = document();
    const int lineCount = doc->blockCount() - (doc->lastBlock().text().isEmpty() ? 1 : 0);
    if (blockIndex < 0 || blockIndex >= lineCount) {
        // The position after the last line: the final empty block, or the end of a last
        // line that the user left without a line break.
        QTextCursor cursor(doc);
        cursor.movePosition(QTextCursor::End);
        if (!cursor.block().text().isEmpty())
            cursor.insertBlock();
        cursor.setBlockCharFormat(format);
        cursor.insertText(line, format);
        cursor.insertBlock(QTextBlockFormat(), format);
        return;
    }
    const QTextBlock block = doc->findBlockByNumber(blockIndex);
    QTextCursor cursor(block);
    cursor.insertBlock(block.blockFormat(), block.charFormat());
    cursor.movePosition(QTextCursor::PreviousBlock);
    cursor.setBlockCharFormat(format);
    cursor.insertText(line, format);
}

void TQuaxoRichEdit::addLine(const QString& line)
{
    insertAt(-1, line);
}

void TQuaxoRichEdit::insertLine(int index, const QString& line)
{
    insertAt(index, line);
}

void TQuaxoRichEdit::clearLines()
{
    ProgrammaticEdit edit(*this);
    document()->clear();
    document()->setDefaultFont(memoFont(m_pointSize));
}

QStringList TQuaxoRichEdit::lines() const
{
    QStringList out;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const bool last = !block.next().isValid();
        if (last && block.text().isEmpty())
            break;
        out.append(block.text());
    }
    return out;
}

QString TQuaxoRichEdit::textWithCrLf() const
{
    QString text;
    for (const QString& line : lines())
        text += line + QStringLiteral("\r\n");
    return text;
}

bool TQuaxoRichEdit::isModified() const
{
    return document()->isModified();
}

void TQuaxoRichEdit::setModified(bool modified)
{
    document()->setModified(modified);
}

bool TQuaxoRichEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void TQuaxoRichEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    QString text = source->text();
    const QString refused = unmappableIn(text);
    if (!refused.isEmpty()) {
        text = withoutCharacters(text, refused);
        emit charactersRefused(refused);
    }
    textCursor().insertText(text);
    ensureCursorVisible();
}

void TQuaxoRichEdit::keyPressEvent(QKeyEvent* event)
{
    const QString refused = isReadOnly() ? QString() : unmappableIn(event->text());
    if (!refused.isEmpty() && event->text().at(0).isPrint()) {
        emit charactersRefused(refused);
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TQuaxoRichEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString refused = isReadOnly() ? QString() : unmappableIn(event->commitString());
    if (refused.isEmpty()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(withoutCharacters(event->commitString(), refused), event->replacementStart(),
                             event->replacementLength());
    emit charactersRefused(refused);
    QTextEdit::inputMethodEvent(&filtered);
    event->accept();
}

void TQuaxoRichEdit::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    emit focusLeft();
}
