#pragma once

#include <QDate>
#include <QProcess>
#include <QString>
#include <QXmlStreamReader>

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A workbook read back as a spreadsheet program reads it: each sheet's cells
// with their kind, text (Excel's _xHHHH_ escapes decoded), fill and font
// colours and number format.
struct ReadCell {
    enum class Kind { text, number, formula };
    Kind kind = Kind::text;
    std::string text;   // the string, or the number as written
    std::string fill;   // "D32F2F"; empty when none
    std::string format; // "yyyy-mm-dd"; empty when general
    bool wrapped = false;
    std::string font = {}; // the text's colour, "FFFFFF"; empty when the default, black
    bool operator==(const ReadCell&) const = default;
};

struct ReadSheet {
    std::string name;
    std::map<std::pair<int, int>, ReadCell> cells; // by row and column, from 0
    int rows = 0;                                  // the last row written, plus one
    int frozenRows = 0;
    std::string filter = {}; // the range with a filter, "A1:J20"
    const ReadCell* at(int row, int column) const
    {
        const auto it = cells.find({row, column});
        return it == cells.end() ? nullptr : &it->second;
    }
    // The texts of a row, "" for a cell not written, up to `columns`.
    std::vector<std::string> row(int r, int columns) const
    {
        std::vector<std::string> texts;
        for (int c = 0; c < columns; ++c) {
            const ReadCell* cell = at(r, c);
            texts.push_back(cell ? cell->text : std::string());
        }
        return texts;
    }
};

struct ReadBook {
    std::vector<ReadSheet> sheets;
    bool read = false; // every part was there and well formed
    const ReadSheet* sheet(const std::string& name) const
    {
        for (const ReadSheet& s : sheets) {
            if (s.name == name) {
                return &s;
            }
        }
        return nullptr;
    }
};

// The parts of a ZIP file by name, read by Python's own zipfile; none when
// it is not one.
inline std::map<QString, QByteArray> zipParts(const std::string& zip)
{
    QProcess python;
    python.start("/usr/bin/python3", {"-c",
                                      "import sys, zipfile\n"
                                      "for part in zipfile.ZipFile(sys.argv[1]).infolist():\n"
                                      "    data = zipfile.ZipFile(sys.argv[1]).read(part)\n"
                                      "    sys.stdout.buffer.write(b'%s\\n%d\\n' % "
                                      "(part.filename.encode(), len(data)) + data)",
                                      QString::fromStdString(zip)});
    python.waitForFinished(60000);
    const QByteArray out = python.exitCode() == 0 ? python.readAllStandardOutput() : QByteArray();
    std::map<QString, QByteArray> parts;
    for (qsizetype at = 0; at < out.size();) {
        const qsizetype name = out.indexOf('\n', at);
        const qsizetype size = name < 0 ? -1 : out.indexOf('\n', name + 1);
        if (size < 0) {
            break;
        }
        const qsizetype length = out.mid(name + 1, size - name - 1).toLongLong();
        parts[QString::fromUtf8(out.mid(at, name - at))] = out.mid(size + 1, length);
        at = size + 1 + length;
    }
    return parts;
}

inline std::string excelText(const QString& text)
{
    QString decoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool hex = false;
        const uint code = i + 7 <= text.size() && text.mid(i, 2) == "_x" && text[i + 6] == u'_'
                              ? text.mid(i + 2, 4).toUInt(&hex, 16)
                              : 0;
        if (hex) {
            decoded += QChar(static_cast<char16_t>(code));
            i += 6;
        } else {
            decoded += text[i];
        }
    }
    return decoded.toStdString();
}

// "AB12" as row 11, column 27.
inline std::pair<int, int> cellPlace(QStringView ref)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        column = column * 26 + (ref[i].unicode() - 'A' + 1);
    }
    return {ref.mid(i).toInt() - 1, column - 1};
}

inline ReadBook readWorkbook(const std::string& path)
{
    ReadBook book;
    std::map<QString, QByteArray> parts = zipParts(path);
    const auto zipPart = [&](const std::string&, const QString& name) { return parts[name]; };
    bool wellFormed = true;
    const auto elements = [&](const QByteArray& xml, const auto& onElement) {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement) {
                onElement(reader);
            }
        }
        wellFormed = wellFormed && !xml.isEmpty() && !reader.hasError();
    };
    // The styles: each cell format's fill, font colour and number format.
    std::map<QString, QString> formats;
    std::vector<QString> fills;
    std::vector<QString> fonts;
    bool inFonts = false;
    struct Style {
        std::string fill;
        std::string format;
        bool wrapped = false;
        std::string font;
    };
    std::vector<Style> styles;
    bool inCellFormats = false;
    elements(zipPart(path, "xl/styles.xml"), [&](QXmlStreamReader& r) {
        const auto attribute = [&](const char* name) { return r.attributes().value(name); };
        if (r.name() == u"numFmt") {
            formats[attribute("numFmtId").toString()] = attribute("formatCode").toString();
        } else if (r.name() == u"fonts" || r.name() == u"fills") {
            inFonts = r.name() == u"fonts";
        } else if (r.name() == u"font" && inFonts) {
            fonts.emplace_back();
        } else if (r.name() == u"color" && inFonts && !fonts.empty()) {
            fonts.back() = attribute("rgb").mid(2).toString();
        } else if (r.name() == u"fill") {
            fills.emplace_back();
        } else if (r.name() == u"fgColor" && !fills.empty()) {
            fills.back() = attribute("rgb").mid(2).toString();
        } else if (r.name() == u"cellXfs") {
            inCellFormats = true;
        } else if (r.name() == u"cellStyles") {
            inCellFormats = false;
        } else if (r.name() == u"xf" && inCellFormats) {
            const auto fill = attribute("fillId").toUInt();
            const auto font = attribute("fontId").toUInt();
            styles.push_back({fill < fills.size() ? fills[fill].toStdString() : std::string(),
                              formats[attribute("numFmtId").toString()].toStdString(), false,
                              font < fonts.size() ? fonts[font].toStdString() : std::string()});
        } else if (r.name() == u"alignment" && inCellFormats && !styles.empty()) {
            styles.back().wrapped = attribute("wrapText") == u"1";
        }
    });
    std::vector<std::string> shared;
    const QByteArray sharedXml = zipPart(path, "xl/sharedStrings.xml");
    if (!sharedXml.isEmpty()) {
        elements(sharedXml, [&](QXmlStreamReader& r) {
            if (r.name() == u"si") {
                shared.emplace_back();
            } else if (r.name() == u"t" && !shared.empty()) {
                shared.back() += excelText(r.readElementText());
            }
        });
    }
    elements(zipPart(path, "xl/workbook.xml"), [&](QXmlStreamReader& r) {
        if (r.name() == u"sheet") {
            book.sheets.push_back({r.attributes().value("name").toString().toStdString(), {}});
        }
    });
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        ReadSheet& sheet = book.sheets[i];
        ReadCell* cell = nullptr;
        QString type;
        elements(zipPart(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1)),
                 [&](QXmlStreamReader& r) {
                     if (r.name() == u"c") {
                         const auto place = cellPlace(r.attributes().value("r"));
                         cell = &sheet.cells[place];
                         sheet.rows = std::max(sheet.rows, place.first + 1);
                         type = r.attributes().value("t").toString();
                         const auto style = r.attributes().value("s").toUInt();
                         if (style < styles.size()) {
                             cell->fill = styles[style].fill;
                             cell->format = styles[style].format;
                             cell->wrapped = styles[style].wrapped;
                             cell->font = styles[style].font;
                         }
                         cell->kind = type.isEmpty() || type == u"n" ? ReadCell::Kind::number
                                                                     : ReadCell::Kind::text;
                     } else if (r.name() == u"pane" && r.attributes().value("state") == u"frozen") {
                         sheet.frozenRows = r.attributes().value("ySplit").toInt();
                     } else if (r.name() == u"autoFilter") {
                         sheet.filter = r.attributes().value("ref").toString().toStdString();
                     } else if (r.name() == u"f" && cell) {
                         cell->kind = ReadCell::Kind::formula;
                     } else if (r.name() == u"v" && cell) {
                         const QString value = r.readElementText();
                         cell->text = type == u"s" && value.toUInt() < shared.size()
                                          ? shared[value.toUInt()]
                                          : excelText(value);
                     } else if (r.name() == u"t" && cell) {
                         cell->text += excelText(r.readElementText());
                     }
                 });
    }
    book.read = wellFormed && !book.sheets.empty();
    return book;
}

// The rows of a sheet as the CSV has them: dates and times, which the sheet
// holds as numbers of days, as 2026-04-16 and 14:05:09.
inline std::vector<std::vector<std::string>> sheetAsCsv(const ReadSheet& sheet, int columns,
                                                        int dateColumn, int timeColumn)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < sheet.rows; ++r) {
        rows.push_back(sheet.row(r, columns));
        const ReadCell* date = sheet.at(r, dateColumn);
        const ReadCell* time = sheet.at(r, timeColumn);
        if (date && date->kind == ReadCell::Kind::number) {
            rows.back()[static_cast<std::size_t>(dateColumn)] = QDate(1899, 12, 30)
                                                                    .addDays(std::stoll(date->text))
                                                                    .toString(Qt::ISODate)
                                                                    .toStdString();
        }
        if (time && time->kind == ReadCell::Kind::number) {
            const int seconds = static_cast<int>(std::lround(std::stod(time->text) * 86400));
            rows.back()[static_cast<std::size_t>(timeColumn)] =
                QTime(0, 0).addSecs(seconds).toString("hh:mm:ss").toStdString();
        }
    }
    return rows;
}
