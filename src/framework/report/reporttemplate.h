// The model of a report template (.frf): bands of text objects in millimetres, with [name] fields and
// a format per text object, and its reading from the template's XML.
#pragma once

#include <QList>
#include <QRectF>
#include <QString>

enum class BandKind { Title, PageHeader, MasterData, Summary, PageFooter };

// How the fields of a text object are written.
enum class FieldFormat { Text, Number, Amount2, Amount3, Date };

struct FontStyle {
    QString family;
    double pointSize = 8;
    bool bold = false;
    bool italic = false;
};

// Frame lines drawn around a text object.
enum FrameLine { FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

// A piece of a text object's text: literal text, or the name inside a [field].
struct TextSegment {
    QString text;
    bool isField = false;
};

struct TextObject {
    QRectF rect;   // relative to the band's top left corner
    QList<TextSegment> segments;
    FieldFormat format = FieldFormat::Text;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    FontStyle font;
    int frame = 0;   // FrameLine flags
    bool wordWrap = false;
};

struct Band {
    BandKind kind = BandKind::Title;
    double height = 0;
    QString dataset;   // master data only: the report dataset's name
    QList<TextObject> objects;
};

struct ReportTemplate {
    double margin = 10;   // on every side of the page
    QList<Band> bands;

    const Band* band(BandKind kind) const;

    // Reads a template; throws ReportError naming `fileName` when the text is not a valid template.
    static ReportTemplate parse(const QByteArray& xml, const QString& fileName);
    // Reads the file; throws ReportError when it cannot be opened or is not a valid template.
    static ReportTemplate load(const QString& fileName);
};

// Splits "Áthozat: [vathozat]" into literal and field segments. A "[" without its "]" is literal.
QList<TextSegment> splitFields(const QString& text);
