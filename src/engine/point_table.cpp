#include "point_table.h"

#include "engine_limits.h"

namespace tarnex {

namespace {

std::string tableName(std::string_view name)
{
    std::string padded(name.substr(0, kNameLength));
    padded.resize(kNameLength, ' ');
    return padded;
}

}  // namespace

int PointTable::append(std::string name)
{
    if (size() >= capacity_)
        return 0;
    names_.push_back(name);
    const int number = size();
    firstNumber_.emplace(std::move(name), number);  // keeps an earlier entry of the same name
    return number;
}

int PointTable::appendKnown(std::string_view name)
{
    return append(tableName(name));
}

int PointTable::findOrAppend(std::string_view name)
{
    std::string key = tableName(name);
    const auto found = firstNumber_.find(key);
    if (found != firstNumber_.end())
        return found->second;
    return append(std::move(key));
}

}  // namespace tarnex
