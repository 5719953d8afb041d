#include "rle/rle.h"

#include "program.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace hexlife::rle {

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads a whole number at `at`, with an optional minus sign; false on
// overflow past `limit` or when there is no digit.
bool ReadNumber(std::string_view text, size_t& at, std::int64_t limit, std::int64_t& value, bool& overflow)
{
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) {
        return false;
    }
    value = 0;
    overflow = false;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > limit) {
            overflow = true;
            value = limit;
        }
    }
    value = negative ? -value : value;
    return !overflow;
}

Error Fault(ErrorKind kind, int line, std::string detail = {})
{
    Error error;
    error.kind = kind;
    error.line = line;
    error.detail = std::move(detail);
    return error;
}

// The character that starts at `at` of a line, for a message: itself as
// written (a letter of any alphabet, in UTF-8), or its code where it is a
// control character or no UTF-8 at all.
std::string Shown(std::string_view line, size_t at)
{
    static const char digits[] = "0123456789ABCDEF";
    const auto code = [](unsigned char c) { return std::string("0x") + digits[c >> 4] + digits[c & 15]; };
    const unsigned char c = static_cast<unsigned char>(line[at]);
    if (c < 0x20 || c == 0x7F) {
        return code(c);
    }
    if (c < 0x80) {
        return std::string(1, char(c));
    }
    // A lead byte and its continuation bytes, checked as UTF-8 requires.
    const size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > line.size()) {
        return code(c);
    }
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(line[at + i]) & 0xC0) != 0x80) {
            return code(c);
        }
    }
    const unsigned char second = static_cast<unsigned char>(line[at + 1]);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second > 0x8F)) {
        return code(c);  // overlong, a surrogate, or beyond Unicode
    }
    return std::string(line.substr(at, length));
}

// The column of the character at byte `at`, from 1: characters, not bytes.
int ColumnOf(std::string_view line, size_t at)
{
    int column = 1;
    for (size_t i = 0; i < at; ++i) {
        column += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
    }
    return column;
}

// "#CXRLE Pos=x,y": where Golly puts the pattern's top-left cell.
bool ReadPosition(std::string_view line, std::int64_t& x, std::int64_t& y)
{
    const size_t pos = line.find("Pos=");
    if (pos == std::string_view::npos) {
        return false;
    }
    size_t at = pos + 4;
    bool overflow = false;
    if (!ReadNumber(line, at, RleMaxPosition, x, overflow) || at >= line.size() || line[at] != ',') {
        return false;
    }
    ++at;
    return ReadNumber(line, at, RleMaxPosition, y, overflow);
}

// The header "x = m, y = n, rule = r": its rule, or an error.
std::optional<Error> ReadHeader(std::string_view line, int lineNumber, std::string& rule, std::int64_t& width,
                                std::int64_t& height)
{
    size_t start = 0;
    while (start <= line.size()) {
        const size_t comma = std::min(line.find(',', start), line.size());
        const std::string_view item = Trim(line.substr(start, comma - start));
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            return Fault(ErrorKind::Truncated, lineNumber, std::string(item));
        }
        const std::string key = Lower(Trim(item.substr(0, equals)));
        const std::string_view value = Trim(item.substr(equals + 1));
        if (key == "rule") {
            rule = std::string(value);
        } else if (key == "x" || key == "y") {
            size_t at = 0;
            std::int64_t number = 0;
            bool overflow = false;
            if (!ReadNumber(value, at, std::numeric_limits<std::int32_t>::max(), number, overflow) ||
                at != value.size() || number < 0) {
                return Fault(overflow ? ErrorKind::CountOverflow
                                      : value.empty() ? ErrorKind::Truncated : ErrorKind::NotRle,
                             lineNumber, std::string(value));
            }
            (key == "x" ? width : height) = number;
        }
        // Other keys (Golly's own) are passed over.
        start = comma + 1;
    }
    return std::nullopt;
}

}  // namespace

std::string HeaderRule(const rule::Rule& rule)
{
    return rule.IsTotalistic() ? rule.Text() : rule.Map();
}

std::string WritePattern(const PatternArray& pattern, const std::string& name, const rule::Rule& rule)
{
    std::vector<GollyCell> live;
    for (int k = 0; k <= PatternColLast; ++k) {
        for (int j = 0; j <= PatternPosLast; ++j) {
            if (pattern[PatternColLen * k + j] != 0) {
                live.push_back(ToGolly(k, j));
            }
        }
    }
    return WriteCells(std::move(live), name, std::nullopt, rule);
}

namespace {

std::string WriteLive(std::vector<GollyCell> live, const std::string& name, bool placed, std::optional<int> generation,
                      const rule::Rule& rule)
{
    std::int64_t left = 0, top = 0, right = -1, bottom = -1;
    if (!live.empty()) {
        left = right = live.front().x;
        top = bottom = live.front().y;
        for (const GollyCell& cell : live) {
            left = std::min(left, cell.x);
            right = std::max(right, cell.x);
            top = std::min(top, cell.y);
            bottom = std::max(bottom, cell.y);
        }
    }
    // A name is one line: line breaks and other control characters in it
    // would end the comment and break the file.
    std::string title = name;
    for (char& c : title) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = ' ';
        }
    }
    std::string text = "#N " + title + "\n#C " + WindowCaption + " (hexagonal-life " + ProgramVersion + ")\n";
    if (placed) {
        text += "#CXRLE Pos=" + std::to_string(left) + "," + std::to_string(top) +
                (generation ? " Gen=" + std::to_string(*generation) : "") + "\n";
    }
    text += "x = " + std::to_string(right - left + 1) + ", y = " + std::to_string(bottom - top + 1) +
            ", rule = " + HeaderRule(rule) + "\n";

    // Runs row by row; dead cells at a row's end and empty rows at the end
    // are left out, as Golly writes them.
    std::vector<std::string> tokens;
    std::sort(live.begin(), live.end(), [](const GollyCell& a, const GollyCell& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    auto run = [&](std::int64_t count, char tag) {
        tokens.push_back(count == 1 ? std::string(1, tag) : std::to_string(count) + tag);
    };
    std::int64_t row = top, x = left;
    for (size_t i = 0; i < live.size();) {
        const GollyCell& cell = live[i];
        if (cell.y != row) {
            run(cell.y - row, '$');
            row = cell.y;
            x = left;
        }
        if (cell.x > x) {
            run(cell.x - x, 'b');
        }
        size_t end = i;
        while (end + 1 < live.size() && live[end + 1].y == row && live[end + 1].x == live[end].x + 1) {
            ++end;
        }
        run(std::int64_t(end - i + 1), 'o');
        x = live[end].x + 1;
        i = end + 1;
    }
    tokens.push_back("!");

    std::string line;
    for (const std::string& token : tokens) {
        if (line.size() + token.size() > size_t(RleLineWidth)) {
            text += line + "\n";
            line.clear();
        }
        line += token;
    }
    return text + line + "\n";
}

}  // namespace

std::string WriteCells(std::vector<GollyCell> live, const std::string& name, std::optional<int> generation,
                       const rule::Rule& rule)
{
    return WriteLive(std::move(live), name, true, generation, rule);
}

std::string WriteShape(std::vector<GollyCell> live, const std::string& name, const rule::Rule& rule)
{
    return WriteLive(std::move(live), name, false, std::nullopt, rule);
}

ParseResult Parse(std::string_view text)
{
    ParseResult result;
    if (text.size() > size_t(MaxPatternFileBytes)) {
        result.error = Fault(ErrorKind::TooBig, 0);
        return result;
    }
    Cells cells;
    std::int64_t originX = 0, originY = 0;
    bool headerSeen = false, bodyStarted = false, ended = false;
    std::int64_t x = 0, y = 0, count = -1;
    int lineNumber = 0, countLine = 0;
    size_t start = 0;
    while (start < text.size() && !ended) {
        const size_t newline = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, newline - start);
        start = newline + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty()) {
            continue;
        }
        if (trimmed.front() == '#') {
            if (trimmed.substr(0, 6) == "#CXRLE") {
                cells.positioned = cells.positioned || ReadPosition(trimmed, originX, originY);
                cells.generation = cells.generation || trimmed.find("Gen=") != std::string_view::npos;
            }
            continue;  // comments of every kind
        }
        if (!headerSeen && !bodyStarted && (trimmed.front() == 'x' || trimmed.front() == 'X') &&
            trimmed.find('=') != std::string_view::npos) {
            std::string rule;
            if (auto error = ReadHeader(trimmed, lineNumber, rule, cells.width, cells.height)) {
                result.error = *error;
                return result;
            }
            // Read as Golly reads it; a rule of another grid or family is
            // refused in rule::Message's words.
            if (!rule.empty()) {
                const rule::ParseResult read = rule::Parse(rule);
                if (!read.rule) {
                    result.error = Fault(ErrorKind::WrongRule, lineNumber, rule::Message(read.error));
                    return result;
                }
                cells.rule = *read.rule;
                cells.ruleText = rule;
            }
            headerSeen = true;
            continue;
        }
        bodyStarted = true;
        for (size_t at = 0; at < line.size(); ++at) {
            const char c = line[at];
            if (std::isspace(static_cast<unsigned char>(c))) {
                continue;
            }
            if (std::isdigit(static_cast<unsigned char>(c))) {
                count = (count < 0 ? 0 : count) * 10 + (c - '0');
                countLine = lineNumber;
                if (count > RleMaxRunCount) {
                    result.error = Fault(ErrorKind::CountOverflow, lineNumber);
                    return result;
                }
                continue;
            }
            const std::int64_t n = count < 0 ? 1 : count;
            count = -1;
            if (c == 'b' || c == '.') {
                x += n;
            } else if (c == 'o' || c == 'A') {
                if (n > 0) {
                    cells.runs.push_back({y, x, x + n - 1});
                }
                x += n;
            } else if (c == '$') {
                y += n;
                x = 0;
            } else if (c == '!') {
                ended = true;
                break;
            } else {
                result.error = Fault(ErrorKind::NotRle, lineNumber, Shown(line, at));
                result.error.column = ColumnOf(line, at);
                return result;
            }
        }
    }
    if (count >= 0) {
        result.error = Fault(ErrorKind::Truncated, countLine, std::to_string(count));
        return result;
    }
    if (!headerSeen && !bodyStarted) {
        result.error = Fault(ErrorKind::NotRle, 0);
        return result;
    }
    for (LiveRun& run : cells.runs) {
        run.y += originY;
        run.x1 += originX;
        run.x2 += originX;
    }
    result.cells = std::move(cells);
    return result;
}

}  // namespace hexlife::rle
