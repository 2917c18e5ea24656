#include "sv_config_file.h"

#include <fstream>
#include <locale>
#include <system_error>

#include <boost/algorithm/string/trim.hpp>
#include <boost/filesystem.hpp>

namespace sv_config {

namespace {

std::string quoted_path(const std::string& path)
{
    std::string out = "'";
    for (char c : path) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '\'';
    return out;
}

} // namespace

ConfigFile::ConfigFile(const std::string& file)
    : file_(file)
{
    std::string error;
    if (!loadConfig(error))
        throw WrongConfigException(error);
}

ConfigFile::ConfigFile(const ConfigFile& other)
    : file_(other.file_)
{
    copyFrom(other);
}

ConfigFile& ConfigFile::operator=(const ConfigFile& other)
{
    if (this != &other) {
        clear();
        file_ = other.file_;
        copyFrom(other);
    }
    return *this;
}

void ConfigFile::copyFrom(const ConfigFile& other)
{
    // Rebuild through the public operations so that every variable points
    // at this object's own index keys.
    for (const auto& entity : other.entities_) {
        if (entity->getType() == comment_entity) {
            addComment(static_cast<const Comment&>(*entity).getPure());
        } else {
            const auto& variable = static_cast<const Variable&>(*entity);
            addVariable(variable.getName(), variable.getValue());
        }
    }
}

bool ConfigFile::loadConfig(std::string& error)
{
    boost::system::error_code ec;
    // A directory opens as a stream on Linux but holds no lines: refuse it
    // like any other path that cannot be read.
    const bool is_dir = boost::filesystem::is_directory(file_, ec);
    std::ifstream in;
    if (!is_dir)
        in.open(file_, std::ios::in | std::ios::binary);
    if (is_dir || !in.is_open()) {
        error = "Can't open file " + quoted_path(file_);
        return false;
    }
    std::string line;
    while (!in.eof() && !in.fail()) {
        std::getline(in, line);
        addLine(line);
    }
    return true;
}

void ConfigFile::addLine(std::string line)
{
    boost::algorithm::trim(line, std::locale());
    if (line.empty())
        return;
    if (line[0] == '#') {
        addComment(line.substr(1));
        return;
    }
    const std::string::size_type name_end = line.find_first_of(" \t");
    if (name_end == std::string::npos) {
        addVariable(line, std::string());
        return;
    }
    const std::string::size_type value_start = line.find_first_not_of(" \t", name_end);
    addVariable(line.substr(0, name_end), value_start == std::string::npos ? std::string() : line.substr(value_start));
}

bool ConfigFile::save(const std::string& file) const
{
    std::ofstream out(file, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out.is_open())
        return false;
    for (const auto& entity : entities_)
        out << entity->get() << std::endl;
    out.close();
    return true;
}

std::string ConfigFile::operator[](const std::string& name) const
{
    auto found = index_.find(name);
    if (found == index_.end())
        throw VariableAbsentException(name);
    return static_cast<const Variable&>(**found->second).getValue();
}

void ConfigFile::addVariable(const std::string& name, const std::string& value)
{
    auto found = index_.find(name);
    if (found != index_.end()) {
        static_cast<Variable&>(**found->second).setValue(value);
        return;
    }
    auto inserted = index_.emplace(name, entities_.end()).first;
    try {
        entities_.push_back(std::make_shared<Variable>(&inserted->first, value));
    } catch (...) {
        index_.erase(inserted);
        throw;
    }
    inserted->second = std::prev(entities_.end());
}

void ConfigFile::removeVariable(const std::string& name)
{
    auto found = index_.find(name);
    if (found == index_.end())
        throw VariableAbsentException(name);
    entities_.erase(found->second);
    index_.erase(found);
}

void ConfigFile::addComment(const std::string& text)
{
    entities_.push_back(std::make_shared<Comment>(text));
}

void ConfigFile::removeComment(const std::string& line)
{
    for (auto it = entities_.begin(); it != entities_.end(); ++it) {
        if ((*it)->getType() == comment_entity && (*it)->get() == line) {
            entities_.erase(it);
            return;
        }
    }
}

bool ConfigFile::commentExists(const std::string& line) const
{
    for (const auto& entity : entities_)
        if (entity->getType() == comment_entity && entity->get() == line)
            return true;
    return false;
}

void ConfigFile::clear()
{
    index_.clear();
    entities_.clear();
    file_.clear();
}

} // namespace sv_config
