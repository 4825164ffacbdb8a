#include "engine_file_reader.h"

#include "fixed_number.h"
#include "input_error.h"
#include "text_columns.h"

#include <vector>

namespace korvane::analysis {

namespace {

constexpr int kNameColumns = 10;

bool isTerminator(std::string_view name)
{
    return name == "-99" || name == "-999";
}

bool isBlank(std::string_view line)
{
    return withoutOuterBlanks(line).empty();
}

class LineReader {
public:
    LineReader(std::string_view text, std::string fileName) : fileName_(std::move(fileName))
    {
        std::size_t start = 0;
        while (start < text.size()) {
            const auto end = text.find('\n', start);
            std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            lines_.push_back(line);
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
    }

    bool next()
    {
        if (number_ >= static_cast<long>(lines_.size()))
            return false;
        ++number_;
        return true;
    }
    bool onlyBlankLinesFollow() const
    {
        for (std::size_t at = static_cast<std::size_t>(number_); at < lines_.size(); ++at)
            if (!isBlank(lines_[at]))
                return false;
        return true;
    }
    std::string_view line() const { return lines_[static_cast<std::size_t>(number_ - 1)]; }
    std::string origin() const { return fileName_ + ", line " + std::to_string(number_); }
    long number() const { return number_; }

    std::string name(int first, std::string_view field) const
    {
        return std::string(withoutOuterBlanks(text(first, kNameColumns, field)));
    }
    double number(int first, std::string_view field) const
    {
        const std::string columns = text(first, kNameColumns, field);
        const auto value = fixedFieldNumber(columns);
        if (!value)
            fail(first, kNameColumns, field, "\"" + columns + "\" is not a number");
        return *value;
    }
    std::string text(int first, int width, std::string_view field) const
    {
        ColumnField columns = columnField(line(), first, width);
        if (columns.cut)
            fail(first, width, field, "a two-column character stands across the edge of the field");
        return std::move(columns.text);
    }
    [[noreturn]] void fail(int first, int width, std::string_view field, const std::string& problem) const
    {
        throw InputError(origin() + ", field " + std::string(field) + " (columns " + std::to_string(first) + "-" +
                         std::to_string(first + width - 1) + "): " + problem);
    }
    [[noreturn]] void endedEarly(const std::string& missing) const
    {
        throw InputError(fileName_ + " ends after line " + std::to_string(number_) + ": " + missing + " is missing");
    }

private:
    std::string fileName_;
    std::vector<std::string_view> lines_;
    long number_ = 0;
};

void checkUtf8(std::string_view text, const std::string& fileName)
{
    long line = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        const std::string_view part = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!isValidUtf8(part))
            throw InputError(fileName + ", line " + std::to_string(line) + ": the text is neither UTF-8 nor code page 950");
        if (end == std::string_view::npos)
            break;
        start = end + 1;
        ++line;
    }
}

}  // namespace

NetworkRows readEngineFile(std::string_view utf8Text, const std::string& fileName)
{
    checkUtf8(utf8Text, fileName);
    LineReader reader(utf8Text, fileName);
    NetworkRows rows;
    rows.sourceName = fileName;
    rows.observationPlace = rows.knownPointPlace = fileName + ", line ";
    if (!reader.next())
        reader.endedEarly("the job title line");
    rows.title = std::string(withoutOuterBlanks(columnField(reader.line(), 1, 80).text));

    while (true) {
        if (!reader.next())
            reader.endedEarly("the line \"-99\" that ends the observation list");
        ObservationRow row;
        row.from = reader.name(1, "from");
        if (isTerminator(row.from))
            break;
        row.to = reader.name(11, "to");
        row.dh = reader.number(21, "dh");
        row.distance = reader.number(31, "dist");
        row.grade = reader.number(41, "grade");
        row.row = reader.number();
        rows.observations.push_back(std::move(row));
    }

    while (reader.next()) {
        if (isBlank(reader.line()) && reader.onlyBlankLinesFollow())
            break;
        KnownPointRow row;
        row.name = reader.name(1, "name");
        if (isTerminator(row.name))
            break;
        row.height = reader.number(11, "elev");
        row.sigma = reader.number(21, "sigma");
        row.row = reader.number();
        rows.knownPoints.push_back(std::move(row));
    }
    return rows;
}

}  // namespace korvane::analysis
