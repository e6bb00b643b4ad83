// The report's text area: a QScintilla editor tuned for single-byte text of millions of lines.
#pragma once

#include <Qsci/qsciscintilla.h>

#include "prediction/candidate.h"

#include <cstddef>
#include <string>
#include <string_view>

class ILoader; // Scintilla's loader interface, see report_editor.cpp
class QFontMetricsF;

// Holds the text as Latin-1 bytes, lines ending at CR LF, LF or CR, no wrap, no lexer, no
// margins. A whole text is loaded through Scintilla's loader into a fresh document without
// styles or undo history, so that a report of 11 million lines loads in seconds and costs
// little more memory than its bytes.
class ReportEditor : public QsciScintilla
{
    Q_OBJECT

public:
    explicit ReportEditor(QWidget *parent = nullptr);
    ~ReportEditor() override;

    // The font of the whole text; a tab then spans eight average characters, as in a memo.
    void setTextFont(const QFont &font);
    // Tab stops that put the columns of a report of that kind under their headings, whatever
    // the width of its first fields (lines 1 to 100, FALSO or not); the text is not touched.
    void setColumnsFor(koravel::HybridKind kind);
    // The tab width, in blanks of the font measured, that does so, and the stop (1, 2...) where
    // the first column after the hybrid's begins; {0, 0} when no width up to 64 blanks does.
    // The printout sets its first stops by the same rule on the printer's measures.
    struct TabStops
    {
        int blanks = 0;
        int firstColumn = 0;
    };
    static TabStops columnStops(koravel::HybridKind kind, const QFontMetricsF &metrics);

    // Replaces the whole text. When the editor cannot take the text it throws koravel::Error
    // "Text exceeds memo capacity" and the old text stays.
    void setLatin1Text(std::string_view text);

    // Makes the text equal to text by rewriting only what follows the part both share at their
    // beginning, with no second document: a clean-up that appends its summary rewrites three
    // lines. The undo history starts afresh. Throws "Text exceeds memo capacity" when the
    // editor cannot take the text; the old text stays then.
    void updateLatin1Text(std::string_view text);

    // Replaces everything from the byte from on with tail, out of the undo history (the
    // clean-up's rewrite of the lines after its first removed one, and its summary). Throws
    // "Text exceeds memo capacity" when the editor cannot take the text; the old text stays.
    void replaceFrom(std::size_t from, std::string_view tail);

    // A text that grows while it is shown: beginAppending() stops the undo history,
    // appendLatin1() adds bytes at the end of the shown text (throwing "Text exceeds memo
    // capacity" when they do not fit, the text as it was before them), reserve() makes room
    // for a text of that many bytes in one step, endAppending() starts the history afresh.
    void beginAppending();
    void appendLatin1(std::string_view bytes);
    void reserve(std::size_t bytes);
    void endAppending();

    // The length of the text in bytes.
    std::size_t length() const;
    // The text as it stands, without a copy; valid until the text changes.
    std::string_view bytes() const;

    // A text built piece by piece: beginLoad() starts an empty one aside from the shown text,
    // appendToLoad() adds bytes to it, finishLoad() puts it in place of the shown text and
    // cancelLoad() drops it. A failed appendToLoad() throws "Text exceeds memo capacity" and
    // keeps what was added before.
    void beginLoad(std::size_t expectedBytes = 0);
    void appendToLoad(std::string_view piece);
    void finishLoad();
    void cancelLoad();
    bool isLoading() const { return m_loader != nullptr; }

private:
    void flushLoadBuffer();
    void applyDocumentSettings();

    ILoader *m_loader = nullptr;
    void *m_document = nullptr; // the loader's document, while a text is being built
    int m_tabWidth = 8; // in blanks
    std::string m_loadBuffer;
};
