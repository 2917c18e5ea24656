// Line-oriented settings files: one "name value" setting per line and
// comment lines that start with '#'. The file's lines are kept in order so a
// program can load a file, change settings and write it back with its
// comments in place.
//
//   sv_config::ConfigFile cfg("/path/file");       // throws WrongConfigException
//   std::string level = cfg["log_level"];          // throws VariableAbsentException
//   cfg.addVariable("log_level", "Debug");
//   cfg.save("/path/file");
#pragma once

#include <cstdint>
#include <exception>
#include <list>
#include <map>
#include <memory>
#include <string>

namespace sv_config {

enum ConfigEntityType : std::int32_t { comment_entity = 0, variable_entity = 1 };

// One line of a settings file.
class ConfigEntity
{
public:
    explicit ConfigEntity(ConfigEntityType type)
        : type_(type)
    { }
    virtual ~ConfigEntity() = default;
    // The line as it is written to the file.
    virtual std::string get() const = 0;
    ConfigEntityType getType() const { return type_; }

private:
    ConfigEntityType type_;
};

class Comment : public ConfigEntity
{
public:
    explicit Comment(std::string text)
        : ConfigEntity(comment_entity)
        , text_(std::move(text))
    { }
    std::string get() const override { return "#" + text_; }
    std::string getPure() const { return text_; }

private:
    std::string text_;
};

// A setting. Its name lives in the owning file's index; the variable only
// points at it.
class Variable : public ConfigEntity
{
public:
    Variable(const std::string* name, std::string value)
        : ConfigEntity(variable_entity)
        , name_(name)
        , value_(std::move(value))
    { }
    std::string get() const override { return *name_ + " " + value_; }
    std::string getName() const { return *name_; }
    std::string getValue() const { return value_; }
    void setValue(const std::string& value) { value_ = value; }

private:
    const std::string* name_;
    std::string value_;
};

class WrongConfigException : public std::exception
{
public:
    explicit WrongConfigException(std::string message)
        : message_(std::move(message))
    { }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// what() is the bare name of the missing variable.
class VariableAbsentException : public std::exception
{
public:
    explicit VariableAbsentException(std::string name)
        : name_(std::move(name))
    { }
    const char* what() const noexcept override { return name_.c_str(); }

private:
    std::string name_;
};

class ConfigFile
{
public:
    typedef std::list<std::shared_ptr<ConfigEntity>> entity_list;
    typedef entity_list::const_iterator const_iterator;

    ConfigFile() = default;
    explicit ConfigFile(const std::string& file);
    ConfigFile(const ConfigFile& other);
    ConfigFile& operator=(const ConfigFile& other);
    ConfigFile(ConfigFile&&) = default;
    ConfigFile& operator=(ConfigFile&&) = default;
    virtual ~ConfigFile() = default;

    // Reads the stored path; false with a message if it cannot be opened.
    bool loadConfig(std::string& error);
    // Writes every line to `file` (truncating it); false if it cannot be opened.
    bool save(const std::string& file) const;

    std::string operator[](const std::string& name) const;
    void addVariable(const std::string& name, const std::string& value);
    void removeVariable(const std::string& name);
    void addComment(const std::string& text);
    void removeComment(const std::string& line);
    bool commentExists(const std::string& line) const;
    void clear();

    const_iterator begin() const { return entities_.begin(); }
    const_iterator end() const { return entities_.end(); }

    const std::string& fileName() const { return file_; }

private:
    void copyFrom(const ConfigFile& other);
    void addLine(std::string line);

    std::string file_;
    entity_list entities_;
    std::map<std::string, entity_list::iterator> index_;
};

} // namespace sv_config
