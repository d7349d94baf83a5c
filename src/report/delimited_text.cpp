#include "report/delimited_text.h"

#include "record/windows1252.h"

#include <QString>
#include <QStringDecoder>

namespace
{

std::string fromUtf16(std::string_view bytes, bool bigEnd)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto high = static_cast<unsigned char>(bytes[2 * i + (bigEnd ? 0 : 1)]);
        const auto low = static_cast<unsigned char>(bytes[2 * i + (bigEnd ? 1 : 0)]);
        units[i] = static_cast<char16_t>(high << 8 | low);
    }
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toStdString();
}

bool isUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

} // namespace

std::optional<std::string> decodedText(std::string_view bytes)
{
    std::string text;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        text = fromUtf16(bytes.substr(2), bytes[0] == '\xFE');
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = bytes.substr(3);
    } else {
        text = isUtf8(bytes) ? std::string(bytes) : fromWindows1252(bytes);
    }
    if (text.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return text;
}

std::vector<TableRow> tableRows(std::string_view text, char delimiter, std::size_t most, bool& more)
{
    std::vector<TableRow> rows;
    more = false;
    int line = 1;
    std::size_t i = 0;
    const auto lineEnd = [&](std::size_t at) {
        // CR LF, LF or CR: how many characters end the line at `at`, 0 when none.
        if (text[at] == '\r') {
            return at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
        }
        return text[at] == '\n' ? 1 : 0;
    };
    while (i < text.size()) {
        if (const int end = lineEnd(i)) {
            i += static_cast<std::size_t>(end);
            ++line;
            continue;
        }
        if (rows.size() == most) {
            more = true;
            break;
        }
        TableRow row{line, {std::string()}};
        bool quoted = false;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (quoted) {
                if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                    row.fields.back() += '"';
                    ++i;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    line += c == '\n' || (c == '\r' && lineEnd(i) == 1);
                    row.fields.back() += c;
                }
            } else if (c == '"' && row.fields.back().empty()) {
                quoted = true;
            } else if (c == delimiter) {
                row.fields.emplace_back();
            } else if (lineEnd(i)) {
                break;
            } else {
                // The rest of an unquoted field at once, up to what ends it.
                std::size_t end = i + 1;
                while (end < text.size() && text[end] != delimiter && text[end] != '\r' &&
                       text[end] != '\n' && text[end] != '"') {
                    ++end;
                }
                row.fields.back().append(text, i, end - i);
                i = end - 1;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string_view firstLine(std::string_view text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}
