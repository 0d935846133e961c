#pragma once

#include <QColor>
#include <QTextEdit>

// The memo view: white-on-black lines in a bold fixed-pitch Japanese font, each line in a
// colour and size of its own. Lines are always taken as plain text: a memo is data from
// another PC and never markup. Text the user pastes arrives as plain text too.
//
// The document's modified mark tells whether the user changed the text: the programmatic
// operations below leave it as it was.
class TQuaxoRichEdit final : public QTextEdit
{
    Q_OBJECT

public:
    explicit TQuaxoRichEdit(QWidget* parent = nullptr);

    // Colour and point size of the lines added from now on.
    void setLineColour(const QColor& colour) { m_colour = colour; }
    void setLineSize(int pointSize) { m_pointSize = pointSize; }
    QColor lineColour() const { return m_colour; }
    int lineSize() const { return m_pointSize; }

    // Appends `line` and a line break after the last line, in the current colour and size.
    void addLine(const QString& line);
    // Puts `line` before line `index` (0-based; past the end appends).
    void insertLine(int index, const QString& line);
    // Empties the view.
    void clearLines();

    // The lines as the view holds them; a line break at the very end starts no further line.
    QStringList lines() const;
    // The whole text with CR LF line breaks, every line followed by one: what is saved.
    QString textWithCrLf() const;

    bool isModified() const;
    void setModified(bool modified);

    // The bold fixed-pitch font of the memo view, at `pointSize`.
    static QFont memoFont(int pointSize);

signals:
    // Typed or pasted characters that the shared files cannot hold were taken out again.
    void charactersRefused(const QString& characters);
    // The keyboard focus went elsewhere: the moment to keep what the user typed.
    void focusLeft();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void insertAt(int blockIndex, const QString& line);

    QColor m_colour = Qt::white;
    int m_pointSize = 11;
};
