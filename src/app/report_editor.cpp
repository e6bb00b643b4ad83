// The report's text area: whole texts go in through Scintilla's loader, bytes come out without a copy.
#include "report_editor.h"

#include "numtext/error.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <iterator>

// Scintilla's loader interface, declared exactly as Scintilla declares it in ILexer.h (which is
// not installed with QScintilla): same name, same scope, same virtual functions in the same
// order, so that calls go through the object's own table. Positions are Sci_Position, ptrdiff_t
// in the Scintilla 3.10 that QScintilla 2.13 is built on.
class ILoader
{
public:
    virtual int Release() = 0;
    // Returns 0, or a SC_STATUS_* code when the data could not be added.
    virtual int AddData(const char *data, std::ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

namespace {

// Text is handed to the loader in pieces of this size: large enough that the per-call cost
// vanishes, small enough that no second copy of a whole report is needed.
constexpr std::size_t kLoadPiece = std::size_t { 16 } << 20;

// No style bytes (they would double the memory) and positions wide enough for any report.
constexpr long kDocumentOptions = QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE
    | QsciScintillaBase::SC_DOCUMENTOPTION_TEXT_LARGE;

// How many bytes at the beginning of both texts are equal; compared in blocks, then bytewise.
std::size_t commonPrefixLength(std::string_view left, std::string_view right)
{
    constexpr std::size_t kBlock = 1 << 16;
    const std::size_t length = std::min(left.size(), right.size());
    std::size_t at = 0;
    while (at + kBlock <= length && std::memcmp(left.data() + at, right.data() + at, kBlock) == 0)
        at += kBlock;
    while (at < length && left[at] == right[at])
        ++at;
    return at;
}

} // namespace

ReportEditor::ReportEditor(QWidget *parent)
    : QsciScintilla(parent)
{
    setUtf8(false);
    setWrapMode(WrapNone);
    setEolMode(EolWindows);
    setEolVisibility(false);
    setAutoIndent(false);
    setBraceMatching(NoBraceMatch);
    setFolding(NoFoldStyle);
    for (int margin = 0; margin < 3; ++margin) {
        setMarginLineNumbers(margin, false);
        setMarginWidth(margin, 0);
    }
    // Only the caret line's layout is kept: a huge document must not grow a cache per line.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_CARET));
    SendScintilla(SCI_SETSCROLLWIDTH, static_cast<unsigned long>(1));
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, static_cast<unsigned long>(1));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // No SCN_MODIFIED: for each one QScintilla counts the characters from the start of the text
    // to the change (for accessibility), seconds per keystroke at the end of a huge report.
    // textChanged() is emitted from the content updates instead.
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(0));
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & SC_UPDATE_CONTENT)
            emit textChanged();
    });
    // The first document gets the same options as every loaded one.
    setLatin1Text({});
}

ReportEditor::~ReportEditor()
{
    cancelLoad();
}

void ReportEditor::setTextFont(const QFont &font)
{
    setFont(font);
    const QFontMetricsF metrics(font);
    const double blank = metrics.horizontalAdvance(QLatin1Char(' '));
    m_tabWidth = blank > 0
        ? std::max(1, static_cast<int>(std::lround(8 * metrics.averageCharWidth() / blank)))
        : 8;
    setTabWidth(m_tabWidth);
}

void ReportEditor::setColumnsFor(koravel::HybridKind kind)
{
    if (const int blanks = columnStops(kind, QFontMetricsF(font())).blanks; blanks > 0) {
        m_tabWidth = blanks;
        setTabWidth(m_tabWidth);
    }
}

ReportEditor::TabStops ReportEditor::columnStops(
    koravel::HybridKind kind, const QFontMetricsF &metrics)
{
    // The first fields that must end at one stop: the heading's (with two tabs for three-way
    // crosses) and the narrowest and widest of the lines, FALSO ones of lines up to 100.
    struct Field
    {
        const char *text;
        int tabs;
    };
    const bool hd = kind == koravel::HybridKind::DoubleCross;
    const Field fields[] = { { hd ? "HD(ij)(kl)    " : "HT(ij)k    ", hd ? 1 : 2 },
        { hd ? "HD (1x2)(3x4) =>" : "HT (1x2) 3 =>", 1 },
        { hd ? "FALSO HD (100x99)(98x97) =>" : "FALSO HT (100x99) 98 =>", 1 } };
    const double blank = metrics.horizontalAdvance(QLatin1Char(' '));
    if (blank <= 0)
        return {};
    // The narrowest stop that does so and still holds a mean or a value ("-99.999") in a column.
    const double column = metrics.horizontalAdvance(QStringLiteral("-99.999")) + blank;
    for (int blanks = static_cast<int>(std::ceil(column / blank)); blanks <= 64; ++blanks) {
        const double stop = blanks * blank;
        const auto end = [&](const Field &field) {
            const double width = metrics.horizontalAdvance(QLatin1String(field.text));
            return std::floor(width / stop) + field.tabs;
        };
        if (std::all_of(std::begin(fields), std::end(fields),
                [&](const Field &field) { return end(field) == end(fields[0]); }))
            return { blanks, static_cast<int>(end(fields[0])) };
    }
    return {};
}

void ReportEditor::setLatin1Text(std::string_view text)
{
    beginLoad(text.size());
    try {
        for (std::size_t at = 0; at < text.size(); at += kLoadPiece)
            appendToLoad(text.substr(at, kLoadPiece));
        flushLoadBuffer();
    } catch (...) {
        cancelLoad();
        throw;
    }
    finishLoad();
}

void ReportEditor::updateLatin1Text(std::string_view text)
{
    const std::size_t kept = commonPrefixLength(bytes(), text);
    replaceFrom(kept, text.substr(kept));
}

void ReportEditor::replaceFrom(std::size_t from, std::string_view tail)
{
    const auto shownSize = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
    from = std::min(from, shownSize);
    // Room first, so that a text too large fails before anything changes.
    reserve(from + tail.size());
    // One replacement of what follows the common beginning, kept out of the undo history (it
    // may be most of the text): cheaper in time and memory than building a second document.
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(0));
    SendScintilla(
        SCI_SETTARGETRANGE, static_cast<unsigned long>(from), static_cast<long>(shownSize));
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(tail.size()), tail.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(1));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    if (static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH)) != from + tail.size())
        throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
}

void ReportEditor::reserve(std::size_t size)
{
    if (size <= static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH)))
        return;
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(size));
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK) {
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
        throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
    }
}

void ReportEditor::beginAppending()
{
    cancelLoad();
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(0));
}

void ReportEditor::appendLatin1(std::string_view piece)
{
    if (piece.empty())
        return;
    const long before = SendScintilla(SCI_GETLENGTH);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(piece.size()), piece.data());
    const bool failed = SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK
        || SendScintilla(SCI_GETLENGTH) != before + static_cast<long>(piece.size());
    if (failed) {
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
        throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
    }
}

void ReportEditor::endAppending()
{
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(1));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
}

std::size_t ReportEditor::length() const
{
    return static_cast<std::size_t>(std::max(0L, SendScintilla(SCI_GETLENGTH)));
}

std::string_view ReportEditor::bytes() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    if (length <= 0)
        return {};
    // Scintilla closes its gap and returns its own buffer.
    const auto *text = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return { text, static_cast<std::size_t>(length) };
}

void ReportEditor::beginLoad(std::size_t expectedBytes)
{
    cancelLoad();
    const long handle = SendScintilla(
        SCI_CREATELOADER, static_cast<unsigned long>(expectedBytes), kDocumentOptions);
    if (handle == 0)
        throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
    m_loader = reinterpret_cast<ILoader *>(handle);
    // The loader's document is the loader itself; data is still added through the loader.
    m_document = m_loader->ConvertToDocument();
    // A new document starts in UTF-8, and changing its code page once it holds the text reads
    // the whole text again: it is set now, while the document is empty, by showing it for a
    // moment. The shown document is kept alive meanwhile and shown again.
    void *shown = SendScintillaPtrResult(SCI_GETDOCPOINTER);
    SendScintilla(SCI_ADDREFDOCUMENT, static_cast<unsigned long>(0), shown);
    SendScintilla(SCI_SETDOCPOINTER, static_cast<unsigned long>(0), m_document);
    SendScintilla(SCI_SETCODEPAGE, static_cast<unsigned long>(0));
    SendScintilla(SCI_SETEOLMODE, static_cast<unsigned long>(SC_EOL_CRLF));
    SendScintilla(SCI_SETTABWIDTH, static_cast<unsigned long>(m_tabWidth));
    SendScintilla(SCI_SETDOCPOINTER, static_cast<unsigned long>(0), shown);
    SendScintilla(SCI_RELEASEDOCUMENT, static_cast<unsigned long>(0), shown);
}

void ReportEditor::appendToLoad(std::string_view piece)
{
    if (!m_loader)
        beginLoad();
    if (piece.size() >= kLoadPiece / 2) {
        flushLoadBuffer();
        if (m_loader->AddData(piece.data(), static_cast<std::ptrdiff_t>(piece.size())) != 0)
            throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
        return;
    }
    if (m_loadBuffer.size() + piece.size() > kLoadPiece)
        flushLoadBuffer();
    if (m_loadBuffer.capacity() < kLoadPiece)
        m_loadBuffer.reserve(kLoadPiece);
    m_loadBuffer.append(piece);
}

void ReportEditor::flushLoadBuffer()
{
    if (m_loadBuffer.empty())
        return;
    const int status =
        m_loader->AddData(m_loadBuffer.data(), static_cast<std::ptrdiff_t>(m_loadBuffer.size()));
    m_loadBuffer.clear();
    if (status != 0)
        throw koravel::Error(std::string(koravel::kTextExceedsMemoCapacity));
}

void ReportEditor::finishLoad()
{
    if (!m_loader)
        beginLoad();
    // A piece that does not fit ends the text there: what came before is still shown.
    std::exception_ptr failure;
    try {
        flushLoadBuffer();
    } catch (...) {
        failure = std::current_exception();
    }
    std::string().swap(m_loadBuffer);
    void *document = m_document;
    m_loader = nullptr;
    m_document = nullptr;
    // The editor takes its own reference and the loader's one goes, so the document lives
    // exactly as long as the editor shows it. The editor releases the old document.
    SendScintilla(SCI_SETDOCPOINTER, static_cast<unsigned long>(0), document);
    SendScintilla(SCI_RELEASEDOCUMENT, static_cast<unsigned long>(0), document);
    applyDocumentSettings();
    if (failure)
        std::rethrow_exception(failure);
}

void ReportEditor::cancelLoad()
{
    std::string().swap(m_loadBuffer);
    if (m_loader) {
        m_loader->Release();
        m_loader = nullptr;
        m_document = nullptr;
    }
}

// Settings that belong to the document in Scintilla and must be set again on a new one.
void ReportEditor::applyDocumentSettings()
{
    if (SendScintilla(SCI_GETCODEPAGE) != 0)
        SendScintilla(SCI_SETCODEPAGE, static_cast<unsigned long>(0));
    if (SendScintilla(SCI_GETEOLMODE) != SC_EOL_CRLF)
        SendScintilla(SCI_SETEOLMODE, static_cast<unsigned long>(SC_EOL_CRLF));
    if (SendScintilla(SCI_GETTABWIDTH) != m_tabWidth)
        SendScintilla(SCI_SETTABWIDTH, static_cast<unsigned long>(m_tabWidth));
    // The loader builds without undo history; the user's edits are undoable again.
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(1));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
}
